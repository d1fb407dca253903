-- Lua 5.0 only: `...` is allowed only at the end of a parameter list, arg is
-- the one way to reach the extra arguments, and there is no select.

-- `...` is not an expression.
assert(loadstring("function f(...) return ... end") == nil)
assert(loadstring("function f(...) local t = {...} end") == nil)
assert(loadstring("function f(...) g(...) end") == nil)
assert(loadstring("function f(a, ..., b) end") == nil)
assert(loadstring("function f(..., a) end") == nil)

-- No select and no # operator to count arguments.
assert(select == nil)
assert(loadstring("return #arg") == nil)

-- arg is a local of the vararg function: a global of that name is hidden,
-- and a non-vararg function sees the global.
do
  local function v(...) return arg end
  local function plain() return arg end
  local saved = arg
  arg = "global arg"
  assert(type(v()) == "table" and plain() == "global arg")
  arg = saved
end

-- arg.n keeps trailing nils that the list itself cannot show.
do
  local function f(...) return arg.n, table.getn(arg) end
  local n, getn = f(1, nil, nil)
  assert(n == 3 and getn == 3)
end

-- The arg table can be changed and stored like any table.
do
  local keep
  local function f(...) arg[1] = "changed"; keep = arg; return arg[1] end
  assert(f("orig") == "changed" and keep[1] == "changed" and keep.n == 1)
end

print("ok")
