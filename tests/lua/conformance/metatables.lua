-- Metatables of tables and every metamethod of Lua 5.0.  In the engine's
-- dialect non-table values have default metatables, so the cases here keep a
-- table as the operand that carries the metamethod (first, or both tables);
-- how numbers and strings meet table metamethods is in dialect_metatables.lua.

local errmsg = dofile("errmsg.lua")

-- setmetatable returns its table; getmetatable reads it back; nil removes it.
do
  local t, mt = {}, {}
  assert(setmetatable(t, mt) == t)
  assert(getmetatable(t) == mt)
  setmetatable(t, nil)
  assert(getmetatable(t) == nil)
  assert(getmetatable({}) == nil)
  assert(errmsg(function() setmetatable(t, 5) end))
end

-- __metatable hides the metatable and forbids changing it.
do
  local t = setmetatable({}, {__metatable = "locked"})
  assert(getmetatable(t) == "locked")
  assert(string.find(errmsg(function() setmetatable(t, {}) end), "protected metatable", 1, true))
end

-- __index as a table is consulted only for absent keys, and chains.
do
  local c = {z = "c"}
  local b = setmetatable({y = "b"}, {__index = c})
  local a = setmetatable({x = "a"}, {__index = b})
  assert(a.x == "a" and a.y == "b" and a.z == "c" and a.w == nil)
  assert(rawget(a, "y") == nil)
  a.y = "own"
  assert(a.y == "own" and b.y == "b")
end

-- __index as a function receives the table and the key.
do
  local seen
  local t = setmetatable({present = 1}, {__index = function(tab, k) seen = tab; return k .. "!" end})
  assert(t.present == 1 and t.foo == "foo!" and seen == t)
  assert(t[1] == "1!")
end

-- __newindex as a table redirects new keys; existing keys are set in place.
do
  local store = {}
  local t = setmetatable({old = 1}, {__newindex = store})
  t.new = 2
  t.old = 3
  assert(rawget(t, "new") == nil and store.new == 2 and t.old == 3)
  rawset(t, "raw", 4)
  assert(rawget(t, "raw") == 4 and store.raw == nil)
end

-- __newindex tables chain through their own __newindex.
do
  local final = {}
  local middle = setmetatable({}, {__newindex = final})
  local t = setmetatable({}, {__newindex = middle})
  t.k = "v"
  assert(rawget(t, "k") == nil and rawget(middle, "k") == nil and final.k == "v")
end

-- __newindex as a function receives table, key and value and may refuse.
do
  local log = {}
  local t = setmetatable({}, {__newindex = function(tab, k, v) log[k] = v end})
  t.a = 1
  assert(rawget(t, "a") == nil and log.a == 1)
  local ro = setmetatable({}, {__newindex = function() error("read-only table", 2) end})
  assert(string.find(errmsg(function() ro.x = 1 end), "read-only table", 1, true))
end

-- The usual class pattern: instances index their class, classes their base.
do
  local Base = {}
  Base.__index = Base
  function Base.new(name) return setmetatable({name = name}, Base) end
  function Base:greet() return "hello " .. self.name end
  function Base:kind() return "base" end
  local Derived = setmetatable({}, {__index = Base})
  Derived.__index = Derived
  function Derived.new(name) return setmetatable(Base.new(name), Derived) end
  function Derived:kind() return "derived" end
  local b, d = Base.new("b"), Derived.new("d")
  assert(b:greet() == "hello b" and b:kind() == "base")
  assert(d:greet() == "hello d" and d:kind() == "derived")
  assert(getmetatable(d) == Derived and rawget(d, "greet") == nil)
end

-- A proxy with both __index and __newindex sees every access.
do
  local store, log = {}, {}
  local proxy = setmetatable({}, {
    __index = function(_, k) table.insert(log, "get " .. k); return store[k] end,
    __newindex = function(_, k, v) table.insert(log, "set " .. k); store[k] = v end,
  })
  proxy.a = 1
  proxy.a = 2                 -- still absent from the proxy, so seen again
  assert(proxy.a == 2 and rawget(proxy, "a") == nil)
  assert(table.concat(log, ",") == "set a,set a,get a")
end

-- __call makes a table callable; the table comes first, then the arguments.
do
  local t = setmetatable({}, {__call = function(self, a, b) return self, a + b, "two" end})
  local s, sum, extra = t(2, 3)
  assert(s == t and sum == 5 and extra == "two")
  assert(string.find(errmsg(function() local plain = {}; plain() end), "attempt to call local .plain. %(a table value%)"))
  -- __call itself must be a function, not another callable table
  local inner = setmetatable({}, {__call = function() return 1 end})
  local outer = setmetatable({}, {__call = inner})
  assert(string.find(errmsg(function() return outer() end), "attempt to call", 1, true))
end

-- Arithmetic metamethods: the first operand that has one is used.
do
  local mt = {}
  mt.__add = function(a, b) return "add" end
  mt.__sub = function(a, b) return "sub" end
  mt.__mul = function(a, b) return "mul" end
  mt.__div = function(a, b) return "div" end
  mt.__unm = function(a) return "unm" end
  local t = setmetatable({}, mt)
  assert(t + 1 == "add" and t - 1 == "sub" and t * 1 == "mul" and t / 1 == "div" and -t == "unm")
  assert(t + t == "add" and t + "x" == "add")
  local plain = {}
  assert(plain + t == "add" and plain * t == "mul")
  local other = setmetatable({}, {__add = function() return "other" end})
  assert(other + t == "other" and t + other == "add")
  assert(errmsg(function() return plain + plain end))
end

