-- Closures and upvalues: inner functions share the variables they capture,
-- keep them alive after the enclosing call returns, and each execution of a
-- local statement makes a new variable.

-- A captured local outlives its function and is private to each call.
do
  local function counter()
    local n = 0
    return function() n = n + 1; return n end
  end
  local c1, c2 = counter(), counter()
  assert(c1() == 1 and c1() == 2 and c1() == 3)
  assert(c2() == 1)
end

-- Closures made in one call share the same variable.
do
  local function pair()
    local v = 0
    return function() v = v + 1 end, function() return v end
  end
  local inc, get = pair()
  inc(); inc()
  assert(get() == 2)
end

-- The enclosing function sees changes made through a closure, and back.
do
  local x = 1
  local function set(v) x = v end
  local function get() return x end
  set(5)
  assert(x == 5)
  x = 7
  assert(get() == 7)
end

-- Each iteration's local is a new variable; the outer one is shared (the
-- example of the manual's visibility rules).
do
  local a = {}
  local x = 20
  local i = 1
  while i <= 10 do
    local y = 0
    a[i] = function() y = y + 1; return x + y end
    i = i + 1
  end
  assert(a[1]() == 21 and a[1]() == 22 and a[2]() == 21)
  x = 100
  assert(a[3]() == 101 and a[1]() == 103)
end

-- Locals declared inside a numeric for body are fresh each iteration.
do
  local fs = {}
  for i = 1, 3 do
    local j = i
    fs[i] = function() return j end
  end
  assert(fs[1]() == 1 and fs[2]() == 2 and fs[3]() == 3)
end

-- Same for a repeat body and a generic for body.
do
  local fs, k = {}, 0
  repeat
    k = k + 1
    local kk = k * 10
    fs[k] = function() return kk end
  until k == 3
  assert(fs[1]() == 10 and fs[3]() == 30)
  local gs = {}
  for key, val in pairs({a = 1, b = 2}) do
    local v = val
    gs[key] = function() return v end
  end
  assert(gs.a() == 1 and gs.b() == 2)
end

-- Leaving a loop by break closes the variables the closures captured.
do
  local fs = {}
  local i = 0
  while true do
    i = i + 1
    local v = i
    fs[i] = function() v = v + 100; return v end
    if i == 3 then break end
  end
  assert(fs[1]() == 101 and fs[2]() == 102 and fs[3]() == 103 and fs[3]() == 203)
end

-- A block's local is closed when the block ends, even without a loop.
do
  local get, set
  do
    local hidden = "start"
    get = function() return hidden end
    set = function(v) hidden = v end
  end
  set("changed")
  assert(get() == "changed")
end

-- Several levels of nesting reach the outermost variable.
do
  local function outer()
    local v = 1
    return function()
      return function()
        v = v * 2
        return v
      end
    end
  end
  local mid = outer()
  local inner1, inner2 = mid(), mid()
  assert(inner1() == 2 and inner2() == 4 and inner1() == 8)
end

-- Parameters are locals and can be captured too.
do
  local function adder(n) return function(x) return x + n end end
  local add3, add5 = adder(3), adder(5)
  assert(add3(1) == 4 and add5(1) == 6)
end

-- local function can call itself; a local assigned later cannot.
do
  local function fact(n) if n <= 1 then return 1 end return n * fact(n - 1) end
  assert(fact(10) == 3628800)
  local g = function(n) if n == 0 then return "base" end return undefinedrec(n - 1) end
  assert(not pcall(g, 1))
end

-- Closures made by the same expression are different objects.
do
  local fs = {}
  for i = 1, 2 do fs[i] = function() end end
  assert(fs[1] ~= fs[2])
end

print("ok")
