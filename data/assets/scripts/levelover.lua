-- After each level: the results counted up one after another, then the way
-- on (next level, try again, or leave).
ReadFile("scripts/ui.lua")

local rowFont = { "fonts/corona.mvec", 22, kUiInk }

local function Row(label, name, y)
    return Window { name = name .. "row", x = 60, y = y, w = 400, h = 30,
        Text { name = name .. "label", label = label, font = kUiBodyFont, x = 0, y = 0, w = 240, h = 30,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

local function Value(name, y)
    return Text { name = name, label = "#", font = rowFont, x = 300, y = y, w = 160, h = 30,
                  flags = kHAlignRight + kVAlignCenter }
end

MakeDialog {
    Window { name = "overshade", w = 800, h = 600,
        Window { name = "overbackground", x = 140, y = 60, w = 520, h = 480,
            UiPicture("ui/overboard", 0, 0, 520, 480, "overframe"),
            LevelOver { name = "leveloverwin", x = 0, y = 0, w = 520, h = 480,
                Text { name = "overtitle", label = "levelover_title", font = kUiTitleFont, x = 30, y = 6, w = 460,
                       h = 44, flags = kHAlignCenter + kVAlignCenter },
                Text { name = "level", label = "#", font = kUiTitleFont, x = 420, y = 6, w = 70, h = 44,
                       flags = kHAlignRight + kVAlignCenter },
                Text { name = "levelinfo", label = "#", font = kUiBodyFont, x = 40, y = 60, w = 440, h = 70,
                       flags = kHAlignCenter + kVAlignCenter },
                Row("over_served", "served", 140), Value("served", 140),
                Row("over_lost", "lost", 172), Value("lost", 172),
                Row("over_levelscore", "levelscore", 204), Value("levelscore", 204),
                Row("over_totalscore", "totalscore", 236), Value("score", 236),
                Text { name = "levelmoney", label = "#", font = kUiBodyFont, x = 60, y = 268, w = 400, h = 30,
                       flags = kHAlignRight + kVAlignCenter },
                Bitmap { name = "expert", image = "ui/expert_badge", x = 40, y = 300, w = 64, h = 64 },
                Text { name = "experttext", label = "over_expert", font = rowFont, x = 110, y = 316, w = 300, h = 30,
                       flags = kHAlignLeft + kVAlignCenter },
                Bitmap { name = "quessawin", image = "ui/over_win", x = 420, y = 290, w = 80, h = 80 },
                Bitmap { name = "quessalose", image = "ui/over_lose", x = 420, y = 290, w = 80, h = 80 },
                UiButton { name = "continue", label = "over_continue", x = 168, y = 396,
                           command = function() GoToNextLevel() end },
                UiButton { name = "tryagain", label = "over_tryagain", x = 64, y = 396,
                           command = function() RestartLevel() end },
                UiButton { name = "quit", label = "over_quit", x = 272, y = 396,
                           command = function() DoPopModal() LeaveGame() end },
                -- A new personal best (endless shifts only, where no expert
                -- badge shows): the way to the score table.
                Text { name = "highscoretext", label = "over_newbest", font = rowFont, x = 40, y = 300, w = 370,
                       h = 30, flags = kHAlignLeft + kVAlignCenter },
                UiButton { name = "highscorebutton", label = "over_hiscores", x = 168, y = 336,
                           command = function() DoModal("scripts/hiscore.lua") end },
            },
        },
    }
}
