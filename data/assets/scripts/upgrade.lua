-- The upgrade screen between endless shifts: three offers as cards (the
-- picker draws them), the title of each under it, the description of the
-- one pointed at, what the restaurant has so far, and "continue" once one
-- is chosen. The game fills the offers (SetupUpgradeScreen); continue buys
-- the chosen one (ActivateUpgrade) and closes the screen.
local wall = { 0.96, 0.86, 0.70 }
local floor = { 0.55, 0.34, 0.22 }
local stripe = { 0.91, 0.78, 0.60 }

local function OfferTitle(k)
    return Text { name = "item" .. k, label = "#", font = { "fonts/default.mvec", 18, kUiInk },
                  x = 200 + 150 * (k - 1) - 72, y = 258, w = 144, h = 44, flags = kHAlignCenter + kVAlignTop }
end

local function BoughtLine(name, y)
    return Text { name = name, label = "#", font = { "fonts/default.mvec", 15, kUiInk },
                  x = 24, y = y, w = 170, h = 20, flags = kHAlignLeft + kVAlignCenter }
end

MakeDialog {
    Window { name = "upgradescreen", w = 800, h = 600,
        UiFill(0, 0, 800, 600, wall),
        UiFill(0, 60, 800, 8, stripe), UiFill(0, 500, 800, 100, floor),
        UiFill(0, 496, 800, 4, { 0.36, 0.22, 0.15 }),
        Window { name = "titleband", x = 125, y = 14, w = 520, h = 60,
            UiPicture("ui/screens/title_band", 0, 0, 520, 58),
            Text { name = "title", label = "upgrade_title", font = kUiTitleFont, x = 20, y = 4, w = 480, h = 48,
                   flags = kHAlignCenter + kVAlignCenter },
        },
        -- Sparkles at both ends of the title: something new for the restaurant.
        AnimWindow { name = "sparkleleft", anim = "ui/upgradeanim.anm", script = "DoAnim", x = 110, y = 44 },
        AnimWindow { name = "sparkleright", anim = "ui/upgradeanim.anm", script = "DoAnim", x = 660, y = 44 },
        UpgradePicker { name = "upgradepicker", x = 0, y = 0, w = 800, h = 600,
            OfferTitle(1), OfferTitle(2), OfferTitle(3),
            Window { name = "descripframe", x = 110, y = 316, w = 338, h = 160,
                UiPicture("ui/screens/upgrade_descrip", 0, 0, 338, 160),
                Text { name = "descrip", label = "#", font = { "fonts/default.mvec", 18, kUiInk },
                       x = 20, y = 14, w = 290, h = 116, flags = kHAlignCenter + kVAlignCenter },
            },
            Window { name = "boughtframe", x = 590, y = 96, w = 208, h = 280,
                UiPicture("ui/screens/upgrade_bought", 0, 0, 208, 280),
                Text { name = "boughttitle", label = "upgrade_sofar", font = { "fonts/corona.mvec", 20, kUiInk },
                       x = 14, y = 10, w = 172, h = 30, flags = kHAlignCenter + kVAlignCenter },
                BoughtLine("shoes", 46), BoughtLine("oven", 74), BoughtLine("drinks", 102),
                BoughtLine("podium", 130), BoughtLine("bench", 158), BoughtLine("stereo", 186),
                BoughtLine("heatlamp", 214),
            },
            UiButton { name = "continue", label = "upgrade_continue", x = 486, y = 410,
                       command = function() ActivateUpgrade() CloseWindow("continue") end },
        },
        Text { name = "hint", label = "upgrade_hint", font = { "fonts/default.mvec", 16, kUiLight, 2, kUiInk },
               x = 60, y = 530, w = 680, h = 40, flags = kHAlignCenter + kVAlignCenter },
    }
}
SetupUpgradeScreen()
