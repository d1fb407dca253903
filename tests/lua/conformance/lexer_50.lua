-- Lua 5.0 only: long strings and long comments nest, and the lexer knows no
-- `#` length operator and no `...` outside a parameter list.

-- [[ ... ]] pairs nest inside a long string and stay in its text.
local s = [[a [[b]] c]]
assert(s == "a [[b]] c")
assert([[[[]]]] == "[[]]")

-- Long comments nest the same way.
local n = 1
--[[ outer [[ inner ]] still comment
n = 2
]]
assert(n == 1)

-- The first newline is dropped only right after the opening brackets.
assert([[
[[x]]
]] == "[[x]]\n")

-- `#` is not an operator in 5.0.
assert(loadstring("local t = {} return #t") == nil)

-- `...` may only end a parameter list; it is no expression.
assert(loadstring("function f(...) return ... end") == nil)
assert(loadstring("function f(...) local a = ... end") == nil)
assert(loadstring("function f(...) return arg.n end") ~= nil)

-- `%` is no operator either.
assert(loadstring("return 7 % 3") == nil)

print("ok")
