local function work() local t = {} end
debug.sethook(function(e, l) io.write(e, ":", tostring(l), ":", debug.getinfo(2, "l").currentline, " ") end, "l", 4)
work() work()
debug.sethook()
print()
-- golden: 5.0's answers (this note follows the five lines whose numbers the
-- first answers name)
-- Line events beside a count. A count event takes the place of its
-- instruction's line check; the next instruction's line is compared with
-- the frame's line position, which that check would have moved, and which a
-- call of a Lua function and any question about the frame's current line
-- move as well. Above, the hook asks for the line, so the second `work'
-- has its line event at its first instruction only (a count event), and
-- nothing more happens on line 3. Below, a C function as the hook asks
-- nothing: the line the count event hid is reported at the next instruction
-- on it.
debug.sethook(print, "l", 2)
local a = 1
local b = 2
local c = a + b
debug.sethook()
