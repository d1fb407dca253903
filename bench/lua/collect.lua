-- full collections of a big heap: two million small tables, collected ten times
local t = {}
for i = 1, 2000000 do t[i] = {i} end
for round = 1, 10 do collectgarbage() end
print(t[2000000][1])
