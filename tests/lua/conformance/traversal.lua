-- next, pairs and ipairs: what the traversal order guarantees (ipairs goes
-- 1, 2, ... up to the first nil; next and pairs visit every key once in an
-- unspecified order) and what may change during a traversal.

local errmsg = dofile("errmsg.lua")

-- next on an empty table, and after the last key, gives nil.
assert(next({}) == nil and next({}, nil) == nil)
do
  local t = {x = 1}
  local k, v = next(t)
  assert(k == "x" and v == 1 and next(t, k) == nil)
end

-- next visits every key exactly once, numeric and other keys alike.
do
  local t = {10, 20, 30, a = "A", b = "B", [true] = "T", [1.5] = "H"}
  local seen, count = {}, 0
  local k, v = next(t)
  while k ~= nil do
    assert(seen[k] == nil and t[k] == v)
    seen[k] = true
    count = count + 1
    k, v = next(t, k)
  end
  assert(count == 7)
end

-- An unknown key is an error for next.
assert(errmsg(function() return next({a = 1}, "nokey") end))
assert(errmsg(function() return next(5) end))

-- pairs returns a next function, the table and nil.
do
  local t = {k = "v"}
  local f, s, c = pairs(t)
  assert(s == t and c == nil)
  local k, v = f(s, nil)
  assert(k == "k" and v == "v" and f(s, k) == nil)
end

-- pairs visits every pair once and skips nil values.
do
  local t = {1, 2, nil, 4, k = "v"}
  local n, sum = 0, 0
  for k, v in pairs(t) do
    n = n + 1
    if type(v) == "number" then sum = sum + v end
  end
  assert(n == 4 and sum == 7)
end

-- Fields may be cleared during a traversal.
do
  local t = {}
  for i = 1, 100 do t[i] = i; t["k" .. i] = i end
  for k in pairs(t) do t[k] = nil end
  assert(next(t) == nil)
end

-- Existing fields may be changed during a traversal.
do
  local t = {a = 1, b = 2, c = 3}
  for k, v in pairs(t) do t[k] = v * 10 end
  assert(t.a == 10 and t.b == 20 and t.c == 30)
end

-- ipairs returns an iterator, the table and 0, and goes 1, 2, ... in order.
do
  local t = {"a", "b", "c"}
  local f, s, c = ipairs(t)
  assert(type(f) == "function" and s == t and c == 0)
  local out = {}
  for i, v in ipairs(t) do table.insert(out, i .. v) end
  assert(table.concat(out, ",") == "1a,2b,3c")
end

-- ipairs stops at the first nil and ignores non-integer keys.
do
  local t = {1, 2, nil, 4, x = 5, [0] = 0}
  local n = 0
  for i, v in ipairs(t) do n = n + 1 end
  assert(n == 2)
  n = 0
  for i, v in ipairs({}) do n = n + 1 end
  assert(n == 0)
  for i, v in ipairs({[2] = "b"}) do n = n + 1 end
  assert(n == 0)
end

-- ipairs reads the table as the loop runs: elements appended are visited.
do
  local t = {1}
  local n = 0
  for i, v in ipairs(t) do
    n = n + 1
    if i < 5 then t[i + 1] = i + 1 end
  end
  assert(n == 5)
end

-- The iterator of ipairs can be called by hand.
do
  local f, t = ipairs({"x", "y"})
  local i, v = f(t, 0)
  assert(i == 1 and v == "x")
  i, v = f(t, 2)
  assert(i == nil)
end

assert(errmsg(function() return ipairs(nil) end))
assert(errmsg(function() return pairs(nil) end))

print("ok")
