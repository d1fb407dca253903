-- golden: manual
-- Limits: deep recursion is a Lua error ("stack overflow"), never a crash;
-- so are runaway metamethod chains and very deep nesting in the parser.
local function down(n) return 1 + down(n + 1) end
local ok, msg = pcall(down, 1)
print(ok, msg)
local depth = 0
local function count() depth = depth + 1; count() end
print(pcall(count))
print(depth > 1000)
-- the state is usable afterwards
local function sum(n) if n == 0 then return 0 end return n + sum(n - 1) end
print(sum(3000))
-- a metamethod calling itself through the C stack
local mt = {}
mt.__index = function(t, k) return t[k .. "x"] end
local t = setmetatable({}, mt)
ok, msg = pcall(function() return t.a end)
print(ok, msg)
-- a __call chain through tables (not a tail call: the frames pile up)
local c = setmetatable({}, {})
getmetatable(c).__call = function(self) return (self()) end
print(pcall(c))
-- error objects survive the unwinding
local okd, obj = pcall(function() local function f(n) if n == 0 then error({depth = n}) end f(n - 1) end f(100) end)
print(okd, type(obj), obj.depth)
-- deep tail recursion keeps no frames
local function tail(n) if n == 0 then return "tail ok" end return tail(n - 1) end
print(tail(1000000))
-- recursion through pcall
local function viapcall(n) if n == 0 then error("bottom") end local ok, e = pcall(viapcall, n - 1); error(e, 0) end
print(pcall(viapcall, 150))
-- very deep nesting in the parser is a syntax error
print(loadstring("return " .. string.rep("{", 1000) .. string.rep("}", 1000)))
print(loadstring(string.rep("do ", 500) .. string.rep("end ", 500)))
local src = "return " .. string.rep("1 + ", 5000) .. "1"
local f = loadstring(src)
print(type(f) == "function" and f() or f)
-- a coroutine that overflows reports it through resume
local co = coroutine.create(function() local function r() return 1 + r() end return r() end)
print(coroutine.resume(co))
print(coroutine.status(co))
-- many values on the stack: a C function holds at most 2048 (its
-- arguments included), Lua functions as many as the stack grows to
local function list(n) local t = {} for i = 1, n do t[i] = i end return t end
print(table.getn({unpack(list(2047))}))
print(pcall(unpack, list(5000)))
local function many(n) if n == 0 then return end return n, many(n - 1) end
print(table.getn({many(3000)}))
