-- golden: manual
-- Behaviour of Lua 5.0 that differs from later versions.
print(_VERSION, select, string.gmatch, math.fmod, table.maxn)
-- varargs live in the table `arg', with its count in arg.n
local function va(...) return arg.n, arg[1], arg[2], arg[3] end
print(va(), va(nil), va(1, nil, 3))
local function fixed(a, ...) return a, arg.n end
print(fixed(1, 2, 3))
-- the loop variable of a numeric `for' is one variable for the whole loop
local fs = {}
for i = 1, 3 do fs[i] = function() return i end end
print(fs[1](), fs[2](), fs[3]())
local gs = {}
for k, v in ipairs({"a", "b"}) do gs[k] = function() return k .. v end end
print(pcall(gs[1]))
-- long strings nest
print([[outer [[inner]] end]])
print([[
first newline skipped]])
-- sizes: the `n' field, table.setn, or the first nil
local t = {1, 2, 3, n = 5}
print(table.getn(t), unpack(t))
local u = {1, 2, 3}
table.setn(u, 10)
print(table.getn(u))
table.insert(u, "x")
print(table.getn(u), u[11])
local w = {n = 0}
table.insert(w, "a"); table.insert(w, "b")
print(w.n, table.remove(w), w.n)
-- string.byte gives one value; out of range it is nil
print(string.byte("abc"), string.byte("abc", 3), string.byte("abc", 4), string.byte("abc", -1))
-- gsub: %1 needs a capture; a function result that is not a string removes the match
print(pcall(string.gsub, "abc", "%w", "%1"))
print(string.gsub("a b c", "%a", function(c) if c == "b" then return nil end return c:upper() end))
print(string.gsub("abc", "b", false and "x" or "%%"))
-- __eq is used only when both operands have the same one
local eqfn = function() return true end
local e1 = setmetatable({}, {__eq = eqfn})
print(e1 == {}, {} == e1, e1 == setmetatable({}, {__eq = eqfn}))
-- `until' does not see the locals of the loop body
x = "global x"
local seen
repeat local x = "body x"; seen = x until x == "global x"
print(seen)
-- ipairs is its own generator
print(ipairs({}) == ipairs)
-- operators of later versions are syntax errors
print(loadstring("return 5 % 2", "=t"))
print(loadstring("return #t", "=t"))
print(loadstring("return ...", "=t"))
print(loadstring("goto x", "=t"))
print(loadstring("return a // b", "=t"))
print(loadstring("return 1 ~ 2", "=t"))
print(loadstring("x = [==[ long ]==]", "=t"))
-- coroutines
local co = coroutine.create(function(a, b)
  local c = coroutine.yield(a + b)
  local d, e = coroutine.yield(c * 2)
  return d + e
end)
print(coroutine.resume(co, 1, 2))
print(coroutine.status(co))
print(coroutine.resume(co, 10))
print(coroutine.resume(co, 3, 4))
print(coroutine.status(co), coroutine.resume(co))
local gen = coroutine.wrap(function() for i = 1, 3 do coroutine.yield(i) end end)
print(gen(), gen(), gen())
print(pcall(coroutine.wrap(function() error("inside") end)))
print(coroutine.resume(coroutine.create(function() return pcall(coroutine.yield, 1) end)))
print(pcall(coroutine.yield, 1))
print(pcall(coroutine.create, print))
local nested = coroutine.create(function()
  local inner = coroutine.create(function() coroutine.yield("from inner") return "inner done" end)
  print(coroutine.resume(inner))
  coroutine.yield("outer yield")
  print(coroutine.resume(inner))
  return "outer done"
end)
print(coroutine.resume(nested))
print(coroutine.resume(nested))
print(coroutine.resume(nested))
local selfres
selfres = coroutine.create(function() return coroutine.resume(selfres) end)
print(coroutine.resume(selfres))
-- yield across a metamethod or an iterator called from C is refused
local ym = setmetatable({}, {__index = function() return coroutine.yield(1) end})
print(coroutine.resume(coroutine.create(function() return ym.x end)))
print(coroutine.resume(coroutine.create(function() table.foreach({1}, coroutine.yield) end)))
-- getn counts up to the first nil when nothing else says otherwise
print(table.getn({1, 2, nil, 4}))
