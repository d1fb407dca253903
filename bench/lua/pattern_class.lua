-- greedy runs of a character class over 16 KB of text: `%w+ ' replaced at
-- every word, and searched for with what follows never there (every start
-- takes the run and gives it back)
local text = string.rep("the quick brown fox jumps over 4711 lazy dogs ", 356)
local words, misses = 0, 0
for i = 1, 1000 do
  local _, n = string.gsub(text, "%w+ ", "")
  words = words + n
  if not string.find(text, "%w+ ;") then misses = misses + 1 end
end
print(string.len(text), words, misses)
