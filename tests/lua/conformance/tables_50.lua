-- Lua 5.0 only: the size of a table seen as a list.  A numeric field "n"
-- wins, then a size set by table.setn, then one less than the first integer
-- key with a nil value.  The table functions and unpack all use that size.

-- The implicit size stops at the first hole.
assert(table.getn({}) == 0)
assert(table.getn({1, 2, 3}) == 3)
assert(table.getn({1, 2, nil, 4}) == 2)
assert(table.getn({nil, 2}) == 0)
assert(table.getn({[2] = 1}) == 0)

-- A numeric field n is the size, whatever the elements.
assert(table.getn({n = 3}) == 3)
assert(table.getn({n = 1, "a", "b", "c"}) == 1)
assert(table.getn({n = 0, "a"}) == 0)
-- n outside the integer range is no size (the machine's conversion makes it
-- negative), so the elements are counted
assert(table.getn({n = 1e10, "a"}) == 1 and table.getn({n = -1e10, "a", "b"}) == 2)

-- table.setn on a table with n changes n; without n it sets a hidden size.
do
  local t = {n = 2, "a", "b"}
  table.setn(t, 5)
  assert(t.n == 5 and table.getn(t) == 5)
  local u = {"a", "b", "c"}
  table.setn(u, 1)
  assert(u.n == nil and table.getn(u) == 1)
  assert(next(u, nil) ~= nil)           -- the hidden size is no field
  table.setn(u, 10)
  assert(table.getn(u) == 10)
end

-- table.insert appends after the size and records the new size.
do
  local t = {n = 2, "a", "b"}
  table.insert(t, "c")
  assert(t.n == 3 and t[3] == "c")
  local u = {}
  table.setn(u, 3)
  table.insert(u, "x")
  assert(u[4] == "x" and table.getn(u) == 4)
  local v = {"a", "b"}
  table.insert(v, 1, "z")
  assert(v[1] == "z" and v[2] == "a" and v[3] == "b" and table.getn(v) == 3)
end

-- table.remove takes the last element within the size and shrinks it.
do
  local t = {n = 3, "a", "b", "c", "d"}
  assert(table.remove(t) == "c")
  assert(t.n == 2 and t[3] == nil and t[4] == "d")
  local u = {"a", "b", "c"}
  table.setn(u, 2)
  assert(table.remove(u) == "b" and table.getn(u) == 1)
  assert(table.remove(u, 1) == "a" and table.getn(u) == 0)
  assert(table.remove(u) == nil)
end

-- Any position is taken as it comes. insert shifts the elements from the
-- position to the size one place up (raw reads and writes, holes and keys
-- below 1 included) and grows the size by one, or sets it to a position past
-- the end; remove shifts them one place down, clears the last element and
-- returns what the position held.
do
  local t = {1, 2, 3}
  table.insert(t, 6, "x")
  assert(table.getn(t) == 6 and t[6] == "x" and t[3] == 3 and t[4] == nil and t[5] == nil)
  local z = {1, 2, 3}
  table.insert(z, 0, "x")
  assert(z[0] == "x" and z[1] == nil and z[2] == 1 and z[3] == 2 and z[4] == 3 and table.getn(z) == 4)
  local m = {[-1] = "m", [0] = "o", "a", "b"}
  table.insert(m, -1, "x")
  assert(m[-1] == "x" and m[0] == "m" and m[1] == "o" and m[2] == "a" and m[3] == "b")
  assert(table.getn(m) == 3)
  local h = {n = 4, "a", nil, "c"}
  table.insert(h, 1, "z")
  assert(h.n == 5 and h[1] == "z" and h[2] == "a" and h[3] == nil and h[4] == "c" and h[5] == nil)
