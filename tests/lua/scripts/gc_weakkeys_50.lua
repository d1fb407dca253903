-- golden: 5.0's answers
-- Userdata being finalised: the collector clears weak values before it sets
-- the userdata apart for finalisation, and weak keys only after, so a
-- finaliser still finds the entries its userdata keys (and loses those it is
-- the value of); the entries stay while a finaliser keeps its userdata alive.
local weakKeys = setmetatable({}, {__mode = "k"})
local weakValues = setmetatable({}, {__mode = "v"})
local weakBoth = setmetatable({}, {__mode = "kv"})
local found = {} -- what each finaliser found, by name
kept = nil -- the userdata a finaliser brings back to life

local function watched(name, keep)
  local u = newproxy(true)
  getmetatable(u).__gc = function(self)
    found[name] = tostring(weakKeys[self]) .. " " .. tostring(weakValues[name]) .. " " ..
                  tostring(weakBoth[self]) .. " " .. tostring(weakBoth[name] == self)
    if keep then kept = self end
  end
  weakKeys[u] = name
  weakValues[name] = u
  weakBoth[u] = name
  weakBoth[name] = u
  return u
end

local function count(t)
  local n = 0
  for _ in pairs(t) do n = n + 1 end
  return n
end

local hold = {watched("dropped"), watched("kept", true)}
hold = nil
collectgarbage()
print("dropped:", found.dropped)
print("kept:", found.kept)
collectgarbage()
-- the dropped one is gone with its entries; the kept one keeps those it keys
print(weakKeys[kept], weakBoth[kept], weakValues.kept, weakBoth.kept)
print(count(weakKeys), count(weakValues), count(weakBoth))
