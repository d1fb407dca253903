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
