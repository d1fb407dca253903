-- The math library of Lua 5.0 (math.pow is the function; the `^` operator
-- is left to dialect_operators.lua).

local errmsg = dofile("errmsg.lua")

local function near(a, b) return math.abs(a - b) < 1e-12 end

-- Rounding and absolute value.
assert(math.floor(3.7) == 3 and math.floor(-3.5) == -4 and math.floor(2) == 2)
assert(math.ceil(3.2) == 4 and math.ceil(-3.5) == -3 and math.ceil(2) == 2)
assert(math.abs(-2) == 2 and math.abs(2.5) == 2.5 and math.abs(0) == 0)

-- max and min take one or more numbers.
assert(math.max(1, 5, 3) == 5 and math.min(4, 2, 8) == 2)
assert(math.max(7) == 7 and math.min(-1) == -1 and math.max(-1, -2) == -1)
assert(errmsg(function() return math.max() end))
assert(errmsg(function() return math.min() end))

-- mod is the C fmod: the sign follows the dividend.
assert(math.mod(7, 3) == 1 and math.mod(-7, 3) == -1 and math.mod(7, -3) == 1)
assert(math.mod(5.5, 2) == 1.5 and math.mod(6, 3) == 0)

-- Powers, roots, logarithms and exponentials.
assert(math.pow(2, 10) == 1024 and math.pow(4, 0.5) == 2 and math.pow(2, -1) == 0.5)
assert(math.sqrt(16) == 4 and math.sqrt(2) * math.sqrt(2) - 2 < 1e-12)
assert(math.exp(0) == 1 and near(math.log(math.exp(2)), 2) and math.log(1) == 0)
assert(near(math.log10(1000), 3) and math.log10(1) == 0)

-- frexp and ldexp split and join mantissa and exponent.
do
  local m, e = math.frexp(8)
  assert(m == 0.5 and e == 4)
  m, e = math.frexp(0)
  assert(m == 0 and e == 0)
  assert(math.ldexp(0.5, 4) == 8 and math.ldexp(1, -1) == 0.5)
end

-- Trigonometry works in radians; deg and rad convert.
assert(near(math.pi, 3.14159265358979) and math.sin(0) == 0 and math.cos(0) == 1)
assert(near(math.sin(math.pi / 2), 1) and near(math.tan(math.pi / 4), 1))
assert(near(math.asin(1), math.pi / 2) and near(math.acos(1), 0) and near(math.atan(1), math.pi / 4))
assert(near(math.atan2(1, 1), math.pi / 4) and near(math.atan2(1, -1), 3 * math.pi / 4))
assert(near(math.deg(math.pi), 180) and near(math.rad(180), math.pi))

-- Numeric strings are accepted; other values are argument errors.
assert(math.floor("3.7") == 3 and math.max("2", 1) == 2)
assert(string.find(errmsg(function() return math.floor("x") end), "bad argument #1", 1, true))
assert(errmsg(function() return math.sqrt({}) end))

-- random: [0,1) without arguments, [1,n] with one, [l,u] with two.
do
  for i = 1, 200 do
    local r = math.random()
    assert(r >= 0 and r < 1)
    local n = math.random(6)
    assert(n >= 1 and n <= 6 and math.floor(n) == n)
    local m = math.random(-3, 3)
    assert(m >= -3 and m <= 3 and math.floor(m) == m)
  end
  assert(math.random(1, 1) == 1 and math.random(1) == 1)
  assert(errmsg(function() return math.random(0) end))
  assert(errmsg(function() return math.random(5, 1) end))
end

-- Equal seeds give equal sequences.
do
  math.randomseed(1234)
  local a = {math.random(), math.random(100), math.random(5, 50)}
  math.randomseed(1234)
  local b = {math.random(), math.random(100), math.random(5, 50)}
  assert(a[1] == b[1] and a[2] == b[2] and a[3] == b[3])
end

print("ok")
