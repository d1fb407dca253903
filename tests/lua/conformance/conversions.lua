-- tostring, tonumber (with and without a base) and type.

local errmsg = dofile("errmsg.lua")

-- type names every kind of value.
assert(type(nil) == "nil" and type(true) == "boolean" and type(1) == "number")
assert(type("") == "string" and type({}) == "table" and type(print) == "function")
assert(type(function() end) == "function" and type(coroutine.create(function() end)) == "thread")
assert(type(type) == "function" and type(type(1)) == "string")
assert(errmsg(function() return type() end))

-- tostring of numbers uses "%.14g".
assert(tostring(10) == "10" and tostring(-10) == "-10" and tostring(1.5) == "1.5")
assert(tostring(0.1) == "0.1" and tostring(1e100) == "1e+100" and tostring(1 / 3) == "0.33333333333333")
assert(tostring(100000000000000) == "1e+14" and tostring(12345678901234) == "12345678901234")
assert(tostring(2.5e-5) == "2.5e-05" and tostring(0) == "0")
-- the same text as "%.14g" around the ends of the whole numbers written
-- digit by digit (below 10^14 in size), and for -0
do
  local edges = {99999999999999, -99999999999999, 1e14, -1e14, 1e14 + 1, 2^53, -2^53, 2^31, -2^31,
                 2^32 - 1, 0, -0, 1 / 0, -1 / 0, 0.5, -0.5, 1e14 - 0.5, 123456789012.5, -7}
  local zero = 0
  table.insert(edges, -zero) -- a negative zero (a literal -0 is folded)
  for _, n in ipairs(edges) do
    assert(tostring(n) == string.format("%.14g", n), n)
  end
  local n = 1
  for i = 1, 200 do
    n = math.mod(n * 7919 + 12345, 100000000000000)
    assert(tostring(n) == string.format("%.14g", n) and tostring(-n) == string.format("%.14g", -n), n)
  end
end

-- tostring of the other kinds.
assert(tostring(nil) == "nil" and tostring(true) == "true" and tostring(false) == "false")
assert(tostring("text") == "text")
assert(string.find(tostring({}), "^table: ") and string.find(tostring(print), "^function: "))
assert(string.find(tostring(function() end), "^function: "))
assert(string.find(tostring(coroutine.create(function() end)), "^thread: "))
do
  local t = {}
  assert(tostring(t) == tostring(t) and tostring(t) ~= tostring({}))
end
assert(errmsg(function() return tostring() end))

-- A __tostring metamethod decides the text.
do
  local t = setmetatable({}, {__tostring = function() return "custom" end})
  assert(tostring(t) == "custom")
end

-- print converts through the global tostring and rejects a non-string result
-- before writing anything.
do
  local saved = tostring
  tostring = function() return {} end
  local ok, msg = pcall(print, 1)
  tostring = saved
  assert(not ok and string.find(msg, "must return a string to .print."))
end

-- tonumber in base 10 takes decimal numerals with blanks around them.
assert(tonumber("10") == 10 and tonumber("  10  ") == 10 and tonumber("-3.5") == -3.5)
assert(tonumber("1e2") == 100 and tonumber(".5") == 0.5 and tonumber("5.") == 5)
assert(tonumber("1E-1") == 0.1 and tonumber(42) == 42)
assert(tonumber("10a") == nil and tonumber("") == nil and tonumber(" ") == nil)
assert(tonumber("1 2") == nil and tonumber("a") == nil and tonumber("1e") == nil)
assert(tonumber({}) == nil and tonumber(nil) == nil and tonumber(true) == nil)
assert(tonumber(print) == nil)

-- tonumber with a base takes unsigned integers in that base, letters for 10..35.
assert(tonumber("ff", 16) == 255 and tonumber("FF", 16) == 255 and tonumber("777", 8) == 511)
assert(tonumber("1010", 2) == 10 and tonumber("z", 36) == 35 and tonumber("Z", 36) == 35)
assert(tonumber("10", 16) == 16 and tonumber(10, 16) == 16 and tonumber("10", 10) == 10)
assert(tonumber("102", 2) == nil and tonumber("g", 16) == nil and tonumber("", 16) == nil)
assert(tonumber("1.5", 16) == nil and tonumber("8", 8) == nil)
assert(tonumber("zz", 36) == 1295 and tonumber("11", 3) == 4)
assert(string.find(errmsg(function() return tonumber("1", 1) end), "base out of range", 1, true))
assert(string.find(errmsg(function() return tonumber("1", 37) end), "base out of range", 1, true))

-- Numbers convert to strings where strings are expected, and back.
assert(string.len(1000) == 4 and string.rep(5, 2) == "55")
assert(tonumber(tostring(123.25)) == 123.25)

print("ok")
