-- golden: 5.0's answers
-- Resuming a coroutine that yielded enters its Lua function again: the call
-- hook sees a "call" event for it, after the "call" of `yield' itself.
local co = coroutine.create(function()
  debug.sethook(function(e) print(e, debug.getinfo(2, "S").what) end, "c")
  coroutine.yield()
end)
coroutine.resume(co)
coroutine.resume(co)
print(coroutine.status(co))
