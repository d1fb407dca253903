-- golden: 5.0's answers
-- Hooks are off while the collector calls `__gc' metamethods: what a hook
-- reports does not depend on when the collector runs.
local events = 0
local seen -- the events counted while the finaliser ran
local function makegarbage()
  local p = newproxy(true)
  getmetatable(p).__gc = function()
    local before = events
    local function work(x) return x + 1 end
    work(1)
    seen = events - before
  end
end
makegarbage()
debug.sethook(function() events = events + 1 end, "crl", 1)
collectgarbage()
debug.sethook()
print(seen, events > 0)
