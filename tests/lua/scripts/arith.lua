-- golden: lua5.1
-- Arithmetic, number formatting and string/number coercion.
print(1 + 2, 7 - 10, 6 * 7, 1 / 4, 7 / 2, -(-3))
print(1e15, 1e16, 123456789012345, 2^53 == 2^53 and 1 or 0)
print(0.1 + 0.2, 1 / 3, -1 / 3, 100 / 3)
print(1 / 0, -1 / 0, 3.0, -0.0 == 0.0)
print(10 .. "", 1.5 .. "", -2 .. "x", 1e300 * 10 .. "")
print("10" + 1, "0x10" + 0, " 5 " * 2, "1e2" / 4, "-3" - "-4")
print(10 == "10", "abc" < "abd", "Z" < "a", "" < "a", "a" < "aa")
print(1 < 2, 2 <= 2, 3 > 4, 4 >= 4, 1 ~= 1.0, 0 == -0)
print(tonumber("12"), tonumber("12.5e1"), tonumber(" 7 "), tonumber("7x"), tonumber(""), tonumber("0x1F"))
print(tonumber("z", 36), tonumber("777", 8), tonumber("1010", 2), tonumber("8", 8))
print(math.floor(-3.5), math.ceil(-3.5), math.abs(-2), math.max(3, 9, 1), math.min(3, 9, 1))
print(math.mod(7, 3), math.mod(-7, 3), math.sqrt(16), math.pi)
print(string.format("%d %5.1f %x %X %o %e %g", 42, 3.14159, 255, 255, 8, 12345.678, 0.0001))
local ok, err = pcall(function() return {} + 1 end)
print(ok)
local big = 1
for i = 1, 40 do big = big * 2 end
print(big, big + 1, -big)
assert(2 * 3 == 6 and 7 / 2 == 3.5)
print(3 - -3, - - 2, 2 * -1)
print(8 / 2 / 2, 2 * 3 + 4 * 5, (2 + 3) * 4, 2 + 3 * 4 - 1)
