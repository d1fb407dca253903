-- golden: lua5.1
-- Strings and the string library (the part shared with 5.1).
local s = "Hello, World"
print(string.len(s), string.upper(s), string.lower(s))
print(string.sub(s, 1, 5), string.sub(s, -5), string.sub(s, 8), string.sub(s, 0), string.sub(s, 20))
print(string.sub(s, -100, 2), string.sub(s, 5, 4) == "")
print(string.rep("ab", 3), string.rep("x", 0) == "")
print(string.char(72, 105), string.byte("A"), string.byte("ABC", 2), string.byte("ABC", -1))
print(string.find("hello world", "wor"), string.find("hello", "l"), string.find("hello", "xyz"))
print(string.find("hello", "l", 4), string.find("a.b", ".", 1, true), string.find("a+b", "+", 1, true))
print(string.find("key = value", "(%w+)%s*=%s*(%w+)"))
print(string.find("  trim  ", "^%s*(.-)%s*$"))
print(string.gsub("hello world", "o", "0"))
print(string.gsub("hello world", "(%w+)", "<%1>"))
print(string.gsub("abc", "(%w)", "%1%1"))
print(string.gsub("hello world", "%w+", "X", 1))
print(string.gsub("abc", "", "-"))
print(string.gsub("x = 1, y = 2", "(%w+) = (%w+)", "%2 = %1"))
print(string.gsub("$a $b", "%$(%w+)", function(v) return v == "a" and "1" or "2" end))
print(string.gsub("f(a(b)c) g()", "%b()", "[]"))
print(string.format("[%5s][%-5s][%.2s]", "ab", "ab", "abcdef"))
print(string.format("%q", 'quote " back \\ nl \n end'))
print(string.format("%c%c%c", 76, 117, 97), string.format("%%"), string.format("%3d|%-3d|%03d", 5, 5, 5))
local words = {}
for w in string.gfind("one two  three", "%a+") do words[table.getn(words) + 1] = w end
print(table.concat(words, ","))
for k, v in string.gfind("a=1, b=2", "(%w+)=(%w+)") do io.write(k, v, ";") end
print()
print(("abc"):len(), ("x"):rep(3), ("%d"):format(7))
print("a\tb\\n", 'single \'q\'', "\65\066\0067", "line1\
line2")
print([[long
string]], [[a]] .. [[b]])
print(string.len("a\0b"))
print(string.find("abc", "[a-b]+"), string.find("ABC", "%u+"), string.find("x1y2", "%d"))
print(string.find("[test]", "[%[%]]"), string.find("a-b", "[%-]"), string.find("abc", "[^a]"))
print(string.gsub("hello", "l+", function(m) return string.len(m) end))
print(string.find("aaa", "a-", 2), string.find("aaa", "a*"), string.find("", "a*"))
print(string.find("()", "%(%)"), string.find("a.b", "%."))
print(tostring(12), tostring("x"), tostring(true), tostring(nil))
print("abc" .. 1 .. 2, 1 .. "")
