-- The table library on plain lists (no holes, no n field): insert, remove,
-- concat, sort, foreach, foreachi and getn.  Size rules of 5.0 that differ
-- from later versions are in tables_50.lua.

local errmsg = dofile("errmsg.lua")

local function same(t, list)
  if table.getn(t) ~= table.getn(list) then return false end
  for i = 1, table.getn(list) do
    if t[i] ~= list[i] then return false end
  end
  return true
end

-- insert appends by default and shifts up when given a position.
do
  local t = {}
  table.insert(t, "a")
  table.insert(t, "c")
  table.insert(t, 2, "b")
  table.insert(t, 1, "z")
  assert(same(t, {"z", "a", "b", "c"}))
  table.insert(t, 5, "e")
  assert(same(t, {"z", "a", "b", "c", "e"}))
end

-- remove returns the element and closes the gap; the default is the last one.
do
  local t = {"a", "b", "c", "d"}
  assert(table.remove(t) == "d")
  assert(same(t, {"a", "b", "c"}))
  assert(table.remove(t, 1) == "a")
  assert(same(t, {"b", "c"}))
  assert(table.remove(t, 2) == "c" and same(t, {"b"}))
  assert(table.remove(t) == "b" and t[1] == nil)
  assert(table.remove({}) == nil)
end

-- insert and remove use raw access: metamethods are not consulted.
do
  local log = {}
  local t = setmetatable({}, {__newindex = function(t, k, v) table.insert(log, k); rawset(t, k, v) end})
  table.insert(t, "x")
  assert(t[1] == "x" and table.getn(log) == 0)
end

-- concat joins strings and numbers with an optional separator and range.
assert(table.concat({}) == "")
assert(table.concat({"a", "b", "c"}) == "abc")
assert(table.concat({"a", "b", "c"}, ", ") == "a, b, c")
assert(table.concat({1, 2, 3}, "-") == "1-2-3")
assert(table.concat({1, 2.5, "x"}, "") == "12.5x")
assert(table.concat({"a", "b", "c", "d"}, "", 2, 3) == "bc")
assert(table.concat({"a", "b"}, "", 3) == "")
assert(table.concat({"a", "b"}, "", 2, 1) == "")
assert(errmsg(function() return table.concat({"a", {}, "c"}) end))

-- sort orders with < by default and with a comparator when given.
do
  local t = {5, 2, 8, 1, 9, 3, 7, 4, 6, 0}
  table.sort(t)
  for i = 1, 10 do assert(t[i] == i - 1) end
  table.sort(t, function(a, b) return a > b end)
  for i = 1, 10 do assert(t[i] == 10 - i) end
  local s = {"pear", "apple", "fig", "banana"}
  table.sort(s)
  assert(same(s, {"apple", "banana", "fig", "pear"}))
  table.sort(s, function(a, b) return string.len(a) < string.len(b) end)
  assert(s[1] == "fig" and s[4] == "banana")
  local empty = {}
  table.sort(empty)
  assert(next(empty) == nil)
  local one = {1}
  table.sort(one)
  assert(one[1] == 1)
end

-- sort of a larger list with many equal keys keeps every element.
do
  local t = {}
  for i = 1, 200 do t[i] = math.mod(i * 37, 11) end
  table.sort(t)
  for i = 2, 200 do assert(t[i - 1] <= t[i]) end
  local sum = 0
  for i = 1, 200 do sum = sum + t[i] end
  local expect = 0
  for i = 1, 200 do expect = expect + math.mod(i * 37, 11) end
  assert(sum == expect)
end

-- sort of values that cannot be ordered is the comparison error.
assert(string.find(errmsg(function() table.sort({1, "x", 2, "y"}) end), "attempt to compare", 1, true))
assert(string.find(errmsg(function() table.sort({{}, {}}) end), "attempt to compare", 1, true))

-- An order function that is not a strict order is reported as invalid.
do
  local t = {}
  for i = 1, 100 do t[i] = math.mod(i * 7, 13) end
  local msg = errmsg(function() table.sort(t, function(a, b) return true end) end)
  assert(string.find(msg, "invalid order function for sorting", 1, true))
end

-- Errors raised by the comparator pass through sort.
assert(string.find(errmsg(function() table.sort({3, 2, 1}, function(a, b) error("cmp failed") end) end), "cmp failed", 1, true))

-- foreach visits every pair and stops at the first non-nil result.
do
  local t = {a = 1, b = 2, c = 3}
  local sum = 0
  assert(table.foreach(t, function(k, v) sum = sum + v end) == nil)
  assert(sum == 6)
  local found = table.foreach(t, function(k, v) if v == 2 then return k end end)
  assert(found == "b")
end

-- foreachi visits 1..n in order and stops at the first non-nil result.
do
  local seen = {}
  table.foreachi({"x", "y", "z"}, function(i, v) table.insert(seen, i .. v) end)
  assert(table.concat(seen, ",") == "1x,2y,3z")
  local r = table.foreachi({10, 20, 30}, function(i, v) if v >= 20 then return i, v end end)
  assert(r == 2)
end

-- getn of a plain list is its length.
assert(table.getn({}) == 0 and table.getn({"a", "b", "c"}) == 3)

-- Wrong argument types are argument errors.
assert(string.find(errmsg(function() table.insert(nil, 1) end), "bad argument #1", 1, true))
assert(string.find(errmsg(function() table.getn(5) end), "bad argument #1", 1, true))
assert(errmsg(function() table.sort({2, 1}, 5) end))

print("ok")
