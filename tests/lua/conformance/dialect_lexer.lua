-- The engine dialect's source language: hexadecimal integer numerals, the
-- \x escape in narrow strings, wide string literals L"...", `continue` and
-- counted `break N` / `continue N`.

local function loaderr(text)
  local f, msg = loadstring(text, "=src")
  assert(f == nil, "a compile error was expected")
  return msg
end

-- 0x numerals (lower-case x) read up to eight hex digits as a signed 32-bit value.
assert(0x10 == 16 and 0xff == 255 and 0xFF == 255 and 0xAbC == 2748 and 0x0 == 0)
assert(0x7fffffff == 2147483647 and 0xffffffff == -1 and 0x80000000 == -2147483648)
assert(0xfffffffe == -2 and 0x00000010 == 16)

-- The character after the x always counts as one of the eight and adds
-- nothing when it is not a hex digit.
assert(0xg1 == 1 and 0xg == 0)

-- After eight digits the numeral ends; a following digit is a new token.
assert(loadstring("return 0x123456789") == nil)
do
  local f = loadstring("return {0x123456789}")
  assert(f == nil)
  local t = loadstring("return {0x12345678, 9}")()
  assert(t[1] == 305419896 and t[2] == 9)
end

-- Only a lower-case x starts a hex numeral.
assert(loadstring("return 0X10") == nil)

-- Decimal numerals are unchanged.
assert(10 == 10.0 and 1e3 == 1000 and 0.5 == .5)
assert(string.find(loaderr("return 1e"), "malformed number", 1, true))

-- Narrow strings take \x with one or two hex digits; \x alone is the letter x.
assert("\x41" == "A" and "\x4a" == "J" and "\x4A" == "J" and "\x7" == "\7")
assert("\x414" == "A4" and "\xg" == "xg" and "\x" == "x")
assert(string.len("\x00") == 1 and "\xff" == "\255")

-- Wide literals: L immediately followed by a double quote.
assert(type(L"abc") == "wstring" and type(L"") == "wstring")
assert(type("abc") == "string")

-- \x in a wide literal takes one to four hex digits as one unit.
assert(string.pack("<wA", L"A\x263A") == "A\0\58\38")
assert(L"\x41zz" == L"Azz" and L"\x0041" == L"A" and L"\x41" == L"A")
assert(string.pack("<wA", L"\x12345") == "\52\18\53\0")      -- 0x1234 then "5"
assert(L"\xg" == L"xg" and L"\x" == L"x")

-- Other escapes of wide literals, decimal ones limited to 255.
assert(string.pack("<wA", L"\a\b\f\n\r\t\v") == "\7\0\8\0\12\0\10\0\13\0\9\0\11\0")
assert(L"\65\066\0067" == L"AB\0067" and L"\"\\\'" == towstring("\"\\'"))
assert(L"a\
b" == L"a\nb")
assert(string.find(loaderr('return L"\\300"'), "escape sequence too large", 1, true))
assert(string.find(loaderr('return L"\\256"'), "escape sequence too large", 1, true))
assert(L"\255" == L"\xff")

-- Unfinished wide literals.
assert(string.find(loaderr('return L"abc'), "unfinished string", 1, true))
assert(string.find(loaderr('return L"abc'), "<eof>", 1, true))
assert(string.find(loaderr('return L"ab\ncd"'), "unfinished string", 1, true))

-- Only the double quote opens a wide literal; L with anything else is a name.
do
  local L = function(s) return "called " .. s end
  assert(L'x' == "called x")
  assert(L "y" == "called y")
  assert(L[[z]] == "called z")
  local Label, LL = 1, 2
  assert(Label + LL == 3)
end
assert(type(L"x") == "wstring")

-- Equal wide literals in one function are one constant and one value.
do
  local function a() return L"same" end
  local function b() return L"same" end
  assert(a() == b() and rawequal(a(), L"same"))
end

-- `continue` skips to the next iteration of while, repeat and both fors.
do
  local out = {}
  local i = 0
  while i < 6 do
    i = i + 1
    if math.mod(i, 2) == 0 then continue end
    table.insert(out, i)
  end
  assert(table.concat(out, ",") == "1,3,5")

  out = {}
  for j = 1, 6 do
    if j == 2 or j == 5 then continue end
    table.insert(out, j)
  end
  assert(table.concat(out, ",") == "1,3,4,6")

  out = {}
  for k, v in ipairs({"a", "skip", "b"}) do
    if v == "skip" then continue end
    table.insert(out, v)
  end
  assert(table.concat(out, ",") == "a,b")
end

-- In repeat, continue goes to the until test, which still ends the loop.
do
  local n, visits = 0, 0
  repeat
    n = n + 1
    if n < 10 then continue end
    visits = visits + 1
  until n >= 3
  assert(n == 3 and visits == 0)
end

-- continue must end its block, like break.
assert(loadstring("while true do continue; local x = 1 end") == nil)
assert(loadstring("while true do continue; end") ~= nil)
assert(string.find(loaderr("continue"), "no loop to continue", 1, true))
assert(string.find(loaderr("do continue end"), "no loop to continue", 1, true))
assert(string.find(loaderr("break"), "no loop to break", 1, true))

