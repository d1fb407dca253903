-- recursive calls
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
local r = 0
for i = 1, 3 do r = r + fib(30) end
print(r)
