-- Lua 5.0 only: details where scripts and their error logs rely on 5.0.2's
-- exact behaviour. One row per case: a name, a function giving the observed
-- text, and the text 5.0 gives.

local function errmsg(f, ...)
  local ok, msg = pcall(f, unpack(arg))
  assert(not ok, "an error was expected")
  return msg
end

local function loaderr(source, name)
  local f, msg = loadstring(source, name)
  assert(f == nil, "a syntax error was expected")
  return msg
end

local function count(...) return arg.n end

local function loads(source)
  return loadstring(source) ~= nil
end

local cases = {
  -- A C function with no calling instruction to name it (here called by
  -- pcall) is named after the global that holds it.
  {"name of a library function through pcall",
   function() return errmsg(tonumber, "10", 99) end,
   "bad argument #2 to `tonumber' (base out of range)"},
  {"name of a function through another C function",
   function() return errmsg(table.foreach, {"x"}, tonumber) end,
   "bad argument #2 to `tonumber' (number expected, got string)"},
  {"next with a key the table does not hold",
   function() return errmsg(next, {}, "missing") end,
   "invalid key for `next'"},
  {"a statement after return",
   function() return loaderr("return 1 2") end,
   "[string \"return 1 2\"]:1: <eof> expected near `2'"},
  {"chunk name in a syntax error",
   function() return loaderr("x = ", string.rep("a", 100)) end,
   "[string \"" .. string.rep("a", 63) .. "...\"]:1: unexpected symbol near `<eof>'"},
  {"chunk name in a run-time error",
   function() return errmsg(loadstring("error('x')", string.rep("a", 100))) end,
   "[string \"" .. string.rep("a", 43) .. "...\"]:1: x"},
  {"negated numeral folded through the constant table",
   function() return tostring(loadstring("return -0")()) end, "0"},
  {"negation at run time keeps the sign of zero",
   function() local zero = 0 return tostring(-zero) end, "-0"},
  {"negated numerals",
   function() return tostring(loadstring("return -1.5, - -2")()) .. " " .. tostring(- -2) end, "-1.5 2"},
  {"string.byte out of range gives no value",
   function() return tostring(count(string.byte("abc", 10))) .. tostring(count(string.byte("", 1))) end,
   "00"},
  {"string.byte in range",
   function() return tostring(count(string.byte("abc", 2))) .. tostring(string.byte("abc", -1)) end,
   "199"},
  {"frontier pattern",
   function() return (string.gsub("THE (quick) fox", "%f[%a]%a+", "W")) end, "W (W) W"},
  {"frontier at both ends of the subject",
   function() return table.concat({string.find("ab", "%f[%w]%w+%f[%W]")}, ",") end, "1,2"},
  {"frontier without a set",
   function() return errmsg(string.find, "a", "%f") end,
   "missing `[' after `%f' in pattern"},
  {"semicolon before an item of a constructor",
   function() return tostring(loads("return {1, ; 2}")) .. tostring(loads("return {;}")) ..
     tostring(loads("return {1; ; 2}")) end,
   "truetruetrue"},
  {"constructor items after a leading semicolon",
   function() local t = loadstring("return {; 1, ; x = 2}")() return t[1] .. t.x end, "12"},
  {"two semicolons without items are still an error",
   function() return tostring(loads("return {;;}")) .. tostring(loads("return {,}")) end,
   "falsefalse"},
  {"string.dump of a function with upvalues",
   function() local up = 1 return errmsg(string.dump, function() return up end) end,
   "unable to dump given function"},
  {"string.dump of a function without upvalues",
   function() return loadstring(string.dump(function() return 7 end))() end, 7},
  {"debug.traceback ends at the interpreter's C function",
   function() return string.sub(debug.traceback("x"), -8) end, "\n\t[C]: ?"},
  {"newproxy without a metatable",
   function() return type(newproxy()) .. tostring(getmetatable(newproxy(false)) ~= getmetatable(newproxy(true))) end,
   "userdatatrue"},
  {"newproxy with a new or a shared metatable",
   function()
     local p = newproxy(true)
     local q = newproxy(p)
     return type(getmetatable(p)) .. tostring(getmetatable(p) == getmetatable(q)) ..
       tostring(getmetatable(newproxy(true)) ~= getmetatable(p))
   end,
   "tabletruetrue"},
  {"newproxy of something that is not a proxy",
   function() return errmsg(newproxy, {}) end,
   "bad argument #1 to `newproxy' (boolean or proxy expected)"},
  -- A tail call leaves a level of its own on the stack, with no function,
  -- no source and no line.
  {"error at level 2 through a tail call names no position",
   function()
     local function fails() error("deep", 2) end
     local function tailer() return fails() end
     return errmsg(function() local x = tailer() return x end)
   end,
   "deep"},
  {"error at level 2 through an ordinary call names the caller's line",
   function()
     local function fails() error("deep", 2) end
     local function caller() local x = fails() return x end
     return (string.gsub(errmsg(caller), "^[^:]*:%d+: ", "<position> "))
   end,
   "<position> deep"},
  {"debug.traceback shows the level a tail call leaves",
   function()
     local function inner() local s = debug.traceback("m") return s end
     local function outer() return inner() end
     local s = outer()
     local _, _, second = string.find(s, "^m\nstack traceback:\n\t[^\n]*\n\t([^\n]*)\n")
     return second
   end,
   "(tail call): ?"},
  {"getfenv and setfenv count the level a tail call leaves",
   function()
     local function envAt(level) return getfenv(level) end
     local function tailer(level) return envAt(level) end
     local mine = {}
     local function caller(level) local e = tailer(level) return e end
     setfenv(caller, mine)
     local function setAt(level) setfenv(level, {}) end
     local function setTailer() return setAt(2) end
     return tostring(caller(3) == mine) .. "; " ..
       string.gsub(errmsg(caller, 2), "^[^:]*:%d+: ", "") .. "; " ..
       string.gsub(errmsg(setTailer), "^[^:]*:%d+: ", "")
   end,
   "true; no function environment for tail call at level 2; no function environment for tail call at level 2"},
  {"unpack fills a C function's stack up to its limit",
   function() local t = {} for i = 1, 2047 do t[i] = i end return count(unpack(t)) end,
   2047},
  {"unpack of more than a C function's stack holds",
   function() local t = {} for i = 1, 2048 do t[i] = i end return errmsg(unpack, t) end,
   "stack overflow (table too big to unpack)"},
  {"loadfile of a missing file gives the system's reason",
   function() local f, msg = loadfile("no/such/file.lua") return tostring(f) .. " " .. msg end,
   "nil cannot read no/such/file.lua: No such file or directory"},
  {"dofile of a missing file raises the same text",
   function() return errmsg(dofile, "no/such/file.lua") end,
   "cannot read no/such/file.lua: No such file or directory"},
}

local failed = 0
for _, case in ipairs(cases) do
  local ok, got = pcall(case[2])
  if not ok or got ~= case[3] then
    failed = failed + 1
    print(case[1] .. ": got " .. tostring(got) .. ", expected " .. tostring(case[3]))
  end
end
assert(failed == 0, failed .. " of " .. table.getn(cases) .. " cases differ")
print("ok")
