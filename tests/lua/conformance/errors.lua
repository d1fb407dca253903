-- error, pcall, xpcall and assert: error objects of any type, the
-- "chunk:line:" position prefix and its levels, and run-time error messages.

-- Runs the text as a chunk named "test" and returns pcall's results.
local function run(text)
  local f = assert(loadstring(text, "=test"))
  return pcall(f)
end

-- error with a string adds the position where error was called.
do
  local ok, msg = run("error('boom')")
  assert(not ok and msg == "test:1: boom")
  ok, msg = run("local x = 1\n\nerror('line three')")
  assert(msg == "test:3: line three")
end

-- Level 0 adds nothing; level 2 points at the caller of the function.
do
  local ok, msg = run("error('bare', 0)")
  assert(msg == "bare")
  ok, msg = run("local function check(v)\n  error('bad value', 2)\nend\n\ncheck(1)")
  assert(msg == "test:5: bad value")
  ok, msg = run("local function check(v)\n  error('here', 1)\nend\ncheck(1)")
  assert(msg == "test:2: here")
end

-- The chunk name decides the prefix: "=name" as is, "@file" as the file name,
-- and otherwise the source text itself.
do
  local ok, msg = pcall(assert(loadstring("error('x')", "@some/file.lua")))
  assert(msg == "some/file.lua:1: x")
  ok, msg = pcall(assert(loadstring("error('x')")))
  assert(msg == '[string "error(\'x\')"]:1: x')
  ok, msg = pcall(assert(loadstring("error('x')\n-- second line")))
  assert(msg == '[string "error(\'x\')..."]:1: x')
end

-- Error objects that are not strings pass through unchanged.
do
  local obj = {code = 42}
  local ok, e = pcall(error, obj)
  assert(not ok and e == obj)
  ok, e = pcall(error, nil)
  assert(not ok and e == nil)
  ok, e = pcall(error, true)
  assert(not ok and e == true)
  ok, e = run("error({1, 2})")
  assert(type(e) == "table" and e[2] == 2)
end

-- A number is a string for error, so it gets the prefix.
do
  local ok, e = run("error(42)")
  assert(e == "test:1: 42")
end

-- pcall returns true and every result on success.
do
  local a, b, c = pcall(function(x, y) return x + y, "second" end, 1, 2)
  assert(a == true and b == 3 and c == "second")
  local ok = pcall(function() end)
  assert(ok == true)
end

-- pcall of something that cannot be called fails with the call error.
do
  local ok, e = pcall(42)
  assert(not ok and string.find(e, "attempt to call a number value", 1, true))
end

-- Errors cross any number of calls up to the nearest pcall, and pcalls nest.
do
  local function inner() error({level = "inner"}) end
  local function middle() inner() end
  local ok, e = pcall(middle)
  assert(not ok and e.level == "inner")
  local ok2, ok3, e3 = pcall(function() return pcall(error, "deep", 0) end)
  assert(ok2 == true and ok3 == false and e3 == "deep")
end

-- Run-time errors carry the position of the faulty statement and name the variable.
do
  local ok, msg = run("local t = nil\nlocal y = 1\nreturn t.field")
  assert(string.find(msg, "^test:3: attempt to index local .t. %(a nil value%)"))
  ok, msg = run("return nofunc()")
  assert(string.find(msg, "^test:1: attempt to call global .nofunc. %(a nil value%)"))
  ok, msg = run("local s = {}\nreturn s.a.b")
  assert(string.find(msg, "^test:2: attempt to index field .a. %(a nil value%)"))
  ok, msg = run("local obj = {}\nreturn obj:nomethod()")
  assert(string.find(msg, "^test:2: attempt to call method .nomethod. %(a nil value%)"))
  ok, msg = run("local obj = {}\nreturn obj.field()")
  assert(string.find(msg, "^test:2: attempt to call field .field. %(a nil value%)"))
  ok, msg = run("local u\nlocal function f() return u.x end\nreturn f()")
  assert(string.find(msg, "^test:2: attempt to index"))
  ok, msg = run("local n = 1\nreturn n .. {}")
  assert(string.find(msg, "^test:2: attempt to concatenate a table value"))
  ok, msg = run("return {} < {}")
  assert(string.find(msg, "^test:1: attempt to compare two table values"))
  ok, msg = run("return 1 < 'x'")
  assert(string.find(msg, "^test:1: attempt to compare number with string"))
end

-- Errors from C library functions name the bad argument.
do
  local ok, msg = run("return string.rep()")
  assert(string.find(msg, "bad argument #1 to .rep.", 1))
  ok, msg = run("return string.sub('x', {})")
  assert(string.find(msg, "bad argument #2 to .sub. %(number expected, got table%)"))
end

-- xpcall calls the handler with the original error object and returns its result.
do
  local seen
  local ok, r = xpcall(function() error({tag = 1}) end, function(e) seen = e; return "handled" end)
  assert(not ok and r == "handled" and seen.tag == 1)
  ok, r = xpcall(function() error("msg") end, function(e) return "H:" .. e end)
  assert(string.find(r, "^H:.*msg$"))
  local a, b = xpcall(function() return "fine", 2 end, function() return "unused" end)
  assert(a == true and b == "fine")
end

-- The handler runs before the stack unwinds, so it can take a traceback.
do
  local ok, tb = xpcall(function() local x = nil; return x.y end, debug.traceback)
  assert(not ok and string.find(tb, "stack traceback", 1, true))
end

-- assert returns its value, raises its message, or "assertion failed!".
do
  assert(assert(5) == 5)
  local ok, e = pcall(assert, false, "custom message")
  assert(not ok and e == "custom message")
  ok, e = pcall(assert, nil)
  assert(not ok and e == "assertion failed!")
  ok, e = pcall(assert, false)
  assert(e == "assertion failed!")
end

-- An error inside a metamethod reaches the pcall around the operation.
do
  local t = setmetatable({}, {__add = function() error("in add", 0) end})
  local ok, e = pcall(function() return t + 1 end)
  assert(not ok and e == "in add")
end

-- After an error the state keeps working and locals are intact.
do
  local keep = "still here"
  for i = 1, 50 do pcall(error, "repeat") end
  assert(keep == "still here")
end

print("ok")
