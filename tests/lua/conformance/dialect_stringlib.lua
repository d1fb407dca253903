-- The engine dialect's string library additions: string.pack and
-- string.unpack (binary records, wide strings with the w prefix),
-- string.lualex (escape sequences expanded at run time) and the
-- format conversions %B, %b<letter> and %Q.

local errmsg = dofile("errmsg.lua")

local function bytes(...)
  -- builds a string from byte values
  return string.char(unpack(arg))
end

-- The additions live in the string table next to the stock functions.
assert(type(string.pack) == "function" and type(string.unpack) == "function")
assert(type(string.lualex) == "function")

-- Integers: byte order, truncation, clamping and sign.
assert(string.pack(">I", 1) == bytes(0, 0, 0, 1) and string.pack("<I", 1) == bytes(1, 0, 0, 0))
assert(string.pack("I", 1) == bytes(1, 0, 0, 0))                 -- native is little-endian
assert(string.pack("=I", 258) == bytes(2, 1, 0, 0))
assert(string.pack("I", -5) == bytes(0, 0, 0, 0) and string.pack("I", 4294967296) == bytes(255, 255, 255, 255))
assert(string.pack("L", 7.9) == bytes(7, 0, 0, 0))
assert(string.pack("i", -1) == bytes(255, 255, 255, 255) and string.pack("l", -2) == bytes(254, 255, 255, 255))
assert(string.pack("<i", 3.7) == bytes(3, 0, 0, 0) and string.pack("<i", -3.7) == bytes(253, 255, 255, 255))
assert(string.pack("<h", -2) == bytes(254, 255) and string.pack(">H", 258) == bytes(1, 2))
assert(string.pack("<h", 65537) == bytes(1, 0))
assert(string.pack("b", 300) == bytes(44) and string.pack("c", -1) == bytes(255) and string.pack("b", 65.9) == "A")

-- unpack gives the next position first, then the values, signed or not by code.
do
  local p, v = string.unpack(bytes(255, 255, 255, 255), "i")
  assert(p == 5 and v == -1)
  p, v = string.unpack(bytes(255, 255, 255, 255), "I")
  assert(v == 4294967295)
  p, v = string.unpack(bytes(0, 0, 0, 1), ">L")
  assert(v == 1)
  local a, b
  p, a, b = string.unpack(bytes(254, 255, 254, 255), "<hH")
  assert(p == 5 and a == -2 and b == 65534)
  p, a, b = string.unpack(bytes(255, 255), "cb")
  assert(a == -1 and b == 255)
end

-- Booleans.
assert(string.pack("B", true) == bytes(1) and string.pack("B", false) == bytes(0))
assert(string.find(errmsg(function() return string.pack("B", 1) end), "expected a boolean", 1, true))
assert(string.find(errmsg(function() return string.pack("B", nil) end), "expected a boolean", 1, true))
do
  local p, a, b = string.unpack(bytes(0, 7), "BB")
  assert(p == 3 and a == false and b == true)
end

-- Floats and doubles round-trip.
do
  assert(string.len(string.pack("f", 1)) == 4 and string.len(string.pack("d", 1)) == 8)
  assert(string.pack("n", 2.5) == string.pack("d", 2.5))
  local p, v = string.unpack(string.pack("d", 0.1), "d")
  assert(p == 9 and v == 0.1)
  p, v = string.unpack(string.pack(">d", -123.25), ">d")
  assert(v == -123.25)
  p, v = string.unpack(string.pack("f", 0.5), "f")
  assert(p == 5 and v == 0.5)
  p, v = string.unpack(string.pack("f", 0.1), "f")
  assert(math.abs(v - 0.1) < 1e-7 and v ~= 0.1)
  assert(string.pack(">d", 1) == bytes(63, 240, 0, 0, 0, 0, 0, 0))
  assert(string.pack("<f", 1) == bytes(0, 0, 128, 63))
end

-- Strings: zero-terminated, raw, with 4-, 1- and 2-byte length prefixes.
assert(string.pack("z", "ab") == "ab\0" and string.pack("A", "raw") == "raw")
assert(string.pack("a", "xyz") == bytes(3, 0, 0, 0) .. "xyz" and string.pack(">a", "xyz") == bytes(0, 0, 0, 3) .. "xyz")
assert(string.pack("p", "hi") == "\2hi" and string.pack("P", "hi") == "\2\0hi" and string.pack(">P", "hi") == "\0\2hi")
assert(string.pack("z", "") == "\0" and string.pack("a", "") == bytes(0, 0, 0, 0))
do
  local p, a, b = string.unpack("ab\0cd\0", "zz")
  assert(p == 7 and a == "ab" and b == "cd")
  p, a = string.unpack("rawdata", "A3")
  assert(p == 4 and a == "raw")
  p, a = string.unpack(string.pack("a", "hello"), "a")
  assert(p == 10 and a == "hello")
  p, a, b = string.unpack(string.pack("pP", "one", "two"), "pP")
  assert(p == 10 and a == "one" and b == "two")
  p, a = string.unpack("\0\0\0\0", "a")
  assert(p == 5 and a == "")
