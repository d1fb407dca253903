-- golden: lua5.1
-- Control flow: if chains, loops, break, numeric and generic for, scoping.
local function classify(n)
  if n < 0 then return "neg" elseif n == 0 then return "zero" elseif n < 10 then return "small" else return "big" end
end
print(classify(-1), classify(0), classify(5), classify(50))
local i, acc = 0, {}
while i < 5 do i = i + 1; acc[i] = i * i end
print(table.concat(acc, " "))
repeat i = i - 2 until i <= 0
print(i)
for k = 1, 3 do io.write(k, " ") end
for k = 3, 1, -1 do io.write(k, " ") end
for k = 0, 1, 0.25 do io.write(k, " ") end
for k = 5, 1 do io.write("never") end
print()
for k, v in ipairs({"a", "b", nil, "d"}) do io.write(k, v, " ") end
print()
local found
for k = 1, 100 do if k * k > 50 then found = k; break end end
print(found)
local n = 0
while true do n = n + 1; if n >= 7 then break end end
print(n)
for outer = 1, 3 do
  for inner = 1, 3 do
    if inner == 2 then break end
    io.write(outer, inner, " ")
  end
end
print()
local x = 1
do local x = 2; print(x) end
print(x)
local function scopes()
  local r = {}
  for j = 1, 3 do
    local v = j
    r[j] = function() return v end
  end
  return r[1]() + r[2]() + r[3]()
end
print(scopes())
print(1 and 2, nil and 1, false or "x", nil or false, 1 or error("no"))
print(not nil, not not 1, not 0)
local t = {}
t.a, t.b = 1, 2
local p, q = t.b, t.a
print(p, q)
local s = 0
for k = 1, 10 do
  if k == 3 then
  elseif k > 8 then s = s + 100
  else s = s + k end
end
print(s)
local cond = nil
if cond then print("yes") else print("no") end
if 0 then print("zero is true") end
if "" then print("empty string is true") end
local m = {}
for k = 1, 3 do m[k] = k end
for k in pairs(m) do m[k] = nil end
print(next(m))
while false do end
repeat local z = 1 until true
goto_label = "no goto in 5.0"
print(goto_label)
-- values of and/or through `not' and through jumps that meet
local five = 5
print(not not (five or nil), not (not (false or nil)), (five or five) and (true or 1), (nil and 1) or (false or "x"))
print((five or (five <= 1)) and (true or 1), not (five and nil) and five, (five > 1 or five) and "y")
local function g() return 1, 2 end
print(tostring((not (not (g() or nil)))) .. "|", ((five + 1) or five) and (false or five))
