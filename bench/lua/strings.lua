-- string building and patterns
local parts = {}
for i = 1, 100000 do parts[i] = string.format("%d:%s", i, "item") end
local s = table.concat(parts, ",")
local n = 0
for i = 1, 20 do
  local count = 0
  s:gsub("(%d+):item", function(d) count = count + 1 end)
  n = n + count
end
local acc = ""
for i = 1, 20000 do acc = acc .. "x" end
local found = 0
for i = 1, 200000 do
  if string.find("the quick brown fox " .. i, "fox %d+$") then found = found + 1 end
end
print(string.len(s), n, string.len(acc), found, string.upper(string.sub(s, 1, 10)))