end

-- Embedded zeros survive length-prefixed strings.
do
  local p, s = string.unpack(string.pack("a", "a\0b"), "a")
  assert(s == "a\0b")
end

-- Repeat counts, blanks and commas; byte-order codes hold until changed and
-- ignore a count.
assert(string.pack("b3", 1, 2, 3) == bytes(1, 2, 3) and string.pack("b0", 9) == bytes(9))
assert(string.pack("b, b b", 1, 2, 3) == bytes(1, 2, 3))
assert(string.pack("<h>h", 1, 1) == bytes(1, 0, 0, 1))
assert(string.pack(">hh", 1, 2) == bytes(0, 1, 0, 2))
assert(string.pack("<2h", 1) == bytes(1, 0))
do
  local p, a, b, c = string.unpack(bytes(1, 2, 3), "b3")
  assert(p == 4 and a == 1 and b == 2 and c == 3)
  local q, x, y = string.unpack(bytes(0, 1, 1, 0), ">h<h")
  assert(q == 5 and x == 1 and y == 1)
end

-- unpack starts at init and stops quietly at the first item that does not fit.
do
  local p, a, b = string.unpack("\1\2", "bbb")
  assert(p == 3 and a == 1 and b == 2)
  p, a = string.unpack("\1\2\3", "b", 2)
  assert(p == 3 and a == 2)
  p, a = string.unpack("\1", "h")
  assert(p == 1 and a == nil)
  p, a = string.unpack(bytes(5, 0, 0, 0) .. "ab", "a")
  assert(p == 1 and a == nil)
  p, a = string.unpack(bytes(1, 0), "a")
  assert(p == 1 and a == nil)
  local q, s, t = string.unpack("ab\0", "zz")
  assert(q == 4 and s == "ab" and t == nil)
  q, s = string.unpack("abc", "A5")
  assert(q == 1 and s == nil)
  q = string.unpack("", "b")
  assert(q == 1)
end

-- Wide strings: w before a string code counts in 16-bit units.
do
  local w = L"A\x263A"
  assert(string.pack("<wA", w) == "A\0\58\38" and string.pack(">wA", w) == "\0A\38\58")
  assert(string.pack("<wz", L"hi") == "h\0i\0\0\0")
  assert(string.pack("<wa", L"hi") == bytes(2, 0, 0, 0) .. "h\0i\0")
  assert(string.pack("<wp", L"hi") == "\2h\0i\0")
  assert(string.pack("<wP", L"hi") == "\2\0h\0i\0")
  local s = string.pack("<wA", w) .. "tail"
  local p, got = string.unpack(s, "<wA2")
  assert(p == 5 and got == w and type(got) == "wstring")
  p, got = string.unpack(string.pack("<wa", w), "<wa")
  assert(p == 9 and got == w)
  p, got = string.unpack(string.pack(">wz", w), ">wz")
  assert(p == 7 and got == w)
  p, got = string.unpack("h\0i\0", "<wz")
  assert(p == 5 and got == L"hi")                   -- ends at the end of the data
  p, got = string.unpack(string.pack("<wP", L""), "<wP")
  assert(got == L"")
end

-- @N[:F] pads one field to N bytes with the fill byte.
assert(string.pack("@8:32 b @", 65) == "A       ")
assert(string.pack("@4 b @", 65) == bytes(65, 0, 0, 0))
assert(string.pack("b @4 b @ b", 1, 2, 3) == bytes(1, 2, 0, 0, 0, 3))
assert(string.pack("@2 i @", 1) == bytes(1, 0, 0, 0))            -- longer fields are not cut
assert(string.pack("@3:321 b @", 1) == bytes(1, 65, 65))          -- fill modulo 256

-- Bad codes and bad arguments.
assert(string.find(errmsg(function() return string.pack("y", 1) end), "bad code", 1, true))
assert(string.find(errmsg(function() return string.pack("y", 1) end), "bad argument #1", 1, true))
assert(string.find(errmsg(function() return string.unpack("abc", "@") end), "bad code", 1, true))
assert(string.find(errmsg(function() return string.pack("\127", 1) end), "bad code", 1, true))
assert(errmsg(function() return string.pack("i") end))
assert(errmsg(function() return string.pack("i", {}) end))
assert(errmsg(function() return string.pack("z", nil) end))