-- `continue` is a reserved word.
assert(loadstring("local continue = 1") == nil)

-- break N leaves N nested loops.
do
  local out = {}
  for i = 1, 3 do
    for j = 1, 3 do
      if j == 2 and i == 2 then break 2 end
      table.insert(out, i .. j)
    end
  end
  assert(table.concat(out, ",") == "11,12,13,21")

  local count = 0
  while true do
    repeat
      for k = 1, 10 do
        count = count + 1
        if k == 3 then break 3 end
      end
    until false
  end
  assert(count == 3)
end

-- break 1 is plain break; non-loop blocks between the loops are passed.
do
  local n = 0
  while true do
    n = n + 1
    do
      if n == 2 then break 1 end
    end
  end
  assert(n == 2)
  local m = 0
  for i = 1, 5 do
    while true do
      m = m + 1
      do break 2 end
    end
  end
  assert(m == 1)
end

-- continue N starts the next iteration of the Nth enclosing loop.
do
  local out = {}
  for i = 1, 3 do
    for j = 1, 3 do
      if j == 2 then continue 2 end
      table.insert(out, i .. j)
    end
    table.insert(out, "end" .. i)
  end
  assert(table.concat(out, ",") == "11,21,31")
end

-- break N and continue N with locals captured by closures on the way out.
do
  local fs = {}
  for i = 1, 2 do
    for j = 1, 2 do
      local v = i * 10 + j
      fs[table.getn(fs) + 1] = function() return v end
      if j == 1 then break 1 end
    end
  end
  assert(fs[1]() == 11 and fs[2]() == 21)
  local gs = {}
  for i = 1, 3 do
    while true do
      local w = i
      gs[i] = function() return w end
      do break 2 end
    end
  end
  assert(gs[1]() == 1)
end

-- N must be an integer from 1 to 100 with enough loops around.
assert(string.find(loaderr("while true do break 0 end"), "loop block number out of range", 1, true))
assert(string.find(loaderr("while true do break 101 end"), "loop block number out of range", 1, true))
assert(string.find(loaderr("while true do break 1.5 end"), "loop block number must be integer", 1, true))
assert(string.find(loaderr("while true do continue 0 end"), "loop block number out of range", 1, true))
assert(string.find(loaderr("while true do continue 2.5 end"), "loop block number must be integer", 1, true))
assert(string.find(loaderr("while true do break 2 end"), "no loop to break", 1, true))
assert(string.find(loaderr("while true do continue 2 end"), "no loop to continue", 1, true))
assert(string.find(loaderr("while true do local f = function() break end end"), "no loop to break", 1, true))
assert(loadstring("for i = 1, 2 do for j = 1, 2 do break 100 end end") == nil)
assert(loadstring("while true do break 1 end") ~= nil)

-- The bitwise operators are tokens: << and >> are single tokens, & and | single characters.
assert(loadstring("return 1 < < 2") == nil)
assert(loadstring("return 1 <<2, 8>>1, 1&1, 1|1") ~= nil)
assert(1 <= 2 and 2 >= 1)

-- A chunk that starts with the bytes FF FE is UTF-16LE text.
do
  local function utf16(text)
    local body = string.gsub(text, ".", function(c) return c .. "\0" end)
    return "\255\254" .. body
  end
  assert(loadstring(utf16("return 1 + 2"))() == 3)
  local a, b = loadstring(utf16("local t = {x = 'v'}\nreturn t.x, 0x10"))()
  assert(a == "v" and b == 16)
  -- the same text without the mark is 8-bit text with zero bytes in it
  local plain = string.sub(utf16("return 1"), 3)
  local f, msg = loadstring(plain)
  assert(f == nil and string.find(msg, "invalid control char", 1, true))
  -- a unit of a wide literal is taken whole; a narrow literal keeps its low byte
  local w = loadstring(utf16('return L"') .. "\58\38" .. utf16('"'):sub(3))()
  assert(string.pack("<wA", w) == "\58\38")
  local n = loadstring(utf16('return "') .. "\58\38" .. utf16('"'):sub(3))()
  assert(n == ":")
  -- a unit of 255 or above outside a literal is an error naming it
  f, msg = loadstring(utf16("return 1 ") .. "\58\38", "=wide")
  assert(f == nil and string.find(msg, "invalid wide char", 1, true) and string.find(msg, "char(9786)", 1, true))
  f, msg = loadstring(utf16("x = 1\n\ny = ") .. "\255\0", "=wide")
  assert(f == nil and string.find(msg, "^wide:3:") and string.find(msg, "invalid wide char", 1, true))
  -- runtime errors count lines of wide text too
  local ok, err = pcall(loadstring(utf16("local a = 1\n\nerror('w')"), "=wide"))
  assert(not ok and err == "wide:3: w")
  -- fewer than two bytes, or a single FF, is 8-bit text
  assert(loadstring("") ~= nil and loadstring(" ") ~= nil)
end

-- Control characters outside strings are still errors.
assert(string.find(loaderr("x = 1 \1"), "invalid control char", 1, true))

print("ok")
