-- while, repeat, numeric for and generic for as Lua 5.0 runs them.

local errmsg = dofile("errmsg.lua")

local function collect(...)
  -- runs a numeric for over arg[1], arg[2], arg[3] and lists the values
  local out = {}
  if arg.n == 2 then
    for i = arg[1], arg[2] do table.insert(out, i) end
  else
    for i = arg[1], arg[2], arg[3] do table.insert(out, i) end
  end
  return table.concat(out, ",")
end

-- Numeric for: default step 1, inclusive limit, negative and fractional steps.
assert(collect(1, 3) == "1,2,3")
assert(collect(1, 1) == "1")
assert(collect(3, 1) == "")
assert(collect(3, 1, -1) == "3,2,1")
assert(collect(1, 2, 0.5) == "1,1.5,2")
assert(collect(1, 10, 4) == "1,5,9")
assert(collect(10, 1, -4) == "10,6,2")
assert(collect(-2, 2, 2) == "-2,0,2")
assert(collect(1, 0) == "")

-- The three control expressions are evaluated once, before the loop.
do
  local calls = 0
  local function lim() calls = calls + 1; return 3 end
  local n = 0
  for i = 1, lim() do n = n + 1 end
  assert(n == 3 and calls == 1)
end

-- The control values must be numbers; numeric strings convert.
assert(collect("1", "2") == "1,2")
assert(string.find(errmsg(function() for i = 1, {} do end end), "limit must be a number", 1, true))
assert(errmsg(function() for i = 1, 2, "x" do end end))
assert(errmsg(function() for i = {}, 2 do end end))

-- The loop variable is local to the loop.
do
  i = "global"
  for i = 1, 2 do end
  assert(i == "global")
  i = nil
end

-- break leaves only the innermost loop.
do
  local out = {}
  for i = 1, 3 do
    for j = 1, 3 do
      if j == 2 then break end
      table.insert(out, i .. j)
    end
  end
  assert(table.concat(out, ",") == "11,21,31")
end

-- while tests before each pass; repeat runs its body at least once.
do
  local n = 0
  while n < 5 do n = n + 1 end
  assert(n == 5)
  while false do error("never") end
  local runs = 0
  repeat runs = runs + 1 until true
  assert(runs == 1)
  local k = 0
  repeat k = k + 2 until k >= 7
  assert(k == 8)
end

-- Any value but nil and false is true in a condition, 0 and "" included.
do
  local hits = 0
  if 0 then hits = hits + 1 end
  if "" then hits = hits + 1 end
  if {} then hits = hits + 1 end
  if nil then hits = 100 elseif false then hits = 100 else hits = hits + 1 end
  assert(hits == 4)
end

-- Generic for: the iterator gets the state and the control value, and the
-- loop ends when the first value is nil.
do
  local calls = {}
  local function iter(state, control)
    table.insert(calls, tostring(state) .. ":" .. tostring(control))
    if control < state then return control + 1, "v" .. (control + 1) end
  end
  local out = {}
  for k, v in iter, 3, 0 do table.insert(out, k .. "=" .. v) end
  assert(table.concat(out, ",") == "1=v1,2=v2,3=v3")
  assert(table.concat(calls, ",") == "3:0,3:1,3:2,3:3")
end

-- The explist is evaluated once and adjusted to three values.
do
  local made = 0
  local function gen()
    made = made + 1
    local i = 0
    return function() i = i + 1; if i <= 2 then return i end end, "ignored", nil, "extra"
  end
  local sum = 0
  for v in gen() do sum = sum + v end
  assert(sum == 3 and made == 1)
end

-- A nil first value ends the loop even when later values are not nil.
do
  local n = 0
  local function iter(s, c) if c == 0 then return 1, "a" end return nil, "more" end
  for k, v in iter, nil, 0 do n = n + 1 end
  assert(n == 1)
end

-- Extra loop variables receive nil; a coroutine can act as an iterator.
do
  local last
  for a, b, c in ipairs({"x"}) do last = c end
  assert(last == nil)
  local gen = coroutine.wrap(function() for i = 1, 3 do coroutine.yield(i) end end)
  local sum = 0
  for v in gen do sum = sum + v end
  assert(sum == 6)
end

-- break works in every loop kind and in nested blocks.
do
  local n = 0
  for k, v in pairs({1, 2, 3, 4}) do
    n = n + 1
    do break end
  end
  assert(n == 1)
  local m = 0
  repeat m = m + 1; if m == 3 then break end until false
  assert(m == 3)
  assert(loadstring("break") == nil)
  assert(loadstring("while true do break; local x = 1 end") == nil)
end

-- A `return` must also end its block.
assert(loadstring("return 1; local x = 2") == nil)
assert(loadstring("do return 1 end local x = 2") ~= nil)

print("ok")
