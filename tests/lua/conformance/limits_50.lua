-- Limits that hold whatever a script does: deep coroutine nesting, list
-- sizes at the ends of the integer range, very long if-chains. Each must end
-- in a Lua error, never in a crash or an endless loop.

local function errmsg(f, ...)
  local ok, msg = pcall(f, unpack(arg))
  assert(not ok, "an error was expected")
  return msg
end

-- The C-call limit counts resumed coroutines: nesting them ends in
-- "C stack overflow" long before the native stack runs out.
do
  local function wrapped(n)
    if n == 0 then return 0 end
    return coroutine.wrap(function() return wrapped(n - 1) + 1 end)()
  end
  assert(string.find(errmsg(wrapped, 50000), "C stack overflow", 1, true))
  assert(wrapped(50) == 50)

  local function resumed(n)
    if n == 0 then return 0 end
    local ok, v = coroutine.resume(coroutine.create(function() return resumed(n - 1) + 1 end))
    if not ok then error(v, 0) end
    return v
  end
  assert(string.find(errmsg(resumed, 50000), "C stack overflow", 1, true))
  assert(resumed(50) == 50)
  -- the limit is released again once the nesting unwinds
  assert(resumed(100) == 100)
end

-- List sizes and positions at the ends of the integer range are refused.
do
  local t = {}
  table.setn(t, 2147483647)
  assert(string.find(errmsg(table.insert, t, "x"), "table overflow", 1, true))
  assert(table.getn(t) == 2147483647)
  assert(string.find(errmsg(table.insert, {1, 2, 3}, -2147483648, "x"), "position out of bounds", 1, true))
  assert(string.find(errmsg(table.insert, {1, 2, 3}, 0, "x"), "position out of bounds", 1, true))
  assert(string.find(errmsg(table.remove, {1, 2, 3}, -2147483648), "position out of bounds", 1, true))
  assert(string.find(errmsg(table.remove, {1, 2, 3}, 4), "position out of bounds", 1, true))
  -- positions inside the list, and just past its end for insert, still work
  local l = {1, 2, 3}
  table.insert(l, 4, 4)
  table.insert(l, 1, 0)
  assert(table.remove(l, 1) == 0 and table.remove(l) == 4 and table.getn(l) == 3)
  assert(table.remove({}) == nil and table.remove({}, 5) == nil)
  -- growing past the end sets the size, as before
  local g = {}
  table.insert(g, 5, "x")
  assert(table.getn(g) == 5 and g[5] == "x")
end

-- A very long if-elseif chain compiles in linear time to its error (the
-- test's time limit catches a quadratic compiler).
do
  local chain = "local x = 0 if x == 0 then x = 0" ..
    string.rep(" elseif x == 1 then x = 1", 200000) .. " end"
  local f, msg = loadstring(chain)
  assert(f == nil and string.find(msg, "control structure too long", 1, true), msg)
  -- a long chain within the limit still runs
  parts = {"local x = 999 local y if x == 0 then y = 0"}
  for i = 1, 1000 do
    parts[i + 1] = " elseif x == " .. i .. " then y = " .. i
  end
  table.insert(parts, " else y = -1 end return y")
  assert(loadstring(table.concat(parts))() == 999)
end

print("ok")
