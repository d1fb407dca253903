-- loadstring: compiling without running, return values, chunk names and
-- the messages of syntax errors; string.dump round trips.

-- A chunk is compiled, not run, and can be run many times.
do
  loaded_counter = 0
  local f = loadstring("loaded_counter = loaded_counter + 1")
  assert(type(f) == "function" and loaded_counter == 0)
  f(); f()
  assert(loaded_counter == 2)
  loaded_counter = nil
end

-- A chunk returns values like a function and may declare locals.
do
  assert(loadstring("return 1 + 1")() == 2)
  local a, b = loadstring("local x = 2; return x, x * 2")()
  assert(a == 2 and b == 4)
  assert(loadstring("")() == nil)
  assert(loadstring("local a = 1")() == nil)
end

-- A syntax error gives nil and a message with chunk, line and the token.
do
  local f, msg = loadstring("x = ")
  assert(f == nil and type(msg) == "string")
  assert(string.find(msg, '^%[string "x = "%]:1:'))
  assert(string.find(msg, "near .<eof>."))
  f, msg = loadstring("\n\nlocal = 1", "=named")
  assert(f == nil and string.find(msg, "^named:3:"))
  f, msg = loadstring("x = 1 +* 2", "=c")
  assert(f == nil and string.find(msg, "^c:1:.*near .%*."))
  f, msg = loadstring("if x then", "=c")
  assert(f == nil and string.find(msg, "^c:1:.*end.? expected"))
  f, msg = loadstring("f(", "=c")
  assert(f == nil and string.find(msg, "^c:1:"))
  f, msg = loadstring("x = }", "=c")
  assert(f == nil and string.find(msg, "unexpected symbol", 1, true))
end

-- An unclosed block reports the line of the opening.
do
  local f, msg = loadstring("do\n\n\nx = 1", "=c")
  assert(f == nil and string.find(msg, "^c:4:") and string.find(msg, "line 1", 1, true))
end

-- Lexical errors go through the same path.
do
  local f, msg = loadstring("x = 'abc", "=c")
  assert(f == nil and string.find(msg, "^c:1: unfinished string"))
  f, msg = loadstring("x = \1", "=c")
  assert(f == nil and string.find(msg, "^c:1:"))
end

-- Loaded chunks run in the global environment, not in the caller's locals.
do
  local hidden = "local"
  hidden_global = "global"
  assert(loadstring("return hidden")() == nil)
  assert(loadstring("return hidden_global")() == "global")
  hidden_global = nil
end

-- A runtime error in a loaded chunk is raised when it runs, not when it loads.
do
  local f = loadstring("error('at run time')", "=rt")
  assert(type(f) == "function")
  local ok, msg = pcall(f)
  assert(not ok and msg == "rt:1: at run time")
end

-- The chunk name is optional and may be any string.
do
  local f = loadstring("error('x')", "=a name with spaces")
  local ok, msg = pcall(f)
  assert(msg == "a name with spaces:1: x")
end

-- loadstring needs a string (numbers convert).
assert(not pcall(loadstring, nil))
assert(not pcall(loadstring, {}))

-- dofile-style idiom: assert(loadstring(s))() runs or raises the syntax error.
do
  local ok, msg = pcall(function() return assert(loadstring("x = = 1", "=idiom"))() end)
  assert(not ok and string.find(msg, "idiom:1:", 1, true))
end

-- string.dump gives a binary chunk that loadstring turns back into a function.
do
  local function add(a, b) return a + b, "sum" end
  local bin = string.dump(add)
  assert(type(bin) == "string" and string.byte(bin, 1) == 27)
  local copy = loadstring(bin)
  assert(copy ~= add)
  local r, s = copy(2, 3)
  assert(r == 5 and s == "sum")
  local g = loadstring(string.dump(loadstring("local t = {1, 'two', 3.5} return t[2] .. t[3]")))
  assert(g() == "two3.5")
end

-- A damaged binary chunk fails to load with a message.
do
  local bin = string.dump(function() return 1 end)
  local f, msg = loadstring(string.sub(bin, 1, 20))
  assert(f == nil and type(msg) == "string")
end

print("ok")
