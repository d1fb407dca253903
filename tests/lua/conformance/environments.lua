-- Function environments: getfenv and setfenv by function and by level,
-- inheritance by new closures, the global environment and _G.

local errmsg = dofile("errmsg.lua")

-- _G holds the global environment and contains itself.
assert(_G._G == _G and _G.print == print and getfenv() == _G)
assert(getfenv(0) == _G and getfenv(1) == _G)

-- Globals of a function are fields of its environment.
do
  local env = {x = "from env"}
  local f = loadstring("y = 'set'; return x")
  setfenv(f, env)
  assert(getfenv(f) == env)
  assert(f() == "from env" and env.y == "set" and rawget(_G, "y") == nil)
end

-- Changing an environment does not touch other functions.
do
  local f = loadstring("return marker")
  local g = loadstring("return marker")
  setfenv(f, {marker = 1})
  assert(f() == 1 and g() == nil)
end

-- Closures created by a function inherit its environment at creation time.
do
  local maker = loadstring("return function() return tag end")
  setfenv(maker, {tag = "first"})
  local inner1 = maker()
  setfenv(maker, {tag = "second"})
  local inner2 = maker()
  assert(inner1() == "first" and inner2() == "second")
end

-- setfenv(1, t) changes the running function; the level counts callers.
do
  local function run()
    setfenv(1, {answer = 42})
    return answer, print
  end
  local a, p = run()
  assert(a == 42 and p == nil)
  local function setter() setfenv(2, {level2 = "L2"}) end
  local function wrapper() setter(); return level2 end
  assert(wrapper() == "L2")
end

-- getfenv by level reads the environment of a caller.
do
  local env = {getfenv = getfenv}
  local f = loadstring("return getfenv(1)")
  setfenv(f, env)
  assert(f() == env)
  local g = loadstring("local function inner() return getfenv(2) end local e = inner() return e")
  setfenv(g, env)
  assert(g() == env)
end

-- An environment can fall back to the globals through __index.
do
  local env = setmetatable({}, {__index = _G})
  local f = loadstring("local s = string.upper('a'); newglobal = s; return s")
  setfenv(f, env)
  assert(f() == "A" and env.newglobal == "A" and rawget(_G, "newglobal") == nil)
end

-- C functions use the global environment and cannot be given another.
assert(getfenv(print) == _G)
assert(errmsg(function() setfenv(print, {}) end))

-- Bad arguments are errors: a level beyond the stack, a non-table environment.
assert(errmsg(function() getfenv(100) end))
assert(errmsg(function() setfenv(function() end, 5) end))
assert(errmsg(function() setfenv(-1, {}) end))

-- setfenv(0, t) changes the global environment of the running thread: chunks
-- loaded afterwards see it, the running code keeps its own.
do
  local saved = getfenv(0)
  local newg = {value = "new globals"}
  setfenv(0, newg)
  local f = loadstring("return value")
  setfenv(0, saved)
  assert(f() == "new globals")
  assert(getfenv(0) == _G and rawget(_G, "value") == nil)
end

-- Assigning to _G does not change the environment in use.
do
  local realG = _G
  local f = loadstring("_G = {}; return print")
  local p = f()
  assert(p == print)
  _G = realG
end

print("ok")
