-- Limits that hold whatever a script does: deep coroutine nesting, list
-- positions and sizes at the ends of the integer range, very long if-chains.
-- Each must end at once, in a result or a Lua error, never in a crash or an
-- endless loop.

local function errmsg(f, ...)
  local ok, msg = pcall(f, unpack(arg))
  assert(not ok, "an error was expected")
  return msg
end

-- Coroutines resumed inside one another share the native stack, each with
-- C calls of its own: nesting them ends in "C stack overflow" before the
-- native stack runs out, and goes as deep as that stack allows. Each level
-- here also nests C calls (pcall) so that the limit comes after a few
-- hundred coroutines.
do
  local function throughC(k, f)
    if k == 0 then return f() end
    local ok, v = pcall(throughC, k - 1, f)
    if not ok then error(v, 0) end
    return v
  end
  local function wrapped(n)
    if n == 0 then return 0 end
    return coroutine.wrap(function() return throughC(20, function() return wrapped(n - 1) + 1 end) end)()
  end
  assert(string.find(errmsg(wrapped, 50000), "C stack overflow", 1, true))
  assert(wrapped(50) == 50)

  local function resumed(n)
    if n == 0 then return 0 end
    local ok, v = coroutine.resume(coroutine.create(function()
      return throughC(20, function() return resumed(n - 1) + 1 end)
    end))
    if not ok then error(v, 0) end
    return v
  end
  assert(string.find(errmsg(resumed, 50000), "C stack overflow", 1, true))
  assert(resumed(50) == 50)
  -- the limit is released again once the nesting unwinds
  assert(resumed(100) == 100)
end

-- Positions and sizes at the ends of the integer range take the steps any
-- other position takes, and end at once: only positions that hold a value
-- (or are about to) are moved. A size that cannot grow is refused.
do
  local function keys(t)
    local n = 0
    for _ in pairs(t) do n = n + 1 end
    return n
  end
  local t = {}
  table.setn(t, 2147483647)
  assert(string.find(errmsg(table.insert, t, "x"), "table overflow", 1, true))
  assert(table.getn(t) == 2147483647)

  local lo = -2147483648
  local l = {[lo] = "lo", [-5] = "m", 1}
  table.insert(l, lo, "x")
  assert(l[lo] == "x" and l[lo + 1] == "lo" and l[-4] == "m" and l[-5] == nil and l[1] == nil and l[2] == 1)
  assert(keys(l) == 4 and table.getn(l) == 2)
  local r = {[lo + 1] = "b", [lo] = "a", 1, 2, 3}
  assert(table.remove(r, lo) == "a")
  assert(r[lo] == "b" and r[lo + 1] == nil and r[0] == 1 and r[1] == 2 and r[2] == 3 and r[3] == nil)
  assert(keys(r) == 4 and table.getn(r) == 2)
  -- positions past the integer range count as its ends
  local far = {1, 2}
  table.insert(far, -1e300, "x")
  assert(far[lo] == "x" and far[2] == 1 and far[3] == 2 and keys(far) == 3)

  -- a size near the top of the range, with the elements far apart
  local big = {n = 2147483646, "b", [1000] = "c"}
  table.insert(big, 1, "a")
  assert(big.n == 2147483647 and big[1] == "a" and big[2] == "b" and big[1000] == nil and big[1001] == "c")
  assert(keys(big) == 4)
  assert(table.remove(big, 1) == "a")
  assert(big.n == 2147483646 and big[1] == "b" and big[2] == nil and big[1000] == "c" and keys(big) == 3)
  table.insert(big, 2147483647, "top")
  assert(big.n == 2147483647 and big[2147483647] == "top")
  assert(table.remove(big) == "top" and big.n == 2147483646)

  -- positions inside the list, and just past its end for insert, still work
  local p = {1, 2, 3}
  table.insert(p, 4, 4)
  table.insert(p, 1, 0)
  assert(table.remove(p, 1) == 0 and table.remove(p) == 4 and table.getn(p) == 3)
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
