-- The engine dialect's wide strings: a separate type of 16-bit units with
-- its own literals, towstring, narrowing tostring, concatenation rules,
-- number conversion, interning and comparison.

local errmsg = dofile("errmsg.lua")

-- Units of a wide string, as seen through pack (little-endian units).
local function units(w)
  local bytes = string.pack("<wA", w)
  local out = {}
  for i = 1, string.len(bytes), 2 do
    table.insert(out, string.byte(bytes, i) + 256 * string.byte(bytes, i + 1))
  end
  return table.concat(out, ",")
end

-- The type and its name.
assert(type(L"x") == "wstring" and type(L"") == "wstring")
assert(units(L"A\x263A") == "65,9786" and units(L"") == "")

-- Equal wide strings are one value; wide and narrow never compare equal.
assert(L"abc" == L"abc" and L"abc" ~= L"abd" and L"abc" ~= "abc")
assert(rawequal(L"ab" .. L"c", L"abc"))
assert(L"" ~= "" and L"a\0b" ~= L"a\0c")

-- Wide strings are table keys distinct from narrow ones.
do
  local t = {}
  t[L"k"] = "wide"
  t["k"] = "narrow"
  assert(t[L"k"] == "wide" and t["k"] == "narrow" and t[L"k" .. L""] == "wide")
end

-- tostring narrows each unit to its low byte.
assert(tostring(L"abc") == "abc" and tostring(L"") == "")
assert(tostring(L"\x263A") == ":" and tostring(L"A\x0142") == "AB")
assert(type(tostring(L"x")) == "string")

-- towstring: wide strings unchanged, numbers as "%.14g" text, narrow strings
-- widened byte by byte. Bytes above 127 are zero-extended (the sign
-- extension of the original corrupted non-ASCII text; mended on purpose).
assert(towstring(L"w") == L"w" and towstring(12) == L"12" and towstring(1.5) == L"1.5")
assert(towstring(1 / 3) == L"0.33333333333333" and towstring(-0.5) == L"-0.5")
assert(towstring("ab") == L"ab" and towstring("") == L"")
assert(units(towstring("\200")) == "200" and units(towstring("\127\128\255")) == "127,128,255")
assert(towstring(nil) == L"nil")

-- towstring of objects gives the text tostring gives.
do
  local t, f = {}, function() end
  local co = coroutine.create(f)
  assert(tostring(towstring(t)) == tostring(t) and tostring(towstring(f)) == tostring(f))
  assert(tostring(towstring(co)) == tostring(co) and tostring(towstring(print)) == tostring(print))
end

-- towstring refuses booleans and a missing argument.
assert(string.find(errmsg(function() return towstring(true) end), "value expected", 1, true))
assert(string.find(errmsg(function() return towstring(false) end), "value expected", 1, true))
assert(string.find(errmsg(function() return towstring() end), "value expected", 1, true))

-- Concatenation: the last string operand decides the kind of the result;
-- numbers join either kind, a narrow string in a wide run is an error.
assert(L"a" .. 1 == L"a1" and 1 .. L"a" == L"1a" and L"a" .. L"b" == L"ab")
assert(L"x" .. 1 .. 2 == L"x12" and 1 .. 2 .. L"x" == L"12x")
assert(L"" .. L"" == L"" and L"a" .. 1.5 == L"a1.5")
assert(errmsg(function() return "a" .. L"b" end))
assert(errmsg(function() return L"a" .. "b" end))
assert(errmsg(function() return "a" .. 1 .. L"b" end))
assert(errmsg(function() return L"a" .. {} end))
assert(errmsg(function() return L"a" .. nil end))
assert(errmsg(function() return L"a" .. true end))
assert("a" .. 1 == "a1")

-- Wide strings convert to numbers for arithmetic: decimal or 0x hexadecimal
-- (with binary exponent), trailing blanks allowed, leading blanks not.
assert(L"3" + 1 == 4 and L"-2" * 2 == -4 and L"+3" + 0 == 3 and L"2.5" * 2 == 5)
assert(L"1e2" + 0 == 100 and math.abs(L"1E-1" - 0.1) < 1e-15 and L"5." + 0 == 5)
assert(L"0x10 " + 0 == 16 and L"0X1f" + 0 == 31 and L"0x1p4" + 0 == 16 and L"0x1.8" + 0 == 1.5)
assert(L"7  " + 0 == 7 and -L"3" == -3)
assert(errmsg(function() return L" 5" + 0 end))
assert(errmsg(function() return L"" + 0 end))
assert(errmsg(function() return L"1x" + 0 end))
assert(errmsg(function() return L"-0x10" + 0 end))
assert(errmsg(function() return L"abc" * 1 end))

-- tonumber: base 10 by the same rule; other bases on the narrowed units.
assert(tonumber(L"12") == 12 and tonumber(L"0x10") == 16 and tonumber(L" 1") == nil)
assert(tonumber(L"12", 10) == 12 and tonumber(L"x") == nil)
assert(tonumber(L"ff", 16) == 255 and tonumber(L"777", 8) == 511 and tonumber(L"101", 2) == 5)
assert(tonumber(L"g", 16) == nil)
assert(tonumber(towstring(string.rep("1", 100)), 2) == nil)
assert(tonumber(towstring(string.rep("0", 98) .. "11"), 2) == nil)
assert(tonumber(towstring(string.rep("0", 97) .. "11"), 2) == 3)
assert(string.find(errmsg(function() return tonumber(L"1", 99) end), "base out of range", 1, true))
assert(string.find(errmsg(function() return tonumber(L"1", 1) end), "base out of range", 1, true))

-- Ordering wide strings calls their default table: without a __call it is
-- the error for calling a table; with one, its answer.
do
  assert(string.find(errmsg(function() return L"a" < L"b" end), "attempt to call a table value", 1, true))
  local wmt = getmetatable(L"")
  setmetatable(wmt, {__call = function(self, a, b) return tostring(a) < tostring(b) end})
  assert(L"a" < L"b" and not (L"b" < L"a") and L"a" <= L"b")
  setmetatable(wmt, nil)
  assert(errmsg(function() return L"a" < "b" end))     -- mixed types
end

-- The wide-string table acts as the index of wide values.
do
  local wmt = getmetatable(L"")
  wmt.narrow = function(w) return tostring(w) end
  assert((L"hey"):narrow() == "hey")
  wmt.narrow = nil
end

-- Long wide strings built by concatenation keep every unit.
do
  local w = L""
  for i = 1, 100 do w = w .. L"ab" end
  assert(tostring(w) == string.rep("ab", 100))
  assert(string.len(string.pack("<wA", w)) == 400)
end

-- print converts wide strings through the global towstring and rejects a
-- result of the wrong kind.
do
  local saved = towstring
  towstring = function() return {} end
  local ok, msg = pcall(print, L"x")
  towstring = saved
  assert(not ok and string.find(msg, "must return a string to .print."))
end

-- Bitwise operators reject wide strings like narrow ones.
assert(errmsg(function() return L"1" | 0 end))

print("ok")
