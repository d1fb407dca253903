-- Lua 5.0 only: loop rules that later versions changed.

-- The old form `for k, v in t` with a table still works and visits every pair.
do
  local t = {10, 20, 30, x = 5}
  local sum, keys = 0, 0
  for k, v in t do sum = sum + v; keys = keys + 1 end
  assert(sum == 65 and keys == 4)
  local n = 0
  for k in {} do n = n + 1 end
  assert(n == 0)
end

-- The control variable of a for is one variable for the whole loop, so
-- closures made in different passes all see the same variable.
do
  local fs = {}
  for i = 1, 3 do fs[i] = function() return i end end
  assert(fs[1]() == fs[2]() and fs[2]() == fs[3]())
  local gs = {}
  for k, v in ipairs({"a", "b"}) do gs[k] = function() return v end end
  assert(gs[1]() == gs[2]())
end

-- Locals of a repeat body end before the until condition is evaluated.
do
  local n = 0
  repeat
    n = n + 1
    local zz = 1
  until zz == nil or n > 5
  assert(n == 1)
end

print("ok")
