-- One page of help (the four pages share this layout): a heading, a picture
-- and a text, arrows to the neighbouring pages (swapped in the same modal
-- window, so paging never nests), and Back.
local kRoundLook = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" }

local kPictures = { "ui/kit/icon_heart", "ui/kit/icon_coin", "ui/kit/icon_star", "ui/kit/icon_music" }

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
                   UiPicture(kPictures[page], 306, 64, 48, 48, "picture"),
                   Text { name = "body", label = "help" .. page .. "_body", font = kUiBodyFont, x = 110, y = 118,
                          w = 440, h = 112, flags = kHAlignCenter + kVAlignTop },
                   Text { name = "pagenumber", label = "#" .. GetString("help_page", tostring(page), "4"),
                          font = { "fonts/default.mvec", 16, kUiInk }, x = 270, y = 236, w = 120, h = 24,
                          flags = kHAlignCenter + kVAlignCenter },
                   UiButton { name = "helpback", label = "back", x = 238, y = 266, close = true } }
    if page > 1 then
        table.insert(list, RoundButton("helpprev", "ui/kit/icon_left", 0, 148, page - 1))
    end
    if page < 4 then
        table.insert(list, RoundButton("helpnext", "ui/kit/icon_right", 600, 148, page + 1))
    end
    MakeDialog { Window { name = "helpscreen", w = 800, h = 600, MenuScene(false), Window(list) } }
end
