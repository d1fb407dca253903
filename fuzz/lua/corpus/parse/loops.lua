for i = 1, 3 do
  for j = 1, 3 do
    if j == 2 then continue 2 end
    if i == 3 then break 2 end
  end
end
while true do break end
repeat continue until true
