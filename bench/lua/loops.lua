-- loops and arithmetic
local sum = 0
for i = 1, 8000000 do
  local x = i * 3 + 7
  sum = sum + x / 2 - (x - i) * 0.5
  if sum > 1e12 then sum = 0 end
end
local j, k = 0, 0
while j < 2000000 do j = j + 1; k = k + j * 2 end
print(sum, k)
