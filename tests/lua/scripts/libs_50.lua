-- golden: manual
-- The stand-alone interpreter's io, os and debug libraries.

-- io: a file written, then read back with each format, by lines and seeking
local name = os.tmpname()
local f = assert(io.open(name, "w"))
print(io.type(f), io.type(io.stdout), io.type({}))
print(f:write("first line\n", 42, " 3.5e2 tail\n", "no newline"))
print(f:close(), io.type(f), tostring(f))
print(pcall(f.write, f, "x"))
f = assert(io.open(name, "r"))
print(f:read()) -- a line is the default
print(f:read("*n", "*n"))
print(f:read(5), f:read(0))
print(f:read("*l"))
print(f:read("*a"))
print(f:read("*a"), f:read("*l"), f:read(0), f:read(3), f:read("*n"))
print(f:seek("set", 6), f:read(4), f:seek(), f:seek("cur", -4), f:seek("end"))
print(pcall(f.read, f, "*x"))
f:close()
local lines = {}
for line in io.lines(name) do table.insert(lines, "[" .. line .. "]") end
print(table.concat(lines))
f = assert(io.open(name, "a+"))
f:write("\nappended")
f:seek("set")
local count = 0
for _ in f:lines() do count = count + 1 end
print(count, io.type(f))
f:close()
io.output(name)
io.write("via ", "io.write ", 1.5, "\n")
io.close()
io.output(io.stdout)
io.input(name)
print(io.read("*l"), io.read("*l"))
io.input():close()
io.input(io.stdin)
print(os.remove(name))
local missing = name .. ".missing"
local handle, message = io.open(missing)
print(handle, message == missing .. ": No such file or directory")
local removed, why = os.remove(missing)
print(removed, why == missing .. ": No such file or directory")
print(pcall(io.lines, missing))

-- os: dates and times (universal time where the zone would show)
print(os.date("!%Y-%m-%d %H:%M:%S", 1058196620))
local utc = os.date("!*t", 1058196620)
print(utc.year, utc.month, utc.day, utc.hour, utc.min, utc.sec, utc.wday, utc.yday, utc.isdst)
local t = os.time({year = 2003, month = 1, day = 14, hour = 15, min = 30, sec = 20})
local back = os.date("*t", t)
print(back.year, back.month, back.day, back.hour, back.min, back.sec, back.wday, back.yday)
print(os.time({year = 2003, month = 1, day = 15}) - os.time({year = 2003, month = 1, day = 14}))
print(os.date("*t", os.time({year = 2003, month = 1, day = 14})).hour) -- noon by default
print(os.difftime(t + 90, t), os.difftime(t, t + 1))
print(pcall(os.time, {year = 2003, month = 1}))
print(type(os.time()), type(os.clock()), type(os.date()), os.getenv("QMLUA_SURELY_UNSET_VARIABLE"))

-- debug: hooks driven by the machine, then the reflexive functions
local function leaf(x)
  local y = x * 2
  return y
end
local function middle(x) return leaf(x) + 1 end
local function describe(event, line)
  local info = debug.getinfo(2, "nS")
  if event == "tail return" then info = {what = "?"} end
  if info.what == "C" then return end -- only Lua functions here
  print(event, line, info.name, info.what)
end
debug.sethook(describe, "crl")
local r = middle(5)
debug.sethook()
print(r, debug.gethook())

local lines = {}
debug.sethook(function(event, line) table.insert(lines, line) end, "l")
for i = 1, 2 do
  r = i
end
debug.sethook()
print(table.concat(lines, " "))

local counted = 0
debug.sethook(function(event) counted = counted + 1 end, "", 10)
for i = 1, 100 do r = i end
local _, mask, n = debug.gethook()
debug.sethook()
print(counted > 20, mask, n)

local function locals(a, b)
  local c = a + b
  print(debug.getlocal(1, 1), debug.getlocal(1, 3))
  print(debug.setlocal(1, 3, 99), c, debug.getlocal(1, 4))
  return c
end
print(locals(1, 2))
print(pcall(debug.getlocal, 50, 1))
local up1, up2 = 10, 20
local function useup() return up1 + up2 end
print(debug.getupvalue(useup, 2))
print(debug.setupvalue(useup, 1, 5), useup(), debug.getupvalue(useup, 3))
local info = debug.getinfo(useup)
print(info.what, info.short_src, info.linedefined, info.nups, info.func == useup, info.currentline)
print(debug.getinfo(print).what, debug.getinfo(1, "l").currentline, debug.getinfo(100))
print(pcall(debug.getinfo, 1, "q"))
print(pcall(debug.getinfo, "x"))
