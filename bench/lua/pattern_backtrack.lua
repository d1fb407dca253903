-- quadratic backtracking: patterns that fail at every start of a long run
-- of a's, each start taking the rest of the run before it gives up
local s = string.rep("a", 7500)
local found = 0
for _, p in ipairs({".-b", "a*b", "%w+b", "(a-)b", "(%a*)%d"}) do
  if string.find(s, p) then found = found + 1 end
end
print(string.len(s), found)
