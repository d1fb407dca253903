-- More games: the cross-sell page (its texts and links come from
-- assets/xsell/xsell.xml). Each entry's round button, and the link in its
-- text, opens that entry's page in the web browser; the site button opens
-- our site. The window centres its buttons on the points given here.
ReadFile("scripts/menuscene.lua")

local kRoundLook = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" }
local kIcons = { "ui/kit/icon_star", "ui/kit/icon_coin", "ui/kit/icon_heart" }
local entryFont = { "fonts/default.mvec", 18, kUiInk }
local lineFont = { "fonts/corona.mvec", 22, kUiInk }

local function Entry(n)
    local y = 100 + (n - 1) * 80
    return Group {
        Button { name = "xsellbutton" .. n, graphics = kRoundLook, x = 160, y = y + 24, w = 60, h = 62,
                 command = function() LaunchGameLink(n) end,
                 UiPicture(kIcons[n], 6, 5, 48, 48) },
        Text { name = "descrip" .. n, label = "#", factory = "linktext", font = entryFont, x = 210, y = y, w = 440, h = 56,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

MakeDialog {
    Window { name = "moregamesscreen", w = 800, h = 600,
        MenuScene(false),
        UiPicture("ui/menu/page", 60, 20, 680, 460, "moregamespanel"),
        Text { name = "moregamestitle", label = "moregames_title", font = kUiTitleFont, x = 90, y = 26, w = 620,
               h = 44, flags = kHAlignCenter + kVAlignCenter },
        XSellWindow { name = "xsell", x = 0, y = 0, w = 800, h = 600,
            Entry(1), Entry(2), Entry(3),
            Text { name = "centertext1", label = "#", font = lineFont, x = 120, y = 346, w = 560, h = 30,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "centertext2", label = "#", font = entryFont, x = 120, y = 378, w = 560, h = 26,
                   flags = kHAlignCenter + kVAlignCenter },
            UiButton { name = "gamesite", label = "moregames_site", x = 400, y = 440,
                       command = function() LaunchGameLink(0) end },
        },
        UiButton { name = "back", label = "back", close = true, x = 308, y = 510 },
    }
}
SetupXSell()
