local function f(...) return arg.n, unpack(arg) end
local a, b = f(1, 2)
local mt = setmetatable({}, {__index = function(t, k) return k end})
return mt.x, a + b
