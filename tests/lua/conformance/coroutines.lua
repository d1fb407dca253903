-- Coroutines: create, resume, yield, status and wrap; values passed both
-- ways; errors inside coroutines; resuming dead or running ones.

local errmsg = dofile("errmsg.lua")

-- The manual's example, checked value by value.
do
  local log = {}
  local function foo1(a)
    table.insert(log, "foo " .. a)
    return coroutine.yield(2 * a)
  end
  local co = coroutine.create(function(a, b)
    table.insert(log, "co-body " .. a .. " " .. b)
    local r = foo1(a + 1)
    table.insert(log, "co-body " .. r)
    local r, s = coroutine.yield(a + b, a - b)
    table.insert(log, "co-body " .. r .. " " .. s)
    return b, "end"
  end)
  local ok, x, y = coroutine.resume(co, 1, 10)
  assert(ok == true and x == 4 and y == nil)
  ok, x, y = coroutine.resume(co, "r")
  assert(ok == true and x == 11 and y == -9)
  ok, x, y = coroutine.resume(co, "x", "y")
  assert(ok == true and x == 10 and y == "end")
  ok, x = coroutine.resume(co, "x", "y")
  assert(ok == false and x == "cannot resume dead coroutine")
  assert(table.concat(log, "|") == "co-body 1 10|foo 2|co-body r|co-body x y")
end

-- A coroutine is a thread; status moves suspended -> running -> suspended -> dead.
do
  local co
  co = coroutine.create(function()
    assert(coroutine.status(co) == "running")
    coroutine.yield()
  end)
  assert(type(co) == "thread")
  assert(coroutine.status(co) == "suspended")
  assert(coroutine.resume(co))
  assert(coroutine.status(co) == "suspended")
  assert(coroutine.resume(co))
  assert(coroutine.status(co) == "dead")
end

-- A coroutine that is running cannot be resumed again.
do
  local co
  co = coroutine.create(function()
    local ok, msg = coroutine.resume(co)
    return ok, msg
  end)
  local ok, innerok, innermsg = coroutine.resume(co)
  assert(ok == true and innerok == false)
  assert(string.find(innermsg, "cannot resume", 1, true))
end

-- Yield with no values, and resume with no values, give nothing.
do
  local co = coroutine.create(function(...)
    local n1 = arg.n
    local r = {coroutine.yield()}
    return n1, table.getn(r)
  end)
  local ok, a = coroutine.resume(co)
  assert(ok == true and a == nil)
  local ok2, n1, n2 = coroutine.resume(co)
  assert(ok2 and n1 == 0 and n2 == 0)
end

-- Yields from functions nested deep inside the coroutine body.
do
  local function deep(n) if n == 0 then return coroutine.yield("bottom") end return deep(n - 1) end
  local co = coroutine.create(function() return "after " .. deep(50) end)
  local ok, v = coroutine.resume(co)
  assert(ok and v == "bottom")
  ok, v = coroutine.resume(co, "resumed")
  assert(ok and v == "after resumed")
end

-- An error in a coroutine ends it: resume returns false and the message.
do
  local co = coroutine.create(assert(loadstring("local x = 1\nerror('inside')", "=co")))
  local ok, msg = coroutine.resume(co)
  assert(ok == false and msg == "co:2: inside")
  assert(coroutine.status(co) == "dead")
  ok, msg = coroutine.resume(co)
  assert(ok == false and msg == "cannot resume dead coroutine")
  local obj = {}
  local co2 = coroutine.create(function() coroutine.yield(1); error(obj) end)
  assert(coroutine.resume(co2))
  local ok2, e2 = coroutine.resume(co2)
  assert(ok2 == false and e2 == obj)
end

-- pcall inside a coroutine catches the error and the coroutine goes on.
do
  local co = coroutine.create(function()
    local ok = pcall(error, "caught")
    coroutine.yield(ok)
    return "continued"
  end)
  local _, first = coroutine.resume(co)
  local _, second = coroutine.resume(co)
  assert(first == false and second == "continued")
