-- LUA_INIT=@init.lua: runs before every argument.
gInit = "from a file"
print("init: file, lib runs " .. tostring(gLibRuns))
