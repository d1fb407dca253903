local t = {; 1, ; 2; x = 3}
local s = string.gsub("THE (quick) fox", "%f[%a]%a+", "W")
local a, b = string.find("ab", "%f[%w]%w+%f[%W]")
local p = newproxy(true)
local q = newproxy(p)
print(-0, - -2, string.byte("abc", 10), pcall(tonumber, "10", 99))
local up = 1
print(pcall(string.dump, function() return up end))
local co = coroutine.wrap(function(n) return n end)
print(co(1), table.remove({1, 2, 3}, 2), pcall(table.insert, {}, 0, 1))
if up == 0 then up = 1 elseif up == 1 then up = 2 elseif up == 2 then up = 3 else up = 4 end