-- Arithmetic metamethods receive the operands as written.
do
  local got1, got2
  local t = setmetatable({}, {__sub = function(a, b) got1, got2 = a, b; return 0 end})
  local _ = t - 7
  assert(got1 == t and got2 == 7)
  local plain = {}
  _ = plain - t
  assert(got1 == plain and got2 == t)
end

-- __pow on a table is found like the other arithmetic events.
do
  local mt = {}
  mt.__pow = function(a, b)
    return setmetatable({s = "(" .. a.s .. "^" .. b.s .. ")"}, mt)
  end
  local a = setmetatable({s = "a"}, mt)
  local b = setmetatable({s = "b"}, mt)
  local c = setmetatable({s = "c"}, mt)
  assert((a ^ b).s == "(a^b)")
  assert((a ^ b ^ c).s == "(a^(b^c))")      -- right-associative
end

-- __concat handles `..` when an operand is not a string or number.
do
  local mt = {__concat = function(a, b)
    local sa = type(a) == "table" and "T" or a
    local sb = type(b) == "table" and "T" or b
    return sa .. sb
  end}
  local t = setmetatable({}, mt)
  assert(t .. "x" == "Tx" and t .. 1 == "T1" and t .. t == "TT")
  local plain = {}
  assert(plain .. t == "TT")
  assert(errmsg(function() return plain .. "x" end))
end

-- __eq is used only for two tables of the same metamethod; the result is a boolean.
do
  local calls = 0
  local eq = function(a, b) calls = calls + 1; return a.v == b.v end
  local a = setmetatable({v = 1}, {__eq = eq})
  local b = setmetatable({v = 1}, {__eq = eq})
  local c = setmetatable({v = 2}, {__eq = eq})
  assert(a == b and a ~= c and calls == 2)
  assert(a == a and calls == 2)                   -- identical: no call
  local d = setmetatable({v = 1}, {__eq = function() return true end})
  assert(a ~= d and calls == 2)                   -- different metamethods
  assert(a ~= 1 and a ~= "x" and calls == 2)      -- different types
  local e = setmetatable({v = 1}, {__eq = function() return 1 end})
  local f = setmetatable({v = 9}, getmetatable(e))
  assert((e == f) == true)
  local g = setmetatable({}, {__eq = function() return nil end})
  local h = setmetatable({}, getmetatable(g))
  assert((g == h) == false)
  assert(rawequal(a, b) == false and rawequal(a, a) == true)
end

-- __lt and __le order tables; > and >= swap the operands.
do
  local mt = {}
  mt.__lt = function(a, b) return a.v < b.v end
  mt.__le = function(a, b) return a.v <= b.v end
  local one = setmetatable({v = 1}, mt)
  local two = setmetatable({v = 2}, mt)
  local two2 = setmetatable({v = 2}, mt)
  assert(one < two and not (two < one) and two > one)
  assert(two <= two2 and two >= two2 and not (two < two2))
end

-- Without __le, a <= b is computed as not (b < a).
do
  local calls = {}
  local mt = {__lt = function(a, b) table.insert(calls, a.v .. "<" .. b.v); return a.v < b.v end}
  local one = setmetatable({v = 1}, mt)
  local two = setmetatable({v = 2}, mt)
  assert(one <= two)
  assert(calls[1] == "2<1")
  assert(not (two <= one))
end

-- Order metamethods must be the same for both operands, else it is an error.
do
  local a = setmetatable({}, {__lt = function() return true end})
  local b = setmetatable({}, {__lt = function() return true end})
  assert(string.find(errmsg(function() return a < b end), "attempt to compare", 1, true))
  assert(string.find(errmsg(function() return a < 1 end), "attempt to compare", 1, true))
end

-- tostring uses __tostring; print goes through tostring.
do
  local t = setmetatable({}, {__tostring = function(self) return "<obj>" end})
  assert(tostring(t) == "<obj>")
  local plain = {}
  assert(string.find(tostring(plain), "^table: "))
end

-- __index functions may raise errors that reach the caller.
do
  local t = setmetatable({}, {__index = function(_, k) error("no field " .. k, 2) end})
  assert(string.find(errmsg(function() return t.missing end), "no field missing", 1, true))
end

-- rawget, rawset and rawequal bypass every metamethod.
do
  local mt = {__index = function() return "meta" end, __newindex = function() error("blocked") end}
  local t = setmetatable({}, mt)
  assert(t.k == "meta" and rawget(t, "k") == nil)
  rawset(t, "k", "raw")
  assert(t.k == "raw" and rawget(t, "k") == "raw")
  assert(rawequal(t, t) and not rawequal(t, {}) and rawequal("a", "a") and not rawequal(1, "1"))
  assert(errmsg(function() rawget("x", 1) end))
  assert(errmsg(function() rawset(5, 1, 1) end))
end

-- __mode "k" lets keys be collected; "v" lets values be collected.
do
  local weakk = setmetatable({}, {__mode = "k"})
  local weakv = setmetatable({}, {__mode = "v"})
  local keep = {}
  local function fill()
    weakk[{}] = 1
    weakk[keep] = 2
    weakv[1] = {}
    weakv[2] = keep
    weakv[3] = "strings stay"
    weakv[4] = 42
  end
  fill()
  collectgarbage()
  collectgarbage()
  local n = 0
  for k, v in pairs(weakk) do n = n + 1; assert(k == keep and v == 2) end
  assert(n == 1)
  assert(weakv[1] == nil and weakv[2] == keep and weakv[3] == "strings stay" and weakv[4] == 42)
end

-- A table with both weak keys and values loses the whole pair when either dies.
do
  local weak = setmetatable({}, {__mode = "kv"})
  local key = {}
  local function fill()
    weak[key] = {}
    weak[{}] = key
  end
  fill()
  collectgarbage()
  assert(next(weak) == nil)
end

print("ok")
