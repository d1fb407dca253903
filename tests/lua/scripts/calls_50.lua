-- golden: manual
-- Calls as stock 5.0 makes them: a tail call through a callable object
-- reuses the frame; print converts each argument before it writes; nested
-- coroutines go as deep as the native stack allows.

-- `return obj(...)' with obj a table with __call is a tail call: no frame
-- piles up, and the level it replaced is a "(tail call)" level.
local countdown = setmetatable({}, {__call = function(self, n)
  if n == 0 then return "bottom" end
  return self(n - 1)
end})
print(countdown(100000))
local thrower = setmetatable({}, {__call = function(self, level) error("from __call", level) end})
local function viaTail(level) return thrower(level) end
print(pcall(viaTail, 1))
print(pcall(viaTail, 2)) -- the caller was replaced: no position
local tracer = setmetatable({}, {__call = function() return debug.traceback("trace") end})
local function traced() return tracer() end
print((string.gsub(traced(), "\n[^\n]*%[C%][^\n]*", "")))
print(pcall(function() local notcallable = {} return notcallable() end))

-- print: `tostring' is looked up once, and its result is checked before
-- anything of that argument (the tab included) is written
local calls = 0
local saved = tostring
tostring = function(v) calls = calls + 1 return saved(v) end
print(1, nil, "x")
tostring = saved
print(calls)
local replaced = false
local sneaky = setmetatable({}, {__tostring = function()
  tostring = function() replaced = true return "replaced" end
  return "first"
end})
print(sneaky, 2)
tostring = saved
print(replaced)
-- "a" is written, then the error comes before the tab: the next line
-- starts right after it
print(pcall(print, "a", setmetatable({}, {__tostring = function() return {} end})))
print(pcall(print, setmetatable({}, {__tostring = function() return nil end})))

-- coroutines resumed inside one another: far deeper than 200 levels
local function wrapped(n)
  if n == 0 then return 0 end
  return coroutine.wrap(function() return wrapped(n - 1) + 1 end)()
end
print(wrapped(1000))
local function resumed(n)
  if n == 0 then return 0 end
  local ok, v = coroutine.resume(coroutine.create(function() return resumed(n - 1) + 1 end))
  if not ok then error(v, 0) end
  return v
end
print(resumed(1000))
-- a generator chain (sieve of primes) with 300 filters stacked
local function numbers(n) return coroutine.wrap(function() for i = 2, n do coroutine.yield(i) end end) end
local function filter(p, g)
  return coroutine.wrap(function()
    for n in g do if math.mod(n, p) ~= 0 then coroutine.yield(n) end end
  end)
end
local primes, source = 0, numbers(1993)
while true do
  local p = source()
  if p == nil then break end
  primes = primes + 1
  source = filter(p, source)
end
print(primes)
