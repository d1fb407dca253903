-- The engine dialect's default metatables: every type but nil has one table
-- that getmetatable returns for its values, that indexing such a value reads
-- and assigning writes, and that the string library fills for strings.

local errmsg = dofile("errmsg.lua")

-- Strings index the string table, so string functions are methods.
assert(getmetatable("") == string and getmetatable("abc") == string)
assert(("abc"):upper() == "ABC" and ("x"):rep(3) == "xxx")
do
  local s = "hello"
  assert(s:len() == 5 and s:sub(2, 3) == "el" and s:find("l") == 3)
  assert(s.upper == string.upper and s.nosuchfield == nil)
  local n = 0
  for w in ("a b c"):gfind("%a") do n = n + 1 end
  assert(n == 3)
  assert(("%d-%s"):format(1, "x") == "1-x")
end

-- Every other type but nil has its own table, shared by all its values.
do
  local mts = {
    getmetatable(true), getmetatable(1), getmetatable(print),
    getmetatable(coroutine.create(function() end)), getmetatable(L"w"),
  }
  for i = 1, 5 do
    assert(type(mts[i]) == "table")
    for j = i + 1, 5 do assert(mts[i] ~= mts[j]) end
    assert(mts[i] ~= string)
  end
  assert(getmetatable(false) == getmetatable(true))
  assert(getmetatable(2.5) == getmetatable(-1))
  assert(getmetatable(function() end) == getmetatable(print))   -- Lua and C functions
  assert(getmetatable(L"") == getmetatable(L"other"))
  assert(getmetatable(nil) == nil)
end

-- Tables keep the stock rule: no metatable until one is set.
assert(getmetatable({}) == nil)

-- Indexing a number reads the number table; assigning writes into it.
do
  local nmt = getmetatable(0)
  nmt.double = function(n) return n * 2 end
  assert((21):double() == 42)
  local n = 5
  assert(n.double == nmt.double and n.absent == nil)
  n.written = "stored"
  assert(nmt.written == "stored" and (7).written == "stored")
  nmt.double, nmt.written = nil, nil
  assert((1).double == nil)
end

-- Booleans, functions and threads work the same way.
do
  local bmt = getmetatable(true)
  bmt.flip = function(b) return not b end
  assert((true):flip() == false and (false):flip() == true)
  bmt.flip = nil
  local fmt = getmetatable(print)
  fmt.twice = function(f, x) return f(f(x)) end
  assert((function(v) return v + 1 end):twice(1) == 3)
  assert(print.twice == fmt.twice)
  fmt.twice = nil
  local co = coroutine.create(function() end)
  getmetatable(co).state = function(c) return coroutine.status(c) end
  assert(co:state() == "suspended")
  getmetatable(co).state = nil
end

-- Writing into a string value writes into the string table.
do
  local s = "text"
  s.conformance_probe = 1
  assert(string.conformance_probe == 1)
  string.conformance_probe = nil
end

-- nil has no default table: indexing it is still the stock error.
assert(string.find(errmsg(function() local n; return n.x end), "attempt to index local .n. %(a nil value%)"))
assert(string.find(errmsg(function() return (nil).x end), "attempt to index a nil value", 1, true))
assert(string.find(errmsg(function() local n; n.x = 1 end), "attempt to index", 1, true))

-- Fields of a default table are found by tostring, and so by print.
do
  local bmt = getmetatable(true)
  bmt.__tostring = function(b) return b and "YES" or "NO" end
  assert(tostring(true) == "YES" and tostring(false) == "NO")
  bmt.__tostring = nil
  assert(tostring(true) == "true")
end

-- Arithmetic, concatenation and order comparison: a non-table first operand
-- answers with its default table, which is not a function, so a table's
-- metamethod in the second place is never reached.
do
  local t = setmetatable({}, {
    __add = function() return "add" end,
    __concat = function() return "cat" end,
    __lt = function() return true end,
  })
  assert(t + 1 == "add" and t .. "x" == "cat")
  assert(errmsg(function() return 1 + t end))
  assert(errmsg(function() return "10" + t end))
  assert(errmsg(function() return "x" .. t end))
  assert(errmsg(function() return 1 .. t end))
  assert(errmsg(function() return true + t end))
  local plain = {}
  assert(plain + t == "add")             -- a table first operand is stock
end

-- Unary minus on a table with __unm is stock.
do
  local t = setmetatable({}, {__unm = function() return "neg" end})
  assert(-t == "neg")
end

-- Ordering two values of the same non-number, non-string type calls their
-- default table; without a __call on it that is the error for calling a table.
do
  assert(string.find(errmsg(function() return true < false end), "attempt to call a table value", 1, true))
  assert(string.find(errmsg(function() return print <= print end), "attempt to call a table value", 1, true))
  local bmt = getmetatable(true)
  setmetatable(bmt, {__call = function(self, a, b) return (not a) and b end})
  assert(false < true and not (true < false) and not (true < true))
  setmetatable(bmt, nil)
  assert(errmsg(function() return true < false end))
end

-- Ordering different types is still the stock comparison error.
assert(string.find(errmsg(function() return true < 1 end), "attempt to compare", 1, true))
assert(string.find(errmsg(function() return 1 < "x" end), "attempt to compare", 1, true))

-- Numbers and narrow strings order as before.
assert(1 < 2 and "a" < "b")

-- Equality is not affected: values compare raw, tables use __eq as before.
assert(true == true and print == print and 1 ~= "1")

-- Calling a non-function value is still an error.
assert(string.find(errmsg(function() local n = 5; n() end), "attempt to call", 1, true))
assert(string.find(errmsg(function() return ("x")() end), "attempt to call", 1, true))

-- setmetatable still takes tables only.
assert(errmsg(function() setmetatable("x", {}) end))
assert(errmsg(function() setmetatable(1, {}) end))

print("ok")
