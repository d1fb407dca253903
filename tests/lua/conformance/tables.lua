-- Table constructors, keys and indexing as Lua 5.0 defines them.

local errmsg = dofile("errmsg.lua")

-- Positional fields count from 1 and are not disturbed by keyed fields.
do
  local function f(v) return "f" .. v end
  local g = "G"
  local a = {[f(1)] = g; "x", "y"; x = 1, f(2), [30] = 23; 45}
  assert(a["f1"] == "G" and a[1] == "x" and a[2] == "y" and a.x == 1)
  assert(a[3] == "f2" and a[30] == 23 and a[4] == 45 and a[5] == nil)
end

-- A trailing separator is allowed; `,` and `;` are interchangeable.
do
  local t = {1, 2, 3,}
  assert(t[3] == 3)
  t = {1; 2; 3;}
  assert(t[3] == 3)
  t = {x = 1, y = 2;}
  assert(t.y == 2)
  assert(loadstring("return {,}") == nil)
end

-- A call as the last positional field expands to all its results; elsewhere to one.
do
  local function three() return 1, 2, 3 end
  local function none() end
  local t = {three()}
  assert(t[1] == 1 and t[2] == 2 and t[3] == 3)
  t = {three(), 10}
  assert(t[1] == 1 and t[2] == 10 and t[3] == nil)
  t = {(three())}
  assert(t[1] == 1 and t[2] == nil)
  t = {0, three()}
  assert(t[4] == 3)
  t = {none()}
  assert(next(t) == nil)
  t = {three(), nil}
  assert(t[1] == 1 and t[2] == nil)
end

-- Long constructors with a call at the end keep every element and expand it.
do
  local parts = {}
  for i = 1, 120 do parts[i] = tostring(i) end
  local text = "local function three() return 'a', 'b', 'c' end return {" .. table.concat(parts, ",") .. ", three()}"
  local t = loadstring(text)()
  assert(t[1] == 1 and t[64] == 64 and t[120] == 120 and t[121] == "a" and t[123] == "c" and t[124] == nil)
end

-- Number keys are values: 1 and 1.0 are one key; 0 and "0" are two.
do
  local t = {}
  t[1] = "a"
  assert(t[1.0] == "a")
  t[0] = "n"; t["0"] = "s"
  assert(t[0] == "n" and t["0"] == "s")
  t[-1] = "m"; t[1.5] = "h"
  assert(t[-1] == "m" and t[1.5] == "h")
  -- the ends of the integer range are keys like any other
  local lo, hi = -2147483648, 2147483647
  assert(t[lo] == nil and t[hi] == nil)
  t[lo] = "lo"; t[hi] = "hi"
  assert(t[lo] == "lo" and t[hi] == "hi" and t[lo + 1] == nil and t[hi - 1] == nil)
  assert(rawget(t, lo) == "lo" and ({[lo] = 1})[lo] == 1)
end

-- Any value but nil may be a key; tables and functions are keys by identity.
do
  local t = {}
  local k1, k2 = {}, {}
  local fk = function() end
  t[k1] = 1; t[k2] = 2; t[fk] = 3; t[true] = 4; t[false] = 5
  assert(t[k1] == 1 and t[k2] == 2 and t[fk] == 3 and t[true] == 4 and t[false] == 5)
  assert(t[{}] == nil)
  assert(t[nil] == nil)                  -- reading with a nil key is fine
  assert(string.find(errmsg(function() t[nil] = 1 end), "index is nil", 1, true))
  assert(errmsg(function() local nan = 0 / 0; t[nan] = 1 end))
end

-- Assigning nil removes an entry; fields are shared through references.
do
  local t = {a = 1}
  local u = t
  u.a = nil
  assert(t.a == nil and next(t) == nil)
  u.b = 2
  assert(t.b == 2)
end

-- Indexing nil is an error that names the variable.
assert(string.find(errmsg(function() local n; return n.x end), "attempt to index local .n. %(a nil value%)"))
assert(string.find(errmsg(function() return undefinedglobal.x end), "attempt to index global .undefinedglobal. %(a nil value%)"))
assert(string.find(errmsg(function() local n; n.x = 1 end), "attempt to index local .n.", 1))

-- Large arrays grow and keep every element.
do
  local t = {}
  for i = 1, 1000 do t[i] = i * 2 end
  local sum = 0
  for i = 1, 1000 do sum = sum + t[i] end
  assert(sum == 1001000)
  for i = 1, 1000, 2 do t[i] = nil end
  assert(t[1] == nil and t[2] == 4 and t[999] == nil and t[1000] == 2000)
end

-- Nested constructors build independent tables each time they run.
do
  local function mk() return {inner = {}} end
  local a, b = mk(), mk()
  assert(a ~= b and a.inner ~= b.inner)
end

-- Function definitions with dotted and colon names store into tables.
do
  local t = {a = {b = {}}}
  function t.a.b.f(x) return x + 1 end
  function t.a.b:m(x) return self == t.a.b and x end
  assert(t.a.b.f(1) == 2 and t.a.b:m(5) == 5 and t.a.b.m(t.a.b, 6) == 6)
end

print("ok")
