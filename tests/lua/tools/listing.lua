local a, b = 1, 2
local c = a & b | a << 1 ^ b
for i = 1, 3 do if i == 2 then continue end end
return function(x) return x .. c end
