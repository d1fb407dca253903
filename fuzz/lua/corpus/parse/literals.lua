local w = L"wide\x263A" .. 1
local s = "\x41\65\n"
local t = {[[long [[nested]] ]], w, s; n = 1}
