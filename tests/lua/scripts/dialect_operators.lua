-- golden: manual
-- The dialect's operators: & | << >> on unsigned 32-bit values, ^ as
-- exclusive or, their priority, and hexadecimal numerals.
print(5 & 3, 5 | 3, 1 << 31, 1 << 32, -1 >> 1, 0xffffffff >> 28, 4294967296 & 1)
print(6 ^ 3, 2 ^ 3, 0 ^ 0, 255 ^ 15)
print(3.9 & 7, -5 | 0, 1e20 | 0, 0x80000000, 0x7fffffff, 0xFFFFFFFF, 0xffffffff | 0)
print(0x10, 0xA, 0xa, 0x0, 0xg1, 0xg, 0x12345678)
print(1 << 0, 1 << 33, 1 << -1, 256 >> 4, 256 >> 36, 0x80000000 >> 31)
-- the four bitwise operators bind equally, left to right
print(1 | 2 & 3, (1 | 2) & 3, 1 | (2 & 3))
print(6 & 3 | 8, 1 << 2 | 1, 16 >> 2 << 1)
-- tighter than * and /, looser than ^
print(2 * 3 & 1, 2 * (3 & 1), (2 * 3) & 1)
print(1 + 2 & 3, 1 + (2 & 3))
print(2 ^ 3 & 1, 5 & 6 ^ 3, 8 / 4 | 1)
-- unary operators stop before them
print(-1 & 7, -(1 & 7), pcall(function() return not nil | 1 end))
-- comparisons and concatenation are looser
print(1 | 2 == 3, 1 .. 2 | 4, 2 & 3 < 3)
-- strings are not converted: an arithmetic error
print(pcall(function() return '6' & 3 end))
print(pcall(function() return 3 | '6' end))
print(pcall(function() local s = "x"; return s << 1 end))
print(pcall(function() return {} >> 1 end))
local mt = {__add = function() return "add" end}
print(pcall(function() local t = setmetatable({}, mt); return t & 1 end))
-- ^ on strings that convert calls the global __pow (the math library's pow)
print('2' ^ 3, '9' ^ 0.5)
local mathpow = __pow
__pow = nil
print(pcall(function() return '2' ^ 3 end))
__pow = function(a, b) return "pow(" .. a .. "," .. b .. ")" end
print('2' ^ 3, 2 ^ '3', '0x10' ^ 1)
__pow = mathpow
-- ^ with a table operand looks for the __pow metamethod
local pt = setmetatable({}, {__pow = function(a, b) return "meta pow" end})
print(pt ^ 2)
-- numeric constants are not folded at compile time: same results at run time
local one, three = 1, 3
print(one | 2 & three, (one | 2) & three)
