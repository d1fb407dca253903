-- The restaurant map: the five career restaurants (and the bonus island)
-- with a marker for every level reached and a padlock for every level still
-- closed. Play starts the chosen level ("play"); Back returns ("back");
-- Extra levels opens the level packs ("lockedlevels"). In endless mode a
-- click on a restaurant asks for the difficulty, which answers "play".
ReadFile("scripts/ui.lua")

local smallFont = { "fonts/default.mvec", 16, kUiInk }
local infoFont = { "fonts/default.mvec", 17, kUiLight, 2, kUiInk }

UnlockLevel(0, 0)  -- a new player's first level is always open
gMapId = CreateCloseMessage().name

MakeDialog {
    Window { name = "mapscreen", w = 800, h = 600,
        UiPicture("map/background", 0, 0, 800, 600, "background"),
        ChooseRestaurant { name = "map", w = 800, h = 600,
            Window { name = "bestscoreimage", x = 564, y = 8, w = 226, h = 76,
                UiPicture("map/scorepanel", 0, 0, 226, 76),
                Text { name = "bestscore", label = "#", font = smallFont, x = 12, y = 6, w = 198, h = 58,
                       flags = kHAlignCenter + kVAlignCenter },
            },
            Text { name = "quessascareer", label = "map_title", font = kUiTitleFont, x = 204, y = 14, w = 260, h = 40,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "careerinfo", label = "map_careerinfo", font = infoFont, x = 198, y = 556, w = 210, h = 40,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "endlessshift", label = "map_endlessshift", font = kUiTitleFont, x = 200, y = 548, w = 400,
                   h = 30, flags = kHAlignCenter + kVAlignCenter },
            Text { name = "endlessinfo", label = "map_endlessinfo", font = infoFont, x = 200, y = 574, w = 400, h = 24,
                   flags = kHAlignCenter + kVAlignCenter },
            UiButton { name = "back", label = "map_back", close = true, x = 12, y = 10 },
            UiButton { name = "lockedlevels", label = "map_packs", close = true, x = 410, y = 540 },
            UiButton { name = "play", label = "map_play", close = true, x = 604, y = 540,
                       command = function() SetupGame() end },
        },
    }
}
FlashRestaurant()
