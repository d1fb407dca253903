-- golden: lua5.1
-- Closures, upvalues, recursion and tail calls.
local function counter(start)
  local n = start
  return function() n = n + 1; return n end, function() return n end
end
local inc1, get1 = counter(0)
local inc2, get2 = counter(100)
inc1(); inc1(); inc2()
print(get1(), get2())
local fns = {}
for i = 1, 3 do
  local j = i * 10
  fns[i] = function() return j end
end
print(fns[1](), fns[2](), fns[3]())
local function outer()
  local x = 1
  local function mid()
    local function inner() x = x + 1; return x end
    return inner
  end
  return mid(), function() return x end
end
local bump, read = outer()
bump(); bump()
print(read())
local shared
do
  local v = "first"
  shared = function() return v end
  v = "second"
end
print(shared())
local function fact(n) if n <= 1 then return 1 end return n * fact(n - 1) end
print(fact(10), fact(20))
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print(fib(20))
local function even(n) if n == 0 then return true end return odd(n - 1) end
function odd(n) if n == 0 then return false end return even(n - 1) end
print(even(10), odd(7))
local function countdown(n) if n == 0 then return "done" end return countdown(n - 1) end
print(countdown(200000))
local function multi() return 1, 2, 3 end

print(multi())
print((multi()))
print(multi(), "end")
local t = {multi(), multi()}
print(t[1], t[2], t[3], t[4])
local function ret(...) return arg.n end
print(ret(), ret(nil), ret(nil, nil), ret(multi()))
local a, b, c, d = multi()
print(a, b, c, d)
local function adder(x) return function(y) return function(z) return x + y + z end end end
print(adder(1)(2)(3))
local obj = {v = 5}
function obj:get() return self.v end
function obj.static(x) return x * 2 end
print(obj:get(), obj.static(4), obj.get(obj))
local memo = setmetatable({}, {__mode = "k"})
print(type(memo))
local function recurse(n, acc) if n == 0 then return acc end return recurse(n - 1, acc + n) end
print(recurse(10000, 0))
local gen = (function() local i = 0; return function() i = i + 1; if i <= 3 then return i end end end)()
for v in gen do io.write(v, " ") end
print()
