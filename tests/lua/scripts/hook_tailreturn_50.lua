-- golden: 5.0's answers (the manual says only that tail calls lose levels)
-- A return hook after tail calls: a "tail return" event for each call the
-- frame lost, each lost call counted off before its event, so that in the
-- last one the frame is the call its caller made and has that call's name.
local function leaf() return 1 end
local function mid() return leaf() end
local function top() return mid() end
local function show(e) print(e, debug.getinfo(2, "n").name) end
debug.sethook(show, "r")
mid()
top()
debug.sethook()
