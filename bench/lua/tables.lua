-- table fill and read
local total = 0
for round = 1, 10 do
  local t = {}
  for i = 1, 200000 do t[i] = i * 2 end
  for i = 1, 200000 do total = total + t[i] end
  local h = {}
  for i = 1, 50000 do h["k" .. i] = i end
  for i = 1, 50000 do total = total + h["k" .. i] end
  local rec = {x = 1, y = 2, z = 3}
  for i = 1, 200000 do rec.x = rec.x + rec.y * rec.z end
  total = total + rec.x
end
print(total)
