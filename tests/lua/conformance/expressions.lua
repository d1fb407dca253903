-- Operator precedence, associativity, arithmetic, comparison, concatenation and
-- the string/number coercions of Lua 5.0.  `^` is left out on purpose: the
-- engine's dialect gives it another meaning (see dialect_operators.lua).

local errmsg = dofile("errmsg.lua")

-- Multiplication binds tighter than addition; both are left-associative.
assert(1 + 2 * 3 == 7 and (1 + 2) * 3 == 9 and 2 * 3 + 4 == 10)
assert(10 - 2 - 3 == 5 and 100 / 10 / 2 == 5 and 2 * 6 / 3 == 4)
assert(7 - 4 + 1 == 4)

-- Unary minus binds tighter than the binary arithmetic operators.
assert(-2 * 3 == -6 and - -2 == 2 and -2 + 5 == 3 and 2 - -2 == 4)

-- `..` binds looser than arithmetic and is right-associative.
assert(1 + 1 .. "" == "2")
assert("a" .. 1 + 2 == "a3")
do
  local mt = {}
  mt.__concat = function(a, b)
    local r = setmetatable({}, mt)
    r.s = "(" .. a.s .. "." .. b.s .. ")"
    return r
  end
  local a = setmetatable({s = "a"}, mt)
  local b = setmetatable({s = "b"}, mt)
  local c = setmetatable({s = "c"}, mt)
  assert((a .. b .. c).s == "(a.(b.c))")
end

-- Comparison binds looser than `..`; `not` binds tighter than `==`.
assert("a" .. "b" == "ab")
assert((not 1 == 2) == false)
assert(not (1 == 2))
assert(1 < 2 == true)

-- `and` binds tighter than `or`; both short-cut and return an operand.
assert((1 or 2 and nil) == 1)
assert((nil and 1 or 2) == 2)
assert((10 or error()) == 10)
assert((nil or "a") == "a")
assert((nil and 10) == nil)
assert((false and error()) == false)
assert((false and nil) == false)
assert((false or nil) == nil)
assert((10 and 20) == 20)
assert(not nil == true and not false == true and not 0 == false and not "" == false)

-- Arithmetic on numeric strings converts them, with surrounding blanks allowed.
assert("10" + 1 == 11 and "3" * "4" == 12 and "1e1" + 0 == 10)
assert(" 10 " + 0 == 10 and "-2" * 1 == -2 and "0.5" * 2 == 1)
assert(-"2" == -2)
assert(string.find(errmsg(function() return "abc" + 1 end), "perform arithmetic on a string value", 1, true))
assert(string.find(errmsg(function() return {} + 1 end), "perform arithmetic on a table value", 1, true))
assert(string.find(errmsg(function() local u; return u * 2 end), "perform arithmetic on local .u. %(a nil value%)"))
assert(string.find(errmsg(function() return -{} end), "perform arithmetic on a table value", 1, true))

-- Division by zero follows IEEE arithmetic.
assert(1 / 0 > 1e308 and -1 / 0 < -1e308)
do local nan = 0 / 0; assert(nan ~= nan) end

-- Concatenation converts numbers with "%.14g".
assert(10 .. 20 == "1020")
assert(1.5 .. "" == "1.5" and 0.1 .. "" == "0.1" and -3 .. "" == "-3")
assert(1e15 .. "" == "1e+15" and 100000000000000 .. "" == "1e+14")
assert(12345678901234 .. "" == "12345678901234")
assert(1 / 3 .. "" == "0.33333333333333")
assert(string.find(errmsg(function() return "a" .. {} end), "concatenate a table value", 1, true))
assert(string.find(errmsg(function() return nil .. "a" end), "concatenate a nil value", 1, true))
assert(string.find(errmsg(function() return "a" .. true end), "concatenate a boolean value", 1, true))

-- A long chain of `..` joins every operand in order.
do
  local parts = {}
  for i = 1, 150 do parts[i] = "'" .. string.char(97 + math.mod(i, 26)) .. "'" end
  local joined = loadstring("return " .. table.concat(parts, " .. "))()
  local expect = {}
  for i = 1, 150 do expect[i] = string.char(97 + math.mod(i, 26)) end
  assert(joined == table.concat(expect))
end

-- Equality never converts: different types are different values.
assert("10" ~= 10 and not ("0" == 0))
assert(1 == 1.0 and "a" == "a" and nil == nil and false == false)
assert(true ~= 1 and false ~= nil)
do
  local t1, t2 = {}, {}
  local f1, f2 = function() end, function() end
  assert(t1 == t1 and t1 ~= t2 and f1 == f1 and f1 ~= f2)
end

-- Order: numbers numerically, strings lexicographically by byte; mixed is an error.
assert(1 < 2 and -1 < 0 and 2 > 1 and 2 >= 2 and 2 <= 2 and not (2 < 2))
assert("a" < "b" and "a" < "ab" and "" < "a" and "Z" < "a" and "10" < "9")
assert("a\0b" < "a\0c" and "a" < "a\0")
assert(string.find(errmsg(function() return 1 < "2" end), "attempt to compare", 1, true))
assert(string.find(errmsg(function() return {} < {} end), "attempt to compare", 1, true))
assert(string.find(errmsg(function() return 1 < 2 < 3 end), "attempt to compare", 1, true))
assert(string.find(errmsg(function() return nil >= 1 end), "attempt to compare", 1, true))

-- Parentheses cut a call to one value.
local function three() return 1, 2, 3 end
do
  local a, b = (three())
  assert(a == 1 and b == nil)
  local t = {(three())}
  assert(t[1] == 1 and t[2] == nil)
end

-- Multiple assignment evaluates every expression before assigning.
do
  local i, a = 3, {}
  i, a[i] = i + 1, 20
  assert(i == 4 and a[3] == 20 and a[4] == nil)
  local x, y = 1, 2
  x, y = y, x
  assert(x == 2 and y == 1)
  local p, q, r = 1
  assert(p == 1 and q == nil and r == nil)
  local u, v = 1, 2, 3
  assert(u == 1 and v == 2)
end

-- `local x = x` sees the outer x; the new local starts at the next statement.
x = 10
do
  local x = x
  assert(x == 10)
  x = x + 1
  do
    local x = x + 1
    assert(x == 12)
  end
  assert(x == 11)
end
assert(x == 10)
x = nil

-- Values of and/or through `not' and through jumps that meet (the code
-- generator once let these carry the tested value instead of the result).
do
  local five = 5
  local function g() return 1, 2 end
  assert(not not (five or nil) == true and not (not (false or nil)) == false)
  assert(((five or five) and (true or 1)) == true and ((nil and 1) or (false or "x")) == "x")
  assert(((five or (five <= 1)) and (true or 1)) == true and (not (five and nil) and five) == 5)
  assert(((five > 1 or five) and "y") == "y" and tostring((not (not (g() or nil)))) == "true")
  assert((((five + 1) or five) and (false or five)) == 5)
end

print("ok")
