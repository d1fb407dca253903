-- Before each level: what the level asks of the player. The game window
-- opens this screen, fills the texts and slides the panel in; "Let's play"
-- slides it away and the game clock runs again.
ReadFile("scripts/ui.lua")

local titleFont = { "fonts/corona.mvec", 30, kUiInk }
local goalFont = { "fonts/corona.mvec", 22, kUiInk }

MakeDialog {
    LevelIntro { name = "levelintrowin", w = 800, h = 600,
        Window { name = "introbackground", x = 140, y = 121, w = 520, h = 358,
            UiPicture("ui/kit/dialog", 0, 0, 520, 358, "introframe"),
            Text { name = "introtitle", label = "intro_title", font = kUiTitleFont, x = 30, y = 6, w = 460, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "careerintro", label = "#", font = kUiBodyFont, x = 40, y = 64, w = 440, h = 110,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "endlessshiftintro", label = "endlessshiftintro", font = kUiBodyFont, x = 40, y = 64,
                   w = 440, h = 110, flags = kHAlignCenter + kVAlignCenter },
            Text { name = "goal", label = "#", font = goalFont, x = 40, y = 180, w = 440, h = 30,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "expert", label = "#", font = goalFont, x = 40, y = 212, w = 440, h = 30,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "tutoriallevel", label = "tutoriallevel", font = goalFont, x = 40, y = 180, w = 440, h = 62,
                   flags = kHAlignCenter + kVAlignCenter },
            Doodle { name = "doodle", x = 0, y = 0, w = 1, h = 1 },
            UiButton { name = "letsplay", label = "letsplay", x = 168, y = 258,
                       command = function() PauseGame(false) end },
        },
    }
}
