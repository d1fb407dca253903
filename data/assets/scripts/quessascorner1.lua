-- Quessa's corner: the heroine's own page, opened from under the main
-- menu's panels. Her tips from the floor, and links to our other games and
-- to how we treat the player's data (a link runs the button it names).
ReadFile("scripts/menuscene.lua")

local tipFont = { "fonts/default.mvec", 17, kUiInk }
local linkFont = { "fonts/default.mvec", 16, kUiInk }

local function Tip(k, y)
    return Group {
        UiPicture("ui/kit/icon_star", 250, y + 2, 48, 48, "tipicon" .. k),
        Text { name = "tip" .. k, label = "corner_tip" .. k, font = tipFont, x = 306, y = y, w = 370, h = 54,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

local links = "<u><font color=\"003cff\"><a id='cornermore'>" .. GetString("corner_more") .. "</a></font></u>"
    .. "      <u><font color=\"003cff\"><a id='cornerprivacy'>" .. GetString("corner_privacy") .. "</a></font></u>"

MakeDialog {
    Window { name = "cornerscreen", w = 800, h = 600,
        MenuScene(false, true),
        MenuPanel("cornerpanel", 60, 40, 680, 410, "corner_title", {}),
        -- She leans on the panel, looking at her tips.
        QuessaWindow { name = "cornerquessa", x = 150, y = 420 },
        Tip(1, 110), Tip(2, 176), Tip(3, 242), Tip(4, 308),
        Text { name = "cornerlinks", label = "#" .. links, factory = "linktext", font = linkFont, x = 250, y = 380,
               w = 430, h = 30, flags = kHAlignCenter + kVAlignCenter },
        Window { name = "cornercommands", x = 0, y = 0, w = 1, h = 1,
            Button { name = "cornermore", x = 0, y = 0, w = 1, h = 1,
                     command = function() DoModal("scripts/moregames.lua") end },
            Button { name = "cornerprivacy", x = 0, y = 0, w = 1, h = 1,
                     command = function() LaunchPrivacyPolicy() end },
        },
        UiButton { name = "back", label = "back", close = true, x = 308, y = 500 },
    }
}
