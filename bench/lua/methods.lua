-- method calls and closures
local Point = {}
Point.__index = Point
function Point.new(x, y) return setmetatable({x = x, y = y}, Point) end
function Point:add(o) return Point.new(self.x + o.x, self.y + o.y) end
function Point:len2() return self.x * self.x + self.y * self.y end
local p = Point.new(0, 0)
local step = Point.new(1, 2)
local total = 0
for i = 1, 1000000 do
  p = p:add(step)
  total = total + p:len2() / 1e12
end
local function counter()
  local c = 0
  return function() c = c + 1; return c end
end
local sum = 0
for i = 1, 100000 do
  local f = counter()
  f(); f()
  sum = sum + f()
end
print(p.x, p.y, total, sum)
