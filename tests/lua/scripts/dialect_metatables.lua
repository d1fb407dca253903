-- golden: manual
-- Per-type default metatables: non-table values index their type's table,
-- and the arithmetic, concatenation and order paths find a table, not a
-- metamethod.
print(("abc"):upper(), ("x"):rep(3), ("%d-%d"):format(1, 2), ("hello"):sub(2, 3))
local s = "text"
print(s:len(), s.len == string.len, getmetatable("") == string)
-- numbers, booleans and functions have empty default tables: indexing gives nil
print((5).x, (true).y, (print).z)
-- assigning into a non-table value stores into its type's table
local n = 7
n.shared = "via number"
print((1).shared, (2).shared)
local ok, msg = pcall(function() local v = nil; return v.x end)
print(ok, msg)
print(pcall(function() return (nil).x end))
-- the default table is what getmetatable returns for non-tables
print(type(getmetatable(1)), type(getmetatable(true)), getmetatable(nil), getmetatable({}))
print(getmetatable(1) == getmetatable(2), getmetatable(1) == getmetatable("x"))
-- __tostring placed in a type's table is used by tostring
getmetatable(true).__tostring = function(b) return b and "yes" or "no" end
print(tostring(true), tostring(false))
getmetatable(true).__tostring = nil
-- a table metamethod on the second operand is not consulted: the first
-- operand's default table is found instead
local V = setmetatable({}, {__add = function() return "added" end, __concat = function() return "cat" end,
  __lt = function() return true end})
print(V + 1, V .. "x")
print(pcall(function() return 1 + V end))
print(pcall(function() return "x" .. V end))
print(pcall(function() return V < 1 end))
-- ordering of two values of the same non-number, non-string type calls the
-- type's table, which has no __call
print(pcall(function() return true < false end))
print(pcall(function() return L"a" < L"b" end))
-- with __call on the table's own metatable the call answers the order
setmetatable(getmetatable(L""), {__call = function(t, a, b) return tostring(a) < tostring(b) end})
print(L"a" < L"b", L"b" < L"a", L"a" <= L"a")
-- equality of wide strings is identity after interning
print(L"abc" == L"ab" .. L"c", L"a" .. 1, type(L"a" .. 1))
print(pcall(function() return "a" .. L"b" end))
-- the default tables are reachable from the registry by name (for the host),
-- and fresh userdata start with theirs; nil has none
print(pcall(function() local u; u.x = 1 end))
-- towstring and tonumber of wide strings
print(towstring(12) == L"12", towstring("ab") == L"ab", towstring(L"w") == L"w", towstring(nil) == L"nil")
print(pcall(towstring, true))
print(pcall(towstring))
print(L"3" + 1, L"0x10 " + 0, tonumber(L"1e2"), tonumber(L" 5"), tonumber(L"ff", 16), tonumber(L"z"))
print(string.len(tostring(towstring({}))) > 7)
