-- Lua 5.0 only: basic-library rules that later versions changed or dropped.

local errmsg = dofile("errmsg.lua")

assert(string.find(_VERSION, "^Lua 5%.0"))

-- pairs returns the global next itself.
assert(pairs({}) == next)

-- gcinfo gives the memory in use and the threshold, both in Kbytes;
-- collectgarbage(limit) sets the threshold, and no argument collects now.
do
  local count, threshold = gcinfo()
  assert(type(count) == "number" and type(threshold) == "number" and count > 0)
  collectgarbage(count + 5000)
  local _, raised = gcinfo()
  assert(raised == count + 5000)
  collectgarbage()
  local after, th2 = gcinfo()
  assert(after <= count + 5000 and th2 >= after)
end

-- The math library registers the global __pow used by exponentiation.
assert(type(__pow) == "function" and __pow(2, 10) == 1024)

-- A coroutine body must be a Lua function.
assert(errmsg(function() coroutine.create(print) end))

-- require answers from _LOADED when the package is already there.
do
  assert(type(_LOADED) == "table")
  _LOADED["conformance.fake"] = "cached value"
  assert(require("conformance.fake") == "cached value")
  _LOADED["conformance.fake"] = nil
end

-- An environment with a __fenv field is protected: getfenv returns that
-- field's value and setfenv refuses to replace it.
do
  local f = loadstring("return 1")
  setfenv(f, {__fenv = "hidden"})
  assert(getfenv(f) == "hidden")
  assert(errmsg(function() setfenv(f, {}) end))
end

print("ok")
