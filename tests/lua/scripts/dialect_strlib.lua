-- golden: manual
-- The dialect's string library: pack, unpack, lualex and the %B, %b, %Q
-- conversions of format.
local function hex(s)
  return (string.gsub(s, ".", function(c) return string.format("%02x", string.byte(c)) end))
end
print(hex(string.pack(">I", 1)), hex(string.pack("I", -5)), hex(string.pack("i", -1)), hex(string.pack("<I", 4294967296)))
print(hex(string.pack(">h<h=b", -2, -2, 300)), hex(string.pack("c", -1)), hex(string.pack("B2", true, false)))
print("[" .. string.pack("@8:32 b @", 65) .. "]", string.len(string.pack("@4 bbbbbb @", 1, 2, 3, 4, 5, 6)))
print(hex(string.pack("z a p P", "ab", "cd", "ef", "gh")))
print(hex(string.pack(">wz wA", L"A", L"\x263A")), hex(string.pack("<wa", L"hi")))
print(hex(string.pack(">d", 1)), hex(string.pack(">f", -2)), hex(string.pack("b3", 1, 2, 3)))
print(string.unpack("\1\2", "bbb"))
print(string.unpack("abcdef", "A3"))
local pos, w = string.unpack("abcdef", "wA2")
print(pos, type(w), string.len(tostring(w)))
print(string.unpack(string.pack("<hHiIfd", -2, 65535, -7, 7, 1.5, 2.25), "<hHiIfd"))
print(string.unpack(string.pack(">hHiIfd", -2, 65535, -7, 7, 1.5, 2.25), ">hHiIfd"))
print(string.unpack(string.pack("apPzB", "x", "yy", "zzz", "w", true), "apPzB"))
print(string.unpack(string.pack("wz wa", L"wide", L"\x263A"), "wz wa") )
print(string.unpack("ab\0cd", "zz"), string.unpack("ab", "z"), string.unpack("", "z"))
print(string.unpack("\5abc", "p"), string.unpack("\0\0\0\9xyz", ">a"))
print(string.unpack("abc", "b", 10), string.unpack("abc", "b", 0), string.unpack("abc", "b", 4))
print(string.unpack("\1\2\3\4", "bb", 3), string.unpack("\255", "c"), string.unpack("\255\255", "hH"))
print(pcall(string.pack, "p", string.rep("x", 256)))
print(pcall(string.pack, "P", string.rep("x", 65536)))
print(pcall(string.pack, "q", 1))
print(pcall(string.pack, "B", 1))
print(pcall(string.pack, "i", "x"))
print(pcall(string.pack, "z"))
print(pcall(string.unpack, "abc", "@"))
print(pcall(string.pack, "w"))
-- records survive a round trip
local okall = true
for i = 1, 200 do
  local a, b, c, d = i * 37 - 4000, i * 911, "s" .. i, i / 8
  local p = string.pack("<iIzd>hP", a, b, c, d, a, c)
  local n, a2, b2, c2, d2, e2, f2 = string.unpack(p, "<iIzd>hP")
  if a2 ~= a or b2 ~= b or c2 ~= c or d2 ~= d or e2 ~= a or f2 ~= c or n ~= string.len(p) + 1 then okall = false end
end
print(okall)
-- lualex
print(hex(string.lualex("\\x41", 0)), hex(string.lualex("a\\n\\65\\q\\", 0)), hex(string.lualex("\\xg\\300", 0)))
print(hex(string.lualex("\\x263A", 1)), hex(string.lualex("A\\t", 1)))
-- format additions
print(string.format("%B %B %B", true, false, nil), pcall(string.format, "%B", 1))
print(string.format("%Q", "a" .. string.char(10) .. "b"), string.len(string.format("%Q", "a\nb")))
print(string.format("%Q", "q\"\\\1\200\t"), string.format("%Q", L"A\x263A\n"))
print(hex(string.format("%bb%bw%bd%bf%bF%bz|", 65, 0x4243, -1, 1.5, 2.5, 7)))
print(pcall(string.format, "%y", 1))
