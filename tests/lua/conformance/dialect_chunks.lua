-- Precompiled chunks of the engine dialect: the header string.dump writes,
-- round trips of the new opcodes and of wide-string constants, loading a
-- chunk of the other byte order, and the loader's errors.

-- A function using the dialect's opcodes and constants of every kind.
local function sample(x)
  local w = L"w\x263A"
  local t = {n = 1.5, s = "narrow", w = w}
  local bits = (x & 12) | (x << 2) | (x >> 1) | (x ^ 5)
  local skipped = 0
  for i = 1, 4 do
    if i == 2 then continue end
    skipped = skipped + i
  end
  local inner = function(v) return v .. L"!" end
  return bits, t.n, t.s, inner(t.w), skipped, nil
end

local function same_results(f)
  local a1, a2, a3, a4, a5, a6 = f(10)
  local b1, b2, b3, b4, b5, b6 = sample(10)
  return a1 == b1 and a2 == b2 and a3 == b3 and a4 == b4 and a5 == b5 and a6 == b6
end

-- The header: signature, version 5.0, byte order, sizes and the test number.
local chunk = string.dump(sample)
do
  assert(string.sub(chunk, 1, 4) == "\27Lua" and string.byte(chunk, 5) == 80)
  assert(string.byte(chunk, 6) == 1)                        -- written little-endian
  local sizes = {}
  for i = 7, 14 do table.insert(sizes, string.byte(chunk, i)) end
  assert(table.concat(sizes, ",") == "4,4,4,6,8,9,9,8")
  local _, test = string.unpack(chunk, "<d", 15)
  assert(math.abs(test - 31415926.5358979) < 1e-6)
end

-- Loading the dump gives a function that behaves the same.
do
  local copy = assert(loadstring(chunk))
  assert(copy ~= sample and same_results(copy))
  local a1, _, _, a4 = copy(10)
  assert(a1 == ((10 & 12) | (10 << 2) | (10 >> 1) | (10 ^ 5)) and a4 == L"w\x263A!")
  assert(type(a4) == "wstring")
end

-- Rewrites a little-endian chunk in big-endian order, field by field.
local function to_big_endian(s)
  local out, pos = {}, 1
  local function raw(n)
    local piece = string.sub(s, pos, pos + n - 1)
    pos = pos + n
    return piece
  end
  local function copy(n) table.insert(out, raw(n)) end
  local function int()
    local p, v = string.unpack(s, "<I", pos)
    pos = p
    table.insert(out, string.pack(">I", v))
    return v
  end
  local function byte()
    local b = raw(1)
    table.insert(out, b)
    return string.byte(b)
  end
  local function number()
    local p, v = string.unpack(s, "<d", pos)
    pos = p
    table.insert(out, string.pack(">d", v))
  end
  local function str() copy(int()) end
  local function wstr()
    for i = 1, int() do
      local p, u = string.unpack(s, "<H", pos)
      pos = p
      table.insert(out, string.pack(">H", u))
    end
  end
  local function func()
    str()                                                   -- source
    int()                                                   -- line defined
    byte(); byte(); byte(); byte()                          -- upvalues, parameters, vararg, stack
    for i = 1, int() do int() end                           -- line info
    for i = 1, int() do str(); int(); int() end             -- local variables
    for i = 1, int() do str() end                           -- upvalue names
    for i = 1, int() do                                     -- constants
      local kind = byte()
      if kind == 3 then number()
      elseif kind == 4 then str()
      elseif kind == 9 then wstr()
      else assert(kind == 0, "unexpected constant type") end
    end
    for i = 1, int() do func() end                          -- nested functions
    for i = 1, int() do int() end                           -- instructions
  end
  copy(5)
  raw(1); table.insert(out, "\0")
  copy(8)
  number()
  func()
  assert(pos == string.len(s) + 1, "chunk not fully read")
  return table.concat(out)
end

-- A big-endian chunk loads on this machine, wide-string units included.
do
  local big = to_big_endian(chunk)
  assert(string.len(big) == string.len(chunk) and big ~= chunk and string.byte(big, 6) == 0)
  local f = assert(loadstring(big))
  assert(same_results(f))
  local w = loadstring(to_big_endian(string.dump(function() return L"\x0102\xfeff" end)))()
  assert(string.pack("<wA", w) == "\2\1\255\254")
end

-- Damaged headers are refused with the loader's messages.
do
  local function load_modified(pos, byte)
    return loadstring(string.sub(chunk, 1, pos - 1) .. string.char(byte) .. string.sub(chunk, pos + 1), "=bin")
  end
  local f, msg = load_modified(5, 81)
  assert(f == nil and string.find(msg, "too new", 1, true))
  f, msg = load_modified(5, 64)
  assert(f == nil and string.find(msg, "too old", 1, true))
  f, msg = load_modified(7, 8)
  assert(f == nil and string.find(msg, "virtual machine mismatch", 1, true))
  f, msg = load_modified(22, 0)
  assert(f == nil and string.find(msg, "unknown number format", 1, true))
  f, msg = load_modified(2, string.byte("X"))
  assert(f == nil and string.find(msg, "bad signature", 1, true))
  f, msg = loadstring(string.sub(chunk, 1, string.len(chunk) - 3), "=bin")
  assert(f == nil and string.find(msg, "unexpected end of file", 1, true))
end

print("ok")
