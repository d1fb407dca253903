-- The string library of Lua 5.0: len, sub, upper, lower, rep, byte, char,
-- find, gfind, gsub with patterns, captures and position captures, and
-- format with its flags.  Functions are called through the string table
-- (method calls on strings belong to the dialect's default metatables).

local errmsg = dofile("errmsg.lua")

-- len counts every byte, embedded zeros included.
assert(string.len("") == 0 and string.len("abc") == 3)
assert(string.len("a\000b\000c") == 5 and string.len("\0") == 1)
assert(string.len(123) == 3)

-- sub with positive, negative, zero and out-of-range positions.
do
  local s = "hello"
  assert(string.sub(s, 2, 4) == "ell" and string.sub(s, 2) == "ello")
  assert(string.sub(s, -3) == "llo" and string.sub(s, 2, -2) == "ell")
  assert(string.sub(s, -3, -2) == "ll" and string.sub(s, 1, -1) == "hello")
  assert(string.sub(s, 0) == "hello" and string.sub(s, -100) == "hello")
  assert(string.sub(s, 10) == "" and string.sub(s, 3, 2) == "" and string.sub(s, 4, 100) == "lo")
  assert(string.sub(s, 1, 0) == "" and string.sub("", 1) == "")
  assert(string.sub("a\0b", 2, 2) == "\0")
end

-- upper and lower change letters only.
assert(string.upper("aBc1!z") == "ABC1!Z" and string.lower("AbC1!Z") == "abc1!z")
assert(string.upper("a\0b") == "A\0B")

-- rep concatenates n copies; n <= 0 gives the empty string.
assert(string.rep("ab", 3) == "ababab" and string.rep("x", 1) == "x")
assert(string.rep("x", 0) == "" and string.rep("x", -2) == "" and string.rep("", 5) == "")
assert(string.len(string.rep("a\0", 1000)) == 2000)

-- byte gives one code, with negative positions from the end; char builds strings.
assert(string.byte("A") == 65 and string.byte("abc", 2) == 98 and string.byte("abc", -1) == 99)
assert(string.byte("\0") == 0 and string.byte("\255") == 255)
assert(string.char(72, 105) == "Hi" and string.char() == "" and string.char(0) == "\0")
assert(string.char(255, 0, 1) == "\255\0\1")
assert(errmsg(function() return string.char(256) end))
assert(errmsg(function() return string.char(-1) end))

-- find: plain substrings, init (also negative) and the plain flag.
for _, c in ipairs{
  {"hello world", "wor", nil, nil, 7, 9}, {"hello", "xyz", nil, nil, nil, nil},
  {"abcabc", "b", 3, nil, 5, 5}, {"abcabc", "b", -3, nil, 5, 5}, {"a.b", ".", 1, true, 2, 2},
  {"a+b", "+", 1, true, 2, 2}, {"abc", "", nil, nil, 1, 0}, {"", "", nil, nil, 1, 0},
  {"abc", "a", 10, nil, nil, nil}, {"abc", "c", -1, nil, 3, 3}, {"a\0b", "\0", 1, true, 2, 2},
} do
  local a, b = string.find(c[1], c[2], c[3], c[4])
  assert(a == c[5] and b == c[6], c[1] .. " ~ " .. c[2])
end

-- Character classes and their upper-case complements.
do
  local function m(s, p) local a, b = string.find(s, p); return a and string.sub(s, a, b) end
  assert(m("ab12cd", "%d+") == "12" and m("12ab", "%a+") == "ab")
  assert(m("Hello", "%l+") == "ello" and m("heLLo", "%u+") == "LL")
  assert(m("a  b", "%s+") == "  " and m("  x  ", "%S+") == "x")
  assert(m("x_y1!", "%w+") == "x" and m("ab!?cd", "%p+") == "!?")
  assert(m("zz0fFg", "%x+") == "0fF" and m("ab\1\2c", "%c+") == "\1\2")
  assert(m("ab\0cd", "%z") == "\0" and m("123abc", "%D+") == "abc")
  assert(m("a.b", "%.") == "." and m("50%", "%%") == "%")
  assert(m("x+y", "[+]") == "+" and m("path/to", "[%w/]+") == "path/to")
  assert(m("hello", ".") == "h" and m("", ".") == nil)
end

-- Sets, ranges and complemented sets.
do
  local function m(s, p) local a, b = string.find(s, p); return a and string.sub(s, a, b) end
  assert(m("xx0375yy", "[0-7]+") == "0375" and m("abc-def", "[%l%-]+") == "abc-def")
  assert(m("hello world", "[^%s]+") == "hello" and m("aaa]b", "[]]") == "]")
  assert(m("a^b", "[b^]+") == "^b" and m("key_1 = x", "[%w_]+") == "key_1")
  assert(m("abc", "[^abc]") == nil)
end

-- Repetitions: * and + are greedy, - is lazy, ? optional.
do
  local function m(s, p) local a, b = string.find(s, p); return a and string.sub(s, a, b) end
  assert(m("<a><b>", "<.*>") == "<a><b>" and m("<a><b>", "<.->") == "<a>")
  assert(m("aaab", "a*") == "aaa" and m("baaa", "a*") == "" and m("baaa", "a+") == "aaa")
  assert(m("color colour", "colou?r") == "color" and m("colour", "colou?r") == "colour")
  assert(m("xy", "x-y") == "xy" and m("abc", "a.-c") == "abc")
end

-- A run gives back (or, lazy, takes) one character at a time until the rest
-- matches, captures and all; an error further on in the pattern comes only
-- once the matcher gets there.
do
  local function f(s, p) return {string.find(s, p)} end
  local function same(t, u) return table.concat(t, ",") == table.concat(u, ",") end
  assert(same(f("aXbXcY", "(%w*)X(%a+)Y"), {1, 6, "aXb", "c"}))
  assert(same(f("ab1c2d", "(%w*)(%d)(%a)$"), {1, 6, "ab1c", "2", "d"}))
  assert(same(f("x1y22z", "(.-)()(%d+)z"), {1, 6, "x1y", 4, "22"}))
  assert(same(f("aa$b$c", ".*$.$"), {1, 6}) and same(f("a$b$c", "(.-)$(%a)$"), {1, 5, "a$b", "c"}))
  assert(same(f("[[x]]", "(%[*)([^%]]+)%]"), {1, 4, "[[", "x"}))
  assert(same(f("abcabc", "(a%w-)%1"), {1, 6, "abc"}))
  assert(same(f("aaab", "a-()b()"), {1, 4, 4, 5}) and same(f("aaa", "a*b"), {}))
  assert(same(f("abAB", "%l*%u%U*"), {1, 3}) and same(f("ab  c", "%S+%s+%S"), {1, 5}))
  assert(same(f(string.rep("a", 100) .. "b", "a*ab"), {1, 101}))
  assert(same(f("aaa", "a*x["), {}) and errmsg(function() return string.find("aab", "a*b[") end))
end

-- Anchors: ^ at the start and $ at the end; elsewhere they are plain characters.
do
  assert(string.find("abc", "^a") == 1 and string.find("bac", "^a") == nil)
  assert(string.find("abc", "c$") == 3 and string.find("acb", "c$") == nil)
  assert(string.find("a$b", "a$b") == 1 and string.find("a^b", "a^b") == 1)
  assert(string.find("abcabc", "^b", 2) == 2)
end

-- Captures come after the positions; () captures a position.
do
  local a, b, c1, c2 = string.find("hello world", "(o)%s?(w)")
  assert(a == 5 and b == 7 and c1 == "o" and c2 == "w")
  local _, _, k, v = string.find("key = value", "(%w+)%s*=%s*(%w+)")
  assert(k == "key" and v == "value")
  local s, e, p1, p2 = string.find("flaaap", "()aa()")
  assert(s == 3 and e == 4 and p1 == 3 and p2 == 5)
  local _, _, outer, inner, last = string.find("aaby z", "(a*(.)%w(%s*))")
  assert(outer == "aaby " and inner == "b" and last == " ")
  local _, _, empty = string.find("abc", "()")
  assert(empty == 1)
end

-- %1..%9 match an earlier capture again.
do
  local _, _, q, body = string.find([[say "hi" now]], "([\"'])(.-)%1")
  assert(q == '"' and body == "hi")
  assert(string.find("abab", "(ab)%1") == 1 and string.find("abac", "(ab)%1") == nil)
end

-- %bxy matches a balanced run.
do
  local a, b = string.find("x(a(b)c)y", "%b()")
  assert(a == 2 and b == 8)
  assert(string.gsub("f(a(b)c) g(d)", "%b()", "") == "f g")
  assert(string.find("((", "%b()") == nil)
  local a2, b2 = string.find("if [x [y]] end", "%b[]")
  assert(a2 == 4 and b2 == 10)
end

-- Malformed patterns are errors.
assert(errmsg(function() return string.find("a", "[a") end))
assert(errmsg(function() return string.find("a", "%") end))
assert(errmsg(function() return string.find("a", "(a") end))
assert(errmsg(function() return string.find("ab", "a.)") end))
assert(errmsg(function() return string.find("a", "%1") end))
assert(errmsg(function() return string.find("a", "%b") end))

-- gsub with a string replacement, %n captures, a limit and the count.
for _, c in ipairs{
  {"hello world", "(%w+)", "%1 %1", nil, "hello hello world world", 2},
  {"hello world", "(%w+)", "%1 %1", 1, "hello hello world", 1},
  {"hello world from Lua", "(%w+)%s*(%w+)", "%2 %1", nil, "world hello Lua from", 2},
  {"abc", "x", "y", nil, "abc", 0}, {"x", "x", "%a%.", nil, "a.", 1},
  {"50 percent", "%d+", "%%", nil, "% percent", 1}, {"aaa", "^a", "X", nil, "Xaa", 1},
  {"abc", "%w*", "-", nil, "--", 2}, {"", "x*", "!", nil, "!", 1}, {"a b", "", "/", nil, "/a/ /b/", 4},
} do
  local s, n = string.gsub(c[1], c[2], c[3], c[4])
  assert(s == c[5] and n == c[6], c[1] .. " ~ " .. c[2])
end

-- gsub with a function: called with the captures (or the whole match).
do
  local t = {name = "lua", version = "5.0"}
  local s = string.gsub("$name_$version.tar.gz", "%$(%w+)", function(v) return t[v] end)
  assert(s == "lua_5.0.tar.gz")
  s = string.gsub("4+5 = $return 4+5$", "%$(.-)%$", function(code) return loadstring(code)() end)
  assert(s == "4+5 = 9")
  local seen = {}
  string.gsub("a1 b2", "%a%d", function(whole) table.insert(seen, whole) end)
  assert(table.concat(seen, ",") == "a1,b2")
  s = string.gsub("x y", "(%w)", function(c) return c .. c end)
  assert(s == "xx yy")
  s = string.gsub("n=3", "%d", function(d) return d * 2 end)
  assert(s == "n=6")
end

-- gfind iterates over matches, returning the captures or the whole match.
do
  local words = {}
  for w in string.gfind("hello world from Lua", "%a+") do table.insert(words, w) end
  assert(table.concat(words, ",") == "hello,world,from,Lua")
  local t = {}
  for k, v in string.gfind("from=world, to=Lua", "(%w+)=(%w+)") do t[k] = v end
  assert(t.from == "world" and t.to == "Lua")
  local parts = {}
  for p in string.gfind("abc", "%a*") do table.insert(parts, "<" .. p .. ">") end
  assert(table.concat(parts) == "<abc><>")
  local pos = {}
  for p in string.gfind("a,b,c", "()") do table.insert(pos, p) end
  assert(table.getn(pos) == 6 and pos[1] == 1 and pos[6] == 6)
end

-- format: integers with width, flags, bases and precision.
assert(string.format("%d", 42) == "42" and string.format("%5d", 42) == "   42")
assert(string.format("%-5d|", 42) == "42   |" and string.format("%05d", 42) == "00042")
assert(string.format("%+d", 42) == "+42" and string.format("% d", 42) == " 42")
assert(string.format("%d", -5) == "-5" and string.format("%i", 7) == "7")
assert(string.format("%d", 3.9) == "3" and string.format("%.3d", 5) == "005")
assert(string.format("%x", 255) == "ff" and string.format("%X", 255) == "FF")
assert(string.format("%#x", 255) == "0xff" and string.format("%o", 8) == "10")
assert(string.format("%#o", 8) == "010" and string.format("%u", 42) == "42")
assert(string.format("%c", 65) == "A" and string.format("%c%c", 76, 117) == "Lu")

-- format: %o %u %x %X take the number as an unsigned int, so the upper half
-- of its range prints in full, with every flag, width and precision.
assert(string.format("%x", 4294967295) == "ffffffff" and string.format("%X", 2147483648) == "80000000")
assert(string.format("%u", 3000000000) == "3000000000" and string.format("%o", 4294967295) == "37777777777")
assert(string.format("%#x", 4294967295) == "0xffffffff" and string.format("%#o", 2147483648) == "020000000000")
assert(string.format("%12x|", 2147483648) == "    80000000|" and string.format("%-12X|", 4294967295) == "FFFFFFFF    |")
assert(string.format("%012u", 4294967295) == "004294967295" and string.format("%.10x", 2147483649) == "0080000001")
assert(string.format("%x", 4294967295.75) == "ffffffff" and string.format("%u", 2147483647.5) == "2147483647")

-- format: floating point conversions.
assert(string.format("%.2f", 3.14159) == "3.14" and string.format("%10.3f", 3.14159) == "     3.142")
assert(string.format("%-8.1f|", 2.5) == "2.5     |")
assert(string.format("%e", 12345.678) == "1.234568e+04" and string.format("%.1E", 12345.678) == "1.2E+04")
assert(string.format("%g", 0.0001) == "0.0001" and string.format("%g", 1e20) == "1e+20")
assert(string.format("%g", 100) == "100" and string.format("%G", 1e-10) == "1E-10")
assert(string.format("%.3g", 3.14159) == "3.14" and string.format("%+.1f", 1) == "+1.0")
assert(string.format("%f", 0.5) == "0.500000")

-- format: strings, precision cuts, numbers accepted as strings, %%.
assert(string.format("%s", "x") == "x" and string.format("%s", 12) == "12")
assert(string.format("%.3s", "abcdef") == "abc" and string.format("%5s", "ab") == "   ab")
assert(string.format("%-5s|", "ab") == "ab   |" and string.format("%%") == "%")
assert(string.format("%s and %s", "a", "b") == "a and b")
assert(string.format("no conversions") == "no conversions")
assert(string.format("%5.1s|", "xyz") == "    x|")

-- %q writes a string that reads back as the same string.
do
  local q = string.format("%q", 'a string with "quotes" and \n new line')
  assert(q == '"a string with \\"quotes\\" and \\\n new line"')
  assert(string.format("%q", "back\\slash") == '"back\\\\slash"')
  local original = "tab\tquote\"nl\nslash\\end"
  assert(loadstring("return " .. string.format("%q", original))() == original)
end

-- format errors: bad option, bad argument, missing argument, width too long.
assert(errmsg(function() return string.format("%y", 1) end))
assert(string.find(errmsg(function() return string.format("%d", "x") end), "bad argument #2", 1, true))
assert(errmsg(function() return string.format("%d") end))
assert(errmsg(function() return string.format("%s", {}) end))
assert(string.find(errmsg(function() return string.format("%123d", 1) end), "invalid format", 1, true))

print("ok")
