local x = 0x1F & y | z << 2 >> 1 ^ w
if a ~= b and c <= d or e >= f then continue end
break 2; s = "str" .. L"w\x263A" .. [[long]]
t = {...}; -- comment
--[[ long
comment ]] return nil, true, false, 1.5e3
