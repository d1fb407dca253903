-- The script after the options: what -l and LUA_INIT left behind, and arg
-- (the options at negative indices, the interpreter itself left out).
print("main: " .. (Greet and Greet("main") or "no library") .. ", lib runs " .. tostring(gLibRuns))
print("main: init " .. tostring(gInit))
local options, i = "", -1
while arg[i - 1] do
    options = arg[i] .. " " .. options
    i = i - 1
end
print("main: options [" .. options .. "], arg[0] = " .. arg[0] .. ", n = " .. arg.n)
