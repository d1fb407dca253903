-- Argument adjustment, multiple results and vararg functions with the
-- implicit `arg` table (fields 1..n and n).  The 5.0-only parts (no `...`
-- in expressions, no select, unpack honouring n) are in varargs_50.lua.

-- Fixed parameters: missing ones are nil, extra ones are dropped.
do
  local function f(a, b) return a, b end
  local function r() return 1, 2, 3 end
  local a, b = f(3)
  assert(a == 3 and b == nil)
  a, b = f(3, 4, 5)
  assert(a == 3 and b == 4)
  a, b = f(r(), 10)
  assert(a == 1 and b == 10)
  a, b = f(r())
  assert(a == 1 and b == 2)
end

-- The manual's vararg examples: arg holds the extra arguments and their count.
do
  local function g(a, b, ...) return a, b, arg end
  local function r() return 1, 2, 3 end
  local a, b, t = g(3)
  assert(a == 3 and b == nil and t.n == 0 and t[1] == nil)
  a, b, t = g(3, 4)
  assert(a == 3 and b == 4 and t.n == 0)
  a, b, t = g(3, 4, 5, 8)
  assert(a == 3 and b == 4 and t.n == 2 and t[1] == 5 and t[2] == 8)
  a, b, t = g(5, r())
  assert(a == 5 and b == 1 and t.n == 2 and t[1] == 2 and t[2] == 3)
end

-- n counts nil arguments too, and arg is a new table on every call.
do
  local function h(...) return arg end
  local t = h(nil, nil)
  assert(t.n == 2 and t[1] == nil)
  t = h(nil, 2, nil)
  assert(t.n == 3 and t[2] == 2)
  assert(h() ~= h())
  assert(h().n == 0)
end

-- unpack passes a list on as separate arguments.
do
  local function sum(...)
    local s = 0
    for i = 1, arg.n do s = s + arg[i] end
    return s
  end
  local function pass(...) return sum(unpack(arg)) end
  assert(pass(1, 2, 3, 4) == 10 and pass() == 0)
  local a, b, c = unpack({"x", "y", "z"})
  assert(a == "x" and b == "y" and c == "z")
  assert(unpack({}) == nil)
end

-- Many results pass through unpack and arg unchanged.
do
  local big = {}
  for i = 1, 200 do big[i] = i end
  local function count(...) return arg.n, arg[200] end
  local n, last = count(unpack(big))
  assert(n == 200 and last == 200)
end

-- A method may be vararg; self is not part of arg.
do
  local obj = {}
  function obj:count(...) return self == obj, arg.n end
  local isself, n = obj:count("a", "b")
  assert(isself and n == 2)
end

-- Results of a call expand only in the last position of a list.
do
  local function r() return 1, 2, 3 end
  local function none() end
  local function n(...) return arg.n end
  assert(n(r()) == 3 and n(r(), r()) == 4 and n(r(), 10) == 2)
  assert(n((r())) == 1 and n(none()) == 0 and n(none(), 1) == 2)
  local a, b, c, d = 0, r()
  assert(a == 0 and b == 1 and c == 2 and d == 3)
  a, b, c = r(), 10
  assert(a == 1 and b == 10 and c == nil)
  local function ret() return 0, r() end
  assert(n(ret()) == 4)
  local function ret2() return r(), 0 end
  assert(n(ret2()) == 2)
end

-- A function that ends without return returns no values.
do
  local function nothing() end
  local function n(...) return arg.n end
  assert(n(nothing()) == 0)
  local x = nothing()
  assert(x == nil)
end

print("ok")
