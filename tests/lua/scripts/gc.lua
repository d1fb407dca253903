-- golden: manual
-- The collector: garbage is reclaimed, weak tables lose collected entries,
-- threads and closures keep what they reference.
collectgarbage()
local base = gcinfo()
do
  local junk = {}
  for i = 1, 3000 do junk[i] = {i, tostring(i)} end
end
collectgarbage()
print(gcinfo() <= base + 8)
-- weak values, weak keys, strings are never weak
local wv = setmetatable({}, {__mode = "v"})
local wk = setmetatable({}, {__mode = "k"})
local keep = {}
wv[1], wv[2], wv[3] = {}, keep, "str"
wk[{}] = 1; wk[keep] = 2; wk["s"] = 3
collectgarbage()
local n = 0
for k, v in pairs(wk) do n = n + 1 end
print(wv[1], wv[2] == keep, wv[3], n, wk[keep], wk.s)
-- closures keep their upvalues alive, also after their frame is gone
local function make()
  local t = {value = "captured"}
  return function() return t.value end
end
local f = make()
collectgarbage()
print(f())
-- a suspended coroutine keeps its stack alive
local co = coroutine.create(function()
  local held = {data = "on the coroutine stack"}
  coroutine.yield()
  return held.data
end)
coroutine.resume(co)
collectgarbage()
print(coroutine.resume(co))
-- an unreachable coroutine goes away
do local dead = coroutine.create(function() coroutine.yield() end); coroutine.resume(dead) end
collectgarbage()
-- the threshold can be read and set
collectgarbage(100000)
local count, threshold = gcinfo()
print(type(count), type(threshold))
collectgarbage()
-- tables used as keys are kept while their values are alive
local registry = {}
for i = 1, 100 do registry[{}] = i end
collectgarbage()
local m = 0
for k, v in pairs(registry) do m = m + v end
print(m)
-- clearing fields during a traversal, then collecting, keeps `next' working
local t = {}
for i = 1, 50 do t["k" .. i] = {} end
local visited = 0
for k, v in pairs(t) do
  t[k] = nil
  visited = visited + 1
  if visited == 25 then collectgarbage() end
end
print(visited, next(t))
-- closures keep the variables of coroutines that are collected
local getters = {}
for i = 1, 50 do
  local co = coroutine.create(function()
    local v = {i}
    getters[i] = function() return v[1] end
    coroutine.yield()
  end)
  coroutine.resume(co)
end
collectgarbage()
local junk = {}
for i = 1, 1000 do junk[i] = {i} end
collectgarbage()
local s = 0
for i = 1, 50 do s = s + getters[i]() end
print(s)
