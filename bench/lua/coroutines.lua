-- coroutine switching
local function gen(n)
  return coroutine.wrap(function()
    for i = 1, n do coroutine.yield(i) end
  end)
end
local total = 0
for v in gen(1000000) do total = total + v end
local co = coroutine.create(function(a)
  while true do a = coroutine.yield(a * 2) end
end)
local x = 0
for i = 1, 500000 do local ok, r = coroutine.resume(co, i); x = x + r end
print(total, x)
