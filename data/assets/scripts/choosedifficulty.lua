-- Before an endless game: how busy the restaurant should be. The map opens
-- it over itself when a restaurant is clicked; each choice sets endless mode
-- with its difficulty (0 easy, 1 medium, 2 hard), closes this screen and
-- the map, which answers "play" (the map script's gMapId names it). Back
-- returns to the map.
local w, h = 520, 358

local function Choice(name, label, level, y)
    return UiButton { name = name, label = label, x = (w - 184) / 2, y = y,
                      command = function()
                          SetCurrentLevel(level)
                          SetCurrentGameMode(1)
                          DoPopModal()
                          ModalReturn("play")
                          PostMessage(CreateNamedMessage(kCloseWindow, gMapId))
                      end }
end

MakeDialog {
    Window { name = "dialogshade", w = 800, h = 600,
        Window { name = "dialogpanel", x = kCenter, y = kCenter, w = w, h = h,
            UiPicture("ui/kit/dialog", 0, 0, w, h, "dialogframe"),
            Text { name = "title", label = "choosedifficulty_title", font = kUiTitleFont, x = 30, y = 6, w = w - 60,
                   h = 44, flags = kHAlignCenter + kVAlignCenter },
            Text { name = "body", label = "choosedifficulty_body", font = kUiBodyFont, x = 40, y = 56, w = w - 80,
                   h = 40, flags = kHAlignCenter + kVAlignCenter },
            Choice("easy", "difficulty_easy", 0, 100),
            Choice("medium", "difficulty_medium", 1, 162),
            Choice("hard", "difficulty_hard", 2, 224),
            -- Back in the panel, under the choices: below it, it would cover the map's caption.
            UiButton { name = "back", label = "difficulty_back", close = true, x = (w - 184) / 2, y = 286 },
        },
    }
}
