-- golden: lua5.1
-- Tables: constructors, array and hash parts, growth, next, the table library.
local t = {10, 20, 30, x = "ex", ["y z"] = 1, [5] = 50}
print(t[1], t[3], t[4], t[5], t.x, t["y z"])
local function count(tab)
  local n = 0
  for _ in pairs(tab) do n = n + 1 end
  return n
end
print(count(t), count({}), next({}))
local big = {}
for i = 1, 1000 do big[i] = i end
for i = 1, 1000, 2 do big[i] = nil end
local sum = 0
for k, v in pairs(big) do sum = sum + v end
print(sum, count(big))
local h = {}
for i = 1, 200 do h["k" .. i] = i end
for i = 1, 200, 3 do h["k" .. i] = nil end
local hs = 0
for k, v in pairs(h) do hs = hs + v end
print(hs, h.k2, h.k4)
local mixed = {}
mixed[1.5] = "a"; mixed[-1] = "b"; mixed[0] = "c"; mixed[true] = "d"; mixed[mixed] = "e"
print(mixed[1.5], mixed[-1], mixed[0], mixed[true], mixed[mixed], mixed[false])
mixed[1099511627776] = "big"; print(mixed[1099511627776], mixed[2 * 549755813888])
local a = {}
a[1] = 1; a[3] = 3; a[2] = 2
print(a[1], a[2], a[3])
local list = {"d", "b", "a", "c"}
table.sort(list)
print(table.concat(list, " "))
table.sort(list, function(x, y) return x > y end)
print(table.concat(list, " "))
local nums = {}
for i = 1, 100 do nums[i] = (i * 37) - (math.floor(i * 37 / 101) * 101) end
table.sort(nums)
local sorted = true
for i = 2, 100 do if nums[i - 1] > nums[i] then sorted = false end end
print(sorted, nums[1], nums[100])
local q = {}
table.insert(q, "a"); table.insert(q, "c"); table.insert(q, 2, "b"); table.insert(q, 1, "z")
print(table.concat(q, ","), table.getn(q))
print(table.remove(q, 1), table.remove(q), table.concat(q, ","), table.getn(q))
print(table.concat({1, 2, 3}, ", ", 2, 3), table.concat({}, "x"), table.concat({"a"}, "x"))
local ok = pcall(table.concat, {{}})
print(ok)
table.foreachi({"p", "q"}, function(i, v) io.write(i, v, " ") end)
print()
print(table.foreach({k = 1}, function(k, v) return k .. v end))
local keys = {}
for k in pairs({alpha = 1, beta = 2, gamma = 3}) do table.insert(keys, k) end
table.sort(keys)
print(table.concat(keys, " "))
local nested = {a = {b = {c = "deep"}}}
print(nested.a.b.c, nested["a"]["b"].c)
print(rawget(nested, "a") == nested.a, rawequal(t, t), rawequal(t, {}))
rawset(nested, "z", 26); print(nested.z)
print(unpack({1, 2, 3}))

local s = {}
for i = 1, 10 do s[i] = i * i end
for i = 10, 1, -1 do if s[i] > 50 then s[i] = nil end end
print(table.getn(s))
