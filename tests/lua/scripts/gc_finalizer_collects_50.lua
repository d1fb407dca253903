-- golden: 5.0's answers, but for the nesting of many finalisers (our own:
-- where 5.0 runs out of C levels and loses finalisers, every one runs)
-- A finaliser may start a full collection (collectgarbage, or by
-- allocating): the finalisers still waiting run inside it, and the garbage
-- the finaliser made is freed.
-- (Each finaliser logs through strings made before it runs, so that the
-- collector forced at every safe point starts nothing before its first log.)
local log, n = {}, 0
local function note(s) n = n + 1; log[n] = s end

local function logging(name)
  local u = newproxy(true)
  local start, finish = "start " .. name, "end " .. name
  getmetatable(u).__gc = function() note(start) collectgarbage() note(finish) end
  return u
end

-- collected together: b (made last) first, and a inside b's collection
local hold = {logging("a"), logging("b")}
hold = nil
collectgarbage()
print(table.concat(log, ", "))

-- the garbage a finaliser makes goes in its own collection, and in those
-- its allocations start
local inside = {}
local function making(collect)
  local u = newproxy(true)
  getmetatable(u).__gc = function()
    for i = 1, 300 do
      local t = {}
      for j = 1, 1000 do t[j] = j end
    end
    if collect then collectgarbage() end
    inside[collect] = gcinfo()
  end
end
making(true)
making(false)
collectgarbage()
print("memory inside the finaliser is small:", inside[true] < 500, inside[false] < 1000)

-- each finaliser runs once: one that fails, one that brings its userdata
-- back to life, and the one run inside their collections
local runs = {}
kept = nil
local function counted(name, body)
  local u = newproxy(true)
  getmetatable(u).__gc = function(self)
    runs[name] = (runs[name] or 0) + 1
    body(self)
  end
  return u
end
hold = {
  counted("fails", function() collectgarbage() error("finaliser failed") end),
  counted("kept", function(self) kept = self collectgarbage() end),
  counted("plain", function() end),
}
hold = nil
collectgarbage()
kept = nil
collectgarbage()
collectgarbage()
print("runs:", runs.fails, runs.kept, runs.plain)

-- many finalisers that each collect: deep in finalisers a collection leaves
-- those still waiting to the loops that run them, so every one runs whole
local count = 0
hold = {}
for i = 1, 250 do
  local u = newproxy(true)
  getmetatable(u).__gc = function() collectgarbage() count = count + 1 end
  hold[i] = u
end
hold = nil
collectgarbage()
print("nested finalisers run:", count)

-- at close: a finaliser's own garbage userdata is finalised too
do
  local closing = newproxy(true)
  getmetatable(closing).__gc = function()
    print("closing")
    local made = newproxy(true)
    getmetatable(made).__gc = function() print("made while closing") end
    made = nil
    collectgarbage()
  end
  gClosing = closing
end
