-- Shared by the conformance scripts (not a script itself):
--   local errmsg = dofile("errmsg.lua")
-- errmsg(f) calls f, checks that it raised an error and returns the message.
return function(f)
  local ok, msg = pcall(f)
  assert(not ok, "an error was expected")
  return msg
end
