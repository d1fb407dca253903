-- Lexical conventions shared by every Lua 5.0 program: escapes, long strings,
-- numerals, comments, names and the call forms that take a literal.
-- Runs unchanged on stock interpreters too; nested [[ ]] is in lexer_50.lua.

-- Escape sequences give the documented byte values.
assert(string.byte("\a") == 7 and string.byte("\b") == 8 and string.byte("\f") == 12)
assert(string.byte("\n") == 10 and string.byte("\r") == 13 and string.byte("\t") == 9)
assert(string.byte("\v") == 11 and string.byte("\\") == 92)
assert(string.byte("\"") == 34 and string.byte("\'") == 39)
assert("\[" == "[" and "\]" == "]")

-- \ddd takes up to three decimal digits; the four ways to write one string agree.
assert("alo\n123\"" == '\97lo\10\04923"')
assert("alo\n123\"" == [[alo
123"]])
assert("alo\n123\"" == [[
alo
123"]])
assert("\0659" == "A9")            -- three digits at most, then a plain 9
assert("\9" == "\t" and "\09" == "\t" and "\009" == "\t")

-- A decimal escape above 255 is a lexical error.
do
  local f, msg = loadstring('return "\\256"')
  assert(f == nil and string.find(msg, "escape sequence too large", 1, true))
end

-- A backslash before a real newline stores a newline.
assert("a\
b" == "a\nb")

-- Strings are 8-bit clean and may hold embedded zeros.
assert(string.len("a\0b\0c") == 5)
assert("a\0b" ~= "a\0c" and "a\0b" == "a\000b")
assert(string.byte("\255") == 255)

-- An unfinished string is a lexical error, and so is a raw newline inside quotes.
do
  local f, msg = loadstring('x = "abc')
  assert(f == nil and string.find(msg, "unfinished string", 1, true))
  f, msg = loadstring('x = "ab\ncd"')
  assert(f == nil and string.find(msg, "unfinished string", 1, true))
end

-- Long strings interpret no escapes and drop only a newline right after [[.
assert([[a\nb]] == "a\\nb")
assert([[

x]] == "\nx")
assert([[]] == "")

-- Numerals: optional decimal part and optional decimal exponent.
assert(3 == 3.0 and 3.1416 == 314.16e-2 and 0.31416E1 == 3.1416)
assert(.5 == 0.5 and 5. == 5 and 1e2 == 100 and 1E+2 == 100 and 2e-1 == 0.2)
assert(1e0 == 1 and 12.5e1 == 125)
do
  local f = loadstring("return 1e")
  assert(f == nil)
  f = loadstring("return 3..2")     -- the first dot belongs to the numeral
  assert(f == nil)
end

-- Comments: short to end of line, long ones may span lines and sit inside code.
local c = 1 -- a short comment with [[ inside
--[[ a long
comment ]] c = c + 1
assert(c == 2)
local d = --[[ inline ]] 5
assert(d == 5)
---[[ three dashes make a short comment, so this line runs
d = 6
--]]
assert(d == 6)

-- Names: letters, digits and underscores, case-sensitive; keywords are reserved.
local And, AND, _x1, x_ = 1, 2, 3, 4
assert(And + AND + _x1 + x_ == 10)
assert(loadstring("local and = 1") == nil)
assert(loadstring("local true = 1") == nil)
assert(loadstring("local in = 1") == nil)
assert(loadstring("local _VERSIONX = 1") ~= nil)

-- Semicolons are optional statement separators.
local s1 = 1; local s2 = 2;
assert(loadstring("local a = 1;; local b = 2") == nil)   -- an empty statement is not one
assert(s1 + s2 == 3)

-- Calls with one literal or one table need no parentheses.
local function id(v) return v end
assert(id"x" == "x" and id'y' == "y" and id[[z]] == "z")
assert(id{1, 2}[2] == 2)
local obj = {v = 7}
function obj:get(k) return self.v + (k and k[1] or 0) end
assert(obj:get{3} == 10)

-- a.name is sugar for a["name"].
local t = {}
t.name = 1
assert(t["name"] == 1)
t["other key"] = 2
assert(t["other key"] == 2)

print("ok")