-- lualex in narrow mode: one-letter escapes, \x as two bytes low first,
-- decimal escapes modulo 256, and any other escaped byte as itself.
assert(string.lualex("a\\nb", 0) == "a\nb" and string.lualex("\\t\\r", 0) == "\t\r")
assert(string.lualex("\\a\\b\\f\\v", 0) == "\7\8\12\11")
assert(string.lualex("\\x41", 0) == "A\0" and string.lualex("\\x4", 0) == "\4\0")
assert(string.lualex("\\x414", 0) == "A\0" .. "4")
assert(string.lualex("\\xg", 0) == "xg" and string.lualex("\\x", 0) == "x")
assert(string.lualex("\\65", 0) == "A" and string.lualex("\\0", 0) == "\0")
assert(string.lualex("\\300", 0) == string.char(300 - 256) and string.lualex("\\1234", 0) == "{4")
assert(string.lualex("\\q\\\\\\\"", 0) == "q\\\"")
assert(string.lualex("abc\\", 0) == "abc\0")
assert(string.lualex("plain text", 0) == "plain text" and string.lualex("", 0) == "")
assert(string.lualex("\\x41", 0.9) == "A\0")                    -- 0.9 truncates to narrow

-- lualex in wide mode: \x takes up to four hex digits, still two bytes low first.
assert(string.lualex("\\x263A", 1) == ":&" and string.lualex("\\x263A", 0) == "&\0" .. "3A")
assert(string.lualex("\\x263A", 2.5) == ":&")
assert(string.lualex("\\x263A", 1e300) == ":&" and string.lualex("\\x263A", -1e300) == ":&")
-- the mode is not optional: a missing or non-number mode is an argument error
assert(string.find(errmsg(function() return string.lualex("a") end), "bad argument #2 to `lualex' (number expected, got no value)", 1, true))
assert(string.find(errmsg(function() return string.lualex("a", {}) end), "bad argument #2", 1, true))

-- %B writes booleans; nil counts as false; other types are argument errors.
assert(string.format("%B", true) == "true" and string.format("%B", false) == "false")
assert(string.format("%B", nil) == "false" and string.format("[%B|%B]", true, nil) == "[true|false]")
assert(string.find(errmsg(function() return string.format("%B", 1) end), "boolean expected, got number", 1, true))
assert(string.find(errmsg(function() return string.format("%B", "true") end), "bad argument #2", 1, true))

-- %b<letter> writes a number as raw native bytes; other letters skip the argument.
assert(string.format("%bb", 65) == "A" and string.format("%bb", 321) == "A" and string.format("%bb", -1) == "\255")
assert(string.format("%bw", 16706) == "BA" and string.format("%bw", 65.9) == "A\0")
assert(string.format("%bd", 1) == bytes(1, 0, 0, 0) and string.format("%bd", -1) == bytes(255, 255, 255, 255))
assert(string.format("%bf", 1.5) == string.pack("<f", 1.5) and string.format("%bF", 1.5) == string.pack("<d", 1.5))
assert(string.format("%bz%s", 1, "x") == "x" and string.format("<%bq>", 5) == "<>")
assert(string.format("%bb%bb", 72, 105) == "Hi")

-- %Q quotes with C-style escapes and \x for other non-printable bytes.
assert(string.format("%Q", "a\nb") == '"a\\nb"')
assert(string.format("%Q", "\7\8\9\10\11\12\13") == '"\\a\\b\\t\\n\\v\\f\\r"')
assert(string.format("%Q", 'say "hi" \\ ok') == '"say \\"hi\\" \\\\ ok"')
assert(string.format("%Q", "\0\1\127\200\255") == '"\\x00\\x01\\x7f\\xc8\\xff"')
assert(string.format("%Q", "") == '""' and string.format("%Q", "plain ~!") == '"plain ~!"')
assert(string.format("%Q", L"A\x263A") == 'L"A\\x263a"')
assert(string.format("%Q", L"q\"\n\0") == 'L"q\\"\\n\\x0000"')

-- %Q output reads back as the same string, narrow and wide.
do
  local narrow = "mix\0\1\t\"\\\255end"
  assert(loadstring("return " .. string.format("%Q", narrow))() == narrow)
  local wide = L"w\x263A\n\"\xffff"
  assert(loadstring("return " .. string.format("%Q", wide))() == wide)
end

-- The stock conversions are unchanged alongside the new ones.
assert(string.format("%d %s %q %B", 1, "s", "q", true) == '1 s "q" true')
assert(errmsg(function() return string.format("%y", 1) end))

print("ok")
