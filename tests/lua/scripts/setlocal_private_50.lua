-- golden: 5.0's answers
-- debug.setlocal refuses the compiler's own locals (their names start with
-- `('): it returns nil, stores nothing, and the running loop goes on as it
-- was. It still sets the locals of the source, and debug.getlocal still
-- shows both kinds.
for i = 1, 2 do print(i, debug.setlocal(1, 2, 4)) end
for k in pairs({only = true}) do print(k, debug.setlocal(1, 1, nil), debug.setlocal(1, 2, {})) end
do
  local function f()
    local x = 1
    print(debug.setlocal(1, 1, 5), x)
  end
  f()
end
for i = 1, 1 do print(debug.getlocal(1, 1)) print(debug.getlocal(1, 2)) end
