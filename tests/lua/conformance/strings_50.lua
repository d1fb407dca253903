-- Lua 5.0 only: string library details that later versions changed.

-- A gsub replacement function returning neither string nor number replaces
-- the match with the empty string.
do
  local s, n = string.gsub("a1b2", "%d", function() end)
  assert(s == "ab" and n == 2)
  s = string.gsub("a1b2", "%d", function() return false end)
  assert(s == "ab")
  s = string.gsub("a1b2", "%d", function() return {} end)
  assert(s == "ab")
  s = string.gsub("a1", "%d", function(d) return d + 1 end)
  assert(s == "a2")
end

-- The frontier pattern %f[set] matches the empty string between a
-- character outside the set and one inside it.
do
  local a, b = string.find("xfy foo", "%f[%a]f")
  assert(a == 5 and b == 5)
end

-- Patterns nest as deep as they are long: every optional item that matches
-- is a level the matcher may come back to, and none of them is refused.
do
  assert(table.concat({string.find(string.rep("a", 200), string.rep("a?", 200))}, ",") == "1,200")
  local n = 100000
  local a, b = string.find(string.rep("a", n) .. "b", string.rep("a?", n) .. "b$")
  assert(a == 1 and b == n + 1)
  -- the deepest level gives its character back so that the rest matches
  a, b = string.find(string.rep("a", n) .. "b", string.rep("a?", n) .. "ab")
  assert(a == 1 and b == n + 1)
  -- backing out of a level reopens the capture closed after it
  local s, e, x = string.find(string.rep("a", 5000) .. "c", "(" .. string.rep("a?", 5000) .. ")ac")
  assert(s == 1 and e == 5001 and x == string.rep("a", 4999))
  -- past a million levels the matcher stops with an error instead
  local ok, msg = pcall(string.find, string.rep("a", 1100000), string.rep("a?", 1100000))
  assert(not ok and string.find(msg, "pattern too complex", 1, true), msg)
end

-- byte takes one position and gives nil outside the string.
assert(string.byte("abc", 0) == nil and string.byte("abc", 4) == nil and string.byte("") == nil)
assert(string.byte("abc", -3) == 97 and string.byte("abc", -4) == nil)

-- %q escapes only double quotes, newlines and backslashes.
assert(string.format("%q", "a\rb") == '"a\rb"')
assert(string.format("%q", "a\tb") == '"a\tb"')

-- The later additions are absent.
assert(string.match == nil and string.gmatch == nil and string.reverse == nil)
assert(table.maxn == nil and math.huge == nil and math.fmod == nil)

-- A format that ends right after `%' (or its flags) is an invalid option.
do
  for _, f in ipairs({"%", "%-", "abc%", "%- #0+"}) do
    local ok, msg = pcall(string.format, f)
    assert(not ok and string.find(msg, "invalid option to `format'", 1, true), f)
  end
end

-- Flags may repeat; only the whole specification's length is limited.
do
  assert(string.format("%------5d|", 3) == "3    |")
  assert(string.format("%" .. string.rep("-", 18) .. "d|", 3) == "3|")
  local ok, msg = pcall(string.format, "%" .. string.rep("-", 19) .. "d", 3)
  assert(not ok and string.find(msg, "invalid format (too long)", 1, true))
end

print("ok")
