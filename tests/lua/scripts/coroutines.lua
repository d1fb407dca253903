-- golden: lua5.1
-- Coroutines: passing values through resume and yield, wrap, status,
-- errors, generators and producer/consumer pipelines.
local co = coroutine.create(function(a, b)
  print("start", a, b)
  local c = coroutine.yield(a + b)
  print("got", c)
  local d, e = coroutine.yield(c * 2)
  print("got", d, e)
  return "done", d + e
end)
print(coroutine.status(co))
print(coroutine.resume(co, 1, 2))
print(coroutine.status(co))
print(coroutine.resume(co, 10))
print(coroutine.resume(co, 3, 4))
print(coroutine.status(co))
print(coroutine.resume(co))
local function range(n)
  return coroutine.wrap(function() for i = 1, n do coroutine.yield(i) end end)
end
local s = 0
for v in range(10) do s = s + v end
print(s)
local function producer(items)
  return coroutine.create(function()
    for _, item in ipairs(items) do coroutine.yield(item) end
  end)
end
local function filter(source)
  return coroutine.create(function()
    while true do
      local ok, item = coroutine.resume(source)
      if not item then return end
      if string.len(item) > 2 then coroutine.yield(string.upper(item)) end
    end
  end)
end
local pipeline = filter(producer({"a", "abc", "de", "fghi"}))
while true do
  local ok, item = coroutine.resume(pipeline)
  if not item then break end
  print(item)
end
local bad = coroutine.create(function() local x = nil; return x + 1 end)
local ok, msg = coroutine.resume(bad)
print(ok, string.find(msg, "arithmetic") ~= nil, coroutine.status(bad))
print(coroutine.resume(bad))
local w = coroutine.wrap(function() error({code = 7}) end)
local ok2, e2 = pcall(w)
print(ok2, type(e2), e2.code)
local inner = coroutine.create(function() coroutine.yield(1); coroutine.yield(2) end)
local outer = coroutine.create(function()
  local _, a = coroutine.resume(inner)
  coroutine.yield(a * 10)
  local _, b = coroutine.resume(inner)
  coroutine.yield(b * 10)
end)
print(coroutine.resume(outer))
print(coroutine.resume(outer))
print(coroutine.resume(outer), coroutine.status(outer))
local function fib_gen()
  local a, b = 0, 1
  return coroutine.wrap(function() while true do coroutine.yield(a); a, b = b, a + b end end)
end
local g = fib_gen()
local fibs = {}
for i = 1, 10 do fibs[i] = g() end
print(table.concat(fibs, " "))
local many = coroutine.create(function(...) return arg.n end)
print(coroutine.resume(many, 1, 2, 3, nil))
local count = 0
local ping = coroutine.wrap(function() while true do count = count + 1; coroutine.yield() end end)
for i = 1, 1000 do ping() end
print(count)
