-- The engine dialect's binary operators & | << >> and the changed ^:
-- their precedence and associativity, their unsigned 32-bit arithmetic,
-- and their errors.  ^ on two numbers is exclusive or.

local errmsg = dofile("errmsg.lua")

-- Bitwise results on plain values.
assert(5 & 3 == 1 and 5 | 3 == 7 and 12 & 10 == 8 and 12 | 10 == 14)
assert(1 << 4 == 16 and 256 >> 4 == 16 and 1 << 0 == 1 and 7 >> 0 == 7)
assert(6 ^ 3 == 5 and 2 ^ 3 == 1 and 5 ^ 5 == 0 and 0 ^ 9 == 9)

-- Operands are clamped to [0, 4294967295], then truncated toward zero.
assert(-1 >> 1 == 0 and -5 | 0 == 0 and -1 & 255 == 0)
assert(4294967296 & 1 == 1 and 4294967296 | 0 == 4294967295 and 1e20 & 7 == 7)
assert(3.9 & 7 == 3 and 3.9 | 0 == 3 and 0.5 | 0 == 0 and 7 & 2.99 == 2)
assert(0xffffffff >> 28 == 0 and 4294967295 >> 28 == 15)
assert(0x80000000 | 0 == 0 and 2147483648 | 0 == 2147483648)

-- Results are unsigned 32-bit values, never negative.
assert(1 << 31 == 2147483648 and 4294967295 | 0 == 4294967295)
assert(4294967295 ^ 1 == 4294967294 and 2147483648 ^ 2147483648 == 0)
assert(2147483648 | 1 == 2147483649)

-- Shift counts are taken modulo 32; bits above bit 31 are dropped.
assert(1 << 32 == 1 and 1 << 33 == 2 and 8 >> 35 == 1 and 8 >> 32 == 8)
assert(1 << 31 << 1 == 0 and 4294967295 << 4 == 4294967280)
assert(1 << -1 == 1)                     -- -1 clamps to 0
assert(2147483648 >> 31 == 1 and 4294967295 >> 31 == 1)

-- The four bitwise operators bind equally and associate to the left.
assert(4 | 1 & 1 == 1)                   -- (4 | 1) & 1
assert(1 << 2 | 1 == 5 and 1 | 1 << 2 == 4)
assert(16 >> 2 >> 1 == 2 and 255 & 15 >> 2 == 3)

-- They bind tighter than * / + - and looser than ^.
assert(2 * 3 & 1 == 2)                   -- 2 * (3 & 1)
assert(12 / 6 & 3 == 6)                  -- 12 / (6 & 3)
assert(1 + 2 & 3 == 3)                   -- 1 + (2 & 3)
assert(10 - 6 | 1 == 3)                  -- 10 - (6 | 1)
assert(6 & 3 ^ 1 == 2)                   -- 6 & (3 ^ 1)
assert(2 ^ 3 & 1 == 1)                   -- (2 ^ 3) & 1

-- Unary operators stop before them, but not before ^.
assert(-1 & 255 == 0)                    -- (-1) & 255
assert(-2 ^ 2 == 0)                      -- -(2 ^ 2)
assert(- 5 ^ 0 == -5)
assert(not pcall(function() return not 1 | 1 end))   -- (not 1) | 1 fails

-- Comparison and concatenation bind looser.
assert(1 & 1 == 1 and 3 | 4 < 8 and 1 << 3 >= 8)
assert(1 | 2 .. "" == "3" and "x" .. 6 ^ 3 == "x5")

-- ^ binds right to left (same priority pair as before).
do
  local mt = {}
  mt.__pow = function(a, b) return setmetatable({s = "(" .. a.s .. "^" .. b.s .. ")"}, mt) end
  local a = setmetatable({s = "a"}, mt)
  local b = setmetatable({s = "b"}, mt)
  local c = setmetatable({s = "c"}, mt)
  assert((a ^ b ^ c).s == "(a^(b^c))")
end

-- Operands in variables and constants give the same results (no folding).
do
  local x, y = 2, 3
  assert(x ^ y == 1 and x & y == 2 and x | y == 3 and x << y == 16 and 16 >> x == 4)
  local big = 4294967295
  assert(big & big == 4294967295 and big ^ big == 0)
end

-- The bitwise operators take numbers only: strings are not converted, no
-- metamethod is tried, and the error names the offending operand.
assert(string.find(errmsg(function() return "6" & 3 end), "perform arithmetic on a number value", 1, true))
assert(string.find(errmsg(function() return "6" | 3 end), "perform arithmetic on a number value", 1, true))
assert(string.find(errmsg(function() return 3 << "1" end), "perform arithmetic on a string value", 1, true))
assert(string.find(errmsg(function() local s = "x"; return s >> 1 end), "perform arithmetic on local .s. %(a string value%)"))
assert(string.find(errmsg(function() return nil & 1 end), "perform arithmetic on a nil value", 1, true))
assert(string.find(errmsg(function() return 1 | {} end), "perform arithmetic on a table value", 1, true))
assert(errmsg(function() return true & 1 end))
assert(errmsg(function() return L"6" & 3 end))
do
  local t = setmetatable({}, {__add = function() return "add" end, __band = function() return "band" end})
  assert(t + 1 == "add")
  assert(errmsg(function() return t & 1 end))
  assert(errmsg(function() return 1 | t end))
  assert(errmsg(function() return t << 1 end))
end

-- ^ with an operand that is not a number follows the exponentiation path:
-- numeric strings call the global __pow, tables their __pow metamethod.
do
  local saved = __pow
  __pow = function(a, b) return "pow(" .. a .. "," .. b .. ")" end
  assert("2" ^ 3 == "pow(2,3)" and 2 ^ "3" == "pow(2,3)" and " 4 " ^ "1" == "pow(4,1)")
  assert(2 ^ 3 == 1)                     -- two numbers never call it
  __pow = 5
  assert(string.find(errmsg(function() return "2" ^ 3 end), "`__pow' (`^' operator) is not a function", 1, true))
  __pow = nil
  assert(string.find(errmsg(function() return "2" ^ 3 end), "is not a function", 1, true))
  __pow = saved
  assert(string.find(errmsg(function() return "x" ^ 1 end), "perform arithmetic on a string value", 1, true))
  assert(string.find(errmsg(function() return {} ^ 1 end), "perform arithmetic on a table value", 1, true))
  local t = setmetatable({}, {__pow = function(a, b) return "meta" end})
  assert(t ^ 2 == "meta" and t ^ t == "meta")
end

-- ^ of a number and a table: the number's type answers first, so the
-- table's __pow is not reached.
do
  local t = setmetatable({}, {__pow = function() return "meta" end})
  assert(errmsg(function() return 2 ^ t end))
end

-- Results are ordinary numbers.
assert(type(5 & 3) == "number" and (5 & 3) + 1 == 2 and tostring(1 << 31) == "2147483648")

print("ok")
