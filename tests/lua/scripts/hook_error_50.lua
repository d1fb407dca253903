-- golden: 5.0's answers
-- A call hook that raises an error: the error leaves the call it was
-- hooked to. The traceback names what can be named; the function whose call
-- hook runs has not reached its first instruction (no line, and the hook
-- has no calling instruction to be named after).
local function target() return 1 end
local function hook()
  debug.sethook()
  error("the call hook refuses")
end
local function run()
  debug.sethook(hook, "c")
  local r = target()
  return r
end
print(xpcall(run, debug.traceback))
print(debug.gethook())