end

-- A yield cannot cross a pcall boundary; the pcall reports it.
do
  local co = coroutine.create(function()
    local ok, msg = pcall(coroutine.yield, 1)
    return ok, msg
  end)
  local ok, innerok, msg = coroutine.resume(co)
  assert(ok == true and innerok == false and type(msg) == "string")
end

-- A coroutine cannot yield from inside a metamethod or a for iterator.
do
  local t = setmetatable({}, {__index = function() return coroutine.yield("from index") end})
  local co = coroutine.create(function() return t.x end)
  local ok, msg = coroutine.resume(co)
  assert(ok == false and type(msg) == "string" and coroutine.status(co) == "dead")
  local co2 = coroutine.create(function()
    for v in function() return coroutine.yield(1) end do end
  end)
  ok, msg = coroutine.resume(co2)
  assert(ok == false and type(msg) == "string")
end

-- yield outside any coroutine is an error.
assert(errmsg(function() coroutine.yield(1) end))

-- wrap gives a function that resumes; it returns the values without the flag.
do
  local gen = coroutine.wrap(function(a)
    local b = coroutine.yield(a + 1)
    local c, d = coroutine.yield(b * 2)
    return c .. d
  end)
  assert(gen(1) == 2)
  assert(gen(10) == 20)
  assert(gen("x", "y") == "xy")
  local msg = errmsg(function() gen() end)
  assert(string.find(msg, "cannot resume dead coroutine", 1, true))
end

-- wrap propagates errors raised inside the coroutine.
do
  local f = coroutine.wrap(function() error("wrapped failure") end)
  local msg = errmsg(f)
  assert(string.find(msg, "wrapped failure", 1, true))
  local obj = {}
  local g = coroutine.wrap(function() error(obj) end)
  local ok, e = pcall(g)
  assert(not ok and e == obj)
end

-- Generators: a recursive producer walks a tree in order.
do
  local function walk(node)
    if node then
      walk(node.left)
      coroutine.yield(node.v)
      walk(node.right)
    end
  end
  local tree = {v = 4, left = {v = 2, left = {v = 1}, right = {v = 3}}, right = {v = 6, left = {v = 5}}}
  local out = {}
  for v in coroutine.wrap(function() walk(tree) end) do table.insert(out, v) end
  assert(table.concat(out, ",") == "1,2,3,4,5,6")
end

-- Independent coroutines keep independent stacks and locals.
do
  local function counter(start)
    return coroutine.create(function()
      local n = start
      while true do coroutine.yield(n); n = n + 1 end
    end)
  end
  local a, b = counter(1), counter(100)
  local _, a1 = coroutine.resume(a)
  local _, b1 = coroutine.resume(b)
  local _, a2 = coroutine.resume(a)
  local _, b2 = coroutine.resume(b)
  assert(a1 == 1 and a2 == 2 and b1 == 100 and b2 == 101)
end

-- A coroutine shares upvalues with the closures that made it.
do
  local shared = 0
  local co = coroutine.wrap(function()
    while true do shared = shared + 1; coroutine.yield() end
  end)
  co(); co()
  assert(shared == 2)
  shared = 10
  co()
  assert(shared == 11)
end

-- Coroutines nest: one may resume another.
do
  local inner = coroutine.create(function() coroutine.yield("i1"); return "i2" end)
  local outer = coroutine.create(function()
    local _, v1 = coroutine.resume(inner)
    coroutine.yield(v1)
    local _, v2 = coroutine.resume(inner)
    return v2
  end)
  local _, x = coroutine.resume(outer)
  local _, y = coroutine.resume(outer)
  assert(x == "i1" and y == "i2" and coroutine.status(inner) == "dead")
end

-- Bad arguments are errors.
assert(errmsg(function() coroutine.create(5) end))
assert(errmsg(function() coroutine.resume(5) end))
assert(errmsg(function() coroutine.status({}) end))
assert(errmsg(function() coroutine.wrap(nil) end))

print("ok")