end
do
  local function count(...) return arg.n end
  assert(count(pcall(table.remove, {1, 2, 3}, 4)) == 2 and select == nil)
  local ok, v = pcall(table.remove, {1, 2, 3}, 4)
  assert(ok == true and v == nil)
  local t = {1, 2, 3}
  assert(table.remove(t, 4) == nil and table.getn(t) == 2 and t[3] == nil and t[2] == 2)
  local f = {1, 2, 3, [5] = "e"}
  assert(table.remove(f, 5) == "e" and table.getn(f) == 2 and f[3] == nil and f[5] == "e")
  local z = {[0] = "z", 1, 2}
  assert(table.remove(z, 0) == "z" and z[0] == 1 and z[1] == 2 and z[2] == nil and table.getn(z) == 1)
  local n = {[-2] = "q", 1, 2}
  assert(table.remove(n, -1) == nil and n[-2] == "q" and n[-1] == nil and n[0] == 1 and n[1] == 2)
  assert(n[2] == nil and table.getn(n) == 1)
  -- an empty list gives no value at all, whatever the position
  assert(count(table.remove({})) == 0 and count(table.remove({}, 3)) == 0 and count(table.remove({n = 0})) == 0)
end

-- The same, checked against the steps written out one by one, on sparse
-- tables and positions far outside them (a long run is shifted by the
-- positions the table holds, a short one step by step: both must agree).
do
  local function refInsert(t, pos, v)
    local n = table.getn(t) + 1
    if pos > n then n = pos end
    table.setn(t, n)
    for k = n - 1, pos, -1 do rawset(t, k + 1, rawget(t, k)) end
    rawset(t, pos, v)
  end
  local function refRemove(t, pos)
    local n = table.getn(t)
    pos = pos or n
    if n <= 0 then return end
    table.setn(t, n - 1)
    local r = rawget(t, pos)
    for k = pos, n - 1 do rawset(t, k, rawget(t, k + 1)) end
    rawset(t, n, nil)
    return r
  end
  local function same(a, b)
    for k, v in pairs(a) do if rawget(b, k) ~= v then return false end end
    for k, v in pairs(b) do if rawget(a, k) ~= v then return false end end
    return table.getn(a) == table.getn(b)
  end
  math.randomseed(50)
  for round = 1, 300 do
    local a, b = {}, {}
    for i = 1, math.random(0, 12) do
      local k = math.random(-300, 300)
      a[k], b[k] = i, i
    end
    for i = 1, math.random(0, 8) do a[i], b[i] = -i, -i end
    if math.random(3) == 1 then
      local n = math.random(0, 400)
      a.n, b.n = n, n
    end
    for step = 1, 6 do
      local pos = math.random(-700, 700)
      if math.random(2) == 1 then
        table.insert(a, pos, "x" .. step)
        refInsert(b, pos, "x" .. step)
      else
        local ra, rb = table.remove(a, pos), refRemove(b, pos)
        assert(ra == rb, "round " .. round)
      end
      assert(same(a, b), "round " .. round .. " step " .. step)
    end
  end
end

-- unpack, foreachi, concat and sort stop at the size.
do
  local t = {n = 2, 10, 20, 30}
  local a, b, c = unpack(t)
  assert(a == 10 and b == 20 and c == nil)
  local count = 0
  table.foreachi(t, function(i, v) count = count + 1 end)
  assert(count == 2)
  assert(table.concat({n = 2, "x", "y", "z"}, ",") == "x,y")
  local s = {n = 3, 3, 2, 1, 0}
  table.sort(s)
  assert(s[1] == 1 and s[2] == 2 and s[3] == 3 and s[4] == 0)
end

-- unpack honours n even when trailing elements are nil.
do
  local function count(...) return arg.n end
  assert(count(unpack({n = 3})) == 3)
  assert(count(unpack({n = 2, nil, 5})) == 2)
  assert(count(unpack({1, 2, nil, 4})) == 2)
end

-- A call with `...` packs its extra arguments with n, and getn reads it.
do
  local function pack(...) return arg end
  local t = pack(1, nil, 3, nil)
  assert(t.n == 4 and table.getn(t) == 4)
end

print("ok")
