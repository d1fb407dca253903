-- golden: manual
-- The dialect's lexical additions: wide string literals, \x escapes,
-- hexadecimal numerals, `continue', `break N' and `continue N'.
local w = L"A\x263A"
print(type(w), type(L""), tostring(w), string.len(tostring(w)))
print(L"abc" == L"abc", L"abc" == "abc", L"a" ~= L"b")
print(L"\x41zz" == L"Azz", L"\xg" == L"xg", L"\65\066" == L"AB", L"tab\tnl" == L"tab\tnl")
print(L"hi", L"\x263A", L"caf\xe9")
local Label, L = "label", function(s) return "called " .. s end
print(Label, L "x", L"x" == L"x")
print("\x41\x4a\x4B", "\xg", "\x7", "\x414")
print("a\z", 'q\'', "\\x41")
print(0x1F, 0xff + 1, -0x10)
-- break N and continue N
for i = 1, 3 do
  for j = 1, 3 do
    if j == 2 then break 2 end
    io.write(i, j, " ")
  end
end
print()
for i = 1, 5 do
  if i == 3 then continue end
  io.write(i, " ")
end
print()
local n = 0
while n < 6 do
  n = n + 1
  if math.mod(n, 2) == 0 then continue end
  io.write(n, " ")
end
print()
local r = 0
repeat
  r = r + 1
  if r < 3 then continue end
  io.write("r", r, " ")
until r >= 4
print()
for i = 1, 3 do
  for j = 1, 3 do
    if j > i then continue 2 end
    io.write(i, j, " ")
  end
  io.write("never ")
end
print()
for k, v in ipairs({"a", "b", "c"}) do
  if v == "b" then continue 1 end
  io.write(k, v, " ")
end
print()
for a = 1, 2 do
  for b = 1, 2 do
    for c = 1, 2 do
      if c == 2 then break 3 end
      io.write(a, b, c, " ")
    end
  end
end
print()
-- a closure made in one iteration keeps its own variable after `continue'
local fs = {}
local i = 0
while i < 3 do
  i = i + 1
  local v = i * 10
  fs[i] = function() return v end
  if i < 3 then continue end
end
print(fs[1](), fs[2](), fs[3]())
local gs = {}
for k = 1, 3 do
  local v = k
  gs[k] = function() return v end
  if k ~= 2 then continue end
end
print(gs[1](), gs[2](), gs[3]())
-- lexical and syntax errors
local function check(src)
  local f, msg = loadstring(src, "=src")
  print(msg)
end
check("break 0")
check("while true do break 101 end")
check("while true do break 1.5 end")
check("while true do continue 0 end")
check("continue")
check("break")
check("for i = 1, 2 do end break 2")
check("while 1 do while 1 do break 3 end end")
check("x = L\"\\300\"")
check("x = \"\\300\"")
check("x = L\"abc")
check("x = L\"ab\nc\"")
check("x = 0x123456789")
check("x = 1e")
check("x = 3..4")
check("x = \1")
check("x = \127")
check("x = \255")
check("x = @")
check("x = 1 y = 2")
check("local function end")
check("while true do break; x = 1 end")
check("while true do continue x = 1 end")
