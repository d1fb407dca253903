-- golden: lua5.1
-- Metatables and metamethods (as 5.0 and 5.1 share them).
local V = {}
V.__index = V
local function vec(x, y) return setmetatable({x = x, y = y}, V) end
V.__add = function(a, b) return vec(a.x + b.x, a.y + b.y) end
V.__sub = function(a, b) return vec(a.x - b.x, a.y - b.y) end
V.__mul = function(a, b) if type(b) == "number" then return vec(a.x * b, a.y * b) end return a.x * b.x + a.y * b.y end
V.__div = function(a, b) return vec(a.x / b, a.y / b) end
V.__unm = function(a) return vec(-a.x, -a.y) end
V.__eq = function(a, b) return a.x == b.x and a.y == b.y end
V.__lt = function(a, b) return a.x < b.x end
V.__le = function(a, b) return a.x <= b.x end
V.__concat = function(a, b) return "vec" end
V.__tostring = function(a) return "(" .. a.x .. "," .. a.y .. ")" end
V.__call = function(self, k) return self[k] end
function V:len2() return self.x * self.x + self.y * self.y end
local a, b = vec(1, 2), vec(3, 4)
print(tostring(a + b), tostring(a - b), a * b, tostring(a * 2), tostring(b / 2), tostring(-a))
print(a == vec(1, 2), a ~= b, a < b, b <= a, a > b, a >= a)
print(a .. b, a .. "s", a("x"), a:len2())
-- __index chains and functions
local base = {greet = function() return "hi" end}
local mid = setmetatable({}, {__index = base})
local leaf = setmetatable({}, {__index = mid})
print(leaf.greet(), leaf.missing)
local dyn = setmetatable({}, {__index = function(t, k) return k .. "?" end})
print(dyn.foo, dyn[1], rawget(dyn, "foo"))
-- __newindex to a table and to a function
local store = {}
local proxy = setmetatable({}, {__newindex = store})
proxy.a = 1
print(rawget(proxy, "a"), store.a)
local log = {}
local watched = setmetatable({}, {__newindex = function(t, k, v) table.insert(log, k); rawset(t, k, v) end})
watched.x = 1; watched.y = 2; watched.x = 3
print(table.concat(log, ","), watched.x)
-- getmetatable and __metatable
local prot = setmetatable({}, {__metatable = "locked"})
print(getmetatable(prot), pcall(setmetatable, prot, {}))
print(getmetatable({}) == nil, getmetatable(a) == V)
-- __eq only between tables
local e1 = setmetatable({}, {__eq = function() return true end})
print(e1 == setmetatable({}, getmetatable(e1)), e1 == 1)
-- rawequal ignores __eq
print(rawequal(a, vec(1, 2)))
-- __index on missing method through a class hierarchy
local Animal = {}
Animal.__index = Animal
function Animal.new(name) return setmetatable({name = name}, Animal) end
function Animal:speak() return self.name .. " makes a sound" end
local Dog = setmetatable({}, {__index = Animal})
Dog.__index = Dog
function Dog.new(name) local d = Animal.new(name); return setmetatable(d, Dog) end
function Dog:speak() return self.name .. " barks" end
print(Animal.new("cat"):speak(), Dog.new("rex"):speak(), Dog.new("rex").name)
-- weak tables
local weak = setmetatable({}, {__mode = "v"})
weak[1] = {}
weak[2] = "kept"
collectgarbage()
print(weak[1], weak[2])
