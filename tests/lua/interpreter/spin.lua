-- Runs until interrupted: tells it has started by writing the file arg[1].
local started = io.open(arg[1], "w") started:write("spinning\n") started:close()
while true do end
