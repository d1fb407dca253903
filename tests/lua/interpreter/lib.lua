-- Loaded by `lua50 -l lib.lua`: it runs before the script, once however
-- often it is named, and tells how it was loaded.
gLibRuns = (gLibRuns or 0) + 1
print("lib: run " .. gLibRuns .. " as " .. tostring(_REQUIREDNAME) .. ", x = " .. tostring(x))
function Greet(who)
    return "hello, " .. who
end
