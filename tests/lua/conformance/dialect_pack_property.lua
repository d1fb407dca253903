-- Property: any record that string.pack writes, string.unpack reads back
-- item for item, in every byte order, and reports the position just past it.
-- Records are drawn from a fixed pseudo-random sequence so failures repeat.

local seed = 12345
local function rand(n)
  -- a small linear congruential generator: the same sequence everywhere
  seed = math.mod(seed * 1103515245 + 12345, 2147483648)
  return math.mod(math.floor(seed / 65536), n)
end

local function bytes(len, lowest)
  local parts = {}
  for i = 1, len do
    parts[i] = string.char(lowest + rand(256 - lowest))
  end
  return table.concat(parts)
end

-- Each maker returns the format item and the value that packs and reads back,
-- and for `A` the item that reads it: on packing a count repeats the item,
-- on unpacking it is the length of the string.
local makers = {
  function() local s = bytes(rand(12), 1) return "z", s end,
  function() local s = bytes(1 + rand(12), 0) return "A", s, "A" .. string.len(s) end,
  function() return "a", bytes(rand(40), 0) end,
  function() return "p", bytes(rand(40), 0) end,
  function() return "P", bytes(rand(300), 0) end,
  function() return "B", rand(2) == 1 end,
  function() return "b", rand(256) end,
  function() return "c", rand(256) - 128 end,
  function() return "h", rand(65536) - 32768 end,
  function() return "H", rand(65536) end,
  function() return "i", rand(65536) * 32768 - 1073741824 end,
  function() return "l", -rand(2147483647) end,
  function() return "I", rand(65536) * 65536 + rand(65536) end,
  function() return "L", rand(2147483647) end,
  function() return "f", (rand(20001) - 10000) / 4 end,
  function() return "d", (rand(2000001) - 1000000) / 1024 + rand(1000) * 1e12 end,
  function() return "n", -rand(100000) / 3 end,
  function() return "wz", towstring(bytes(rand(10), 1)) end,
  function() local s = bytes(1 + rand(10), 0) return "wA", towstring(s), "wA" .. string.len(s) end,
  function() return "wa", towstring(bytes(rand(20), 0)) end,
  function() return "wp", towstring(bytes(rand(20), 0)) end,
  function() return "wP", towstring(bytes(rand(20), 0)) end,
}

local orders = { "<", ">", "=", "" }

local function check(packFormat, unpackFormat, values)
  local packed = string.pack(packFormat, unpack(values))
  local read = { string.unpack(packed, unpackFormat) }
  assert(read[1] == string.len(packed) + 1, unpackFormat)
  assert(table.getn(read) == table.getn(values) + 1, unpackFormat)
  for i = 1, table.getn(values) do
    assert(read[i + 1] == values[i], unpackFormat .. " item " .. i)
  end
end

for round = 1, 400 do
  local packItems, unpackItems, values = {}, {}, {}
  for i = 1, 1 + rand(8) do
    local item, value, readItem = makers[1 + rand(table.getn(makers))]()
    table.insert(packItems, item)
    table.insert(unpackItems, readItem or item)
    table.insert(values, value)
  end
  local order = orders[1 + rand(table.getn(orders))]
  check(order .. table.concat(packItems, " "), order .. table.concat(unpackItems, ","), values)
end

-- Byte order is the only difference between the two explicit orders.
local little = string.pack("<i h wz", 305419896, -2, towstring("ab"))
local big = string.pack(">i h wz", 305419896, -2, towstring("ab"))
assert(string.len(little) == string.len(big))
for i = 1, 4 do
  assert(string.byte(little, i) == string.byte(big, 5 - i))
end
assert(string.byte(little, 5) == string.byte(big, 6) and string.byte(little, 6) == string.byte(big, 5))

print("ok")
