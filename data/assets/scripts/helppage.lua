-- One page of help (the four pages share this layout): a heading, a strip of
-- pictures of the floor (ui/help/pageN, drawn from the game's own figures)
-- and a text, arrows to the neighbouring pages (swapped in the same modal
-- window, so paging never nests), and Back.
local kRoundLook = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" }

local kBodyFont = { "fonts/default.mvec", 18, kUiInk }

local function RoundButton(name, icon, x, y, page)
    return Button { name = name, graphics = kRoundLook, x = x, y = y, w = 60, h = 62,
                    command = function() SwapToModal("scripts/help" .. page .. ".lua") end,
                    UiPicture(icon, 6, 5, 48, 48) }
end

function HelpPage(page)
    local list = { name = "helppage", x = 70, y = 121, w = 660, h = 358,
                   UiPicture("ui/kit/dialog", 70, 0, 520, 358, "dialogframe"),
                   Text { name = "title", label = "help" .. page .. "_title", font = kUiTitleFont, x = 100, y = 6,
                          w = 460, h = 44, flags = kHAlignCenter + kVAlignCenter },
                   UiPicture("ui/help/page" .. page, 110, 60, 440, 100, "picture"),
                   Text { name = "body", label = "help" .. page .. "_body", font = kBodyFont, x = 110, y = 164,
                          w = 440, h = 86, flags = kHAlignCenter + kVAlignCenter },
                   Text { name = "pagenumber", label = "#" .. GetString("help_page", tostring(page), "4"),
                          font = { "fonts/default.mvec", 15, kUiInk }, x = 270, y = 250, w = 120, h = 20,
                          flags = kHAlignCenter + kVAlignCenter },
                   UiButton { name = "helpback", label = "back", x = 238, y = 274, close = true } }
    if page > 1 then
        table.insert(list, RoundButton("helpprev", "ui/kit/icon_left", 0, 148, page - 1))
    end
    if page < 4 then
        table.insert(list, RoundButton("helpnext", "ui/kit/icon_right", 600, 148, page + 1))
    end
    MakeDialog { Window { name = "helpscreen", w = 800, h = 600, MenuScene(false), Window(list) } }
end
