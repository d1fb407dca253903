-- Quessa's corner: the heroine's own page, opened from under the main
-- menu's panels. Her tips from the floor, and links to our other games and
-- to how we treat the player's data (a link runs the button it names).
ReadFile("scripts/menuscene.lua")

local tipFont = { "fonts/default.mvec", 17, kUiInk }
local linkFont = { "fonts/default.mvec", 16, kUiInk }

-- The colour tip waves the chairs' pennants, the expert tip wears the
-- crown the map marks an expert level with; the others wear a star.
local function TipIcon(k, y)
    if k == 1 then
        return AnimWindow { name = "tipicon1", anim = "ui/chairflags.anm", script = "DoAnim", x = 270, y = y + 42 }
    end
    return UiPicture(k == 4 and "ui/kit/icon_crown" or "ui/kit/icon_star", 250, y + 2, 48, 48, "tipicon" .. k)
end

local function Tip(k, y)
    return Group {
        TipIcon(k, y),
        Text { name = "tip" .. k, label = "corner_tip" .. k, font = tipFont, x = 306, y = y, w = 370, h = 54,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

local links = "<u><font color=\"003cff\"><a id='cornermore'>" .. GetString("corner_more") .. "</a></font></u>"
    .. "      <u><font color=\"003cff\"><a id='cornerprivacy'>" .. GetString("corner_privacy") .. "</a></font></u>"

MakeDialog {
    Window { name = "cornerscreen", w = 800, h = 600,
        MenuScene(false, true),
        UiPicture("ui/menu/page", 60, 20, 680, 460, "cornerpanel"),
        Text { name = "cornertitle", label = "corner_title", font = kUiTitleFont, x = 90, y = 26, w = 620, h = 44,
               flags = kHAlignCenter + kVAlignCenter },
        -- She stands by the panel, facing the player (her idle pose).
        QuessaWindow { name = "cornerquessa", x = 150, y = 400, frame = 0, flip = true },
        Tip(1, 100), Tip(2, 166), Tip(3, 232), Tip(4, 298),
        Text { name = "cornerlinks", label = "#" .. links, factory = "linktext", font = linkFont, x = 250, y = 376,
               w = 430, h = 30, flags = kHAlignCenter + kVAlignCenter },
        Window { name = "cornercommands", x = 0, y = 0, w = 1, h = 1,
            Button { name = "cornermore", x = 0, y = 0, w = 1, h = 1,
                     command = function() DoModal("scripts/moregames.lua") end },
            Button { name = "cornerprivacy", x = 0, y = 0, w = 1, h = 1,
                     command = function() LaunchPrivacyPolicy() end },
        },
        UiButton { name = "back", label = "back", close = true, x = 308, y = 506 },
    }
}
