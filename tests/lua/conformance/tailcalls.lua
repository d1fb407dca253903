-- Proper tail calls: `return f(args)` reuses the caller's frame, so tail
-- recursion has no depth limit, while ordinary recursion does.

local errmsg = dofile("errmsg.lua")

-- Deep self tail recursion runs in constant stack.
do
  local function loop(n, acc)
    if n == 0 then return acc end
    return loop(n - 1, acc + 1)
  end
  assert(loop(300000, 0) == 300000)
end

-- Mutual tail recursion too.
do
  local even, odd
  function even(n) if n == 0 then return true end return odd(n - 1) end
  function odd(n) if n == 0 then return false end return even(n - 1) end
  assert(even(200001) == false and odd(200001) == true)
end

-- A tail call through a method call and through a table field.
do
  local obj = {}
  function obj:down(n) if n == 0 then return "bottom" end return self:down(n - 1) end
  assert(obj:down(200000) == "bottom")
  local t = {}
  t.f = function(n) if n == 0 then return "done" end return t.f(n - 1) end
  assert(t.f(200000) == "done")
end

-- A tail call returns every result of the called function.
do
  local function many() return 1, 2, 3 end
  local function tail() return many() end
  local a, b, c = tail()
  assert(a == 1 and b == 2 and c == 3)
end

-- These forms are not tail calls and adjust or discard results.
do
  local function many() return 1, 2, 3 end
  local function paren() return (many()) end
  local function extra() return 0, many() end
  local function orform() return nil or many() end
  local a, b = paren()
  assert(a == 1 and b == nil)
  local x, y, z, w = extra()
  assert(x == 0 and w == 3)
  a, b = orform()
  assert(a == 1 and b == nil)
end

-- Ordinary deep recursion overflows the stack, and the error can be caught.
do
  local function deep(n) return 1 + deep(n + 1) end
  local msg = errmsg(function() return deep(1) end)
  assert(string.find(msg, "stack overflow", 1, true))
  local function fine(n) if n == 0 then return 0 end return 1 + fine(n - 1) end
  assert(fine(1000) == 1000)             -- the state is still usable
end

-- A tail call to a C function and to a callable table works.
do
  local function viastr(s) return string.upper(s) end
  assert(viastr("ab") == "AB")
  local callable = setmetatable({}, {__call = function(self, v) return v * 2 end})
  local function viatable(v) return callable(v) end
  assert(viatable(21) == 42)
end

print("ok")
