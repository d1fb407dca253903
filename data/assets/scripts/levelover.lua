-- After each level: the verdict, then the results glide into their rows one
-- after another, then the way on. A career board: parties served and walked
-- out (with the points the walk-outs cost), the level's score, the total, the
-- cash (with a bonus the level paid), the expert mark; "Continue" after a
-- win, "Try again" after a loss, and the map either way. An endless board: served, walked out, the shift's score and
-- its entry in the best scores; a new personal best is announced with the
-- way to the best scores. The game shows the rows its mode needs.
ReadFile("scripts/ui.lua")

local rowFont = { "fonts/corona.mvec", 22, kUiInk }
local smallFont = { "fonts/default.mvec", 16, kUiInk }
local bigFont = { "fonts/corona.mvec", 30, kUiInk }

local kRowX, kRowW = 60, 400
local kRowH = 30

-- A row's label, on the left of the row.
local function Label(name, label, y)
    return Text { name = name, label = label, font = kUiBodyFont, x = kRowX, y = y, w = 240, h = kRowH,
                  flags = kHAlignLeft + kVAlignCenter }
end

-- A row's value, on the right of the row; it glides in from the left.
local function Value(name, y, label)
    return Text { name = name, label = label or "#", font = rowFont, x = kRowX + kRowW - 160, y = y, w = 160,
                  h = kRowH, flags = kHAlignRight + kVAlignCenter }
end

local kServedY, kLostY, kLevelScoreY, kTotalY, kCashY = 132, 162, 192, 222, 252

-- The best scores over the board. Their screen steps through the game modes
-- and difficulties; the shift under the board keeps its own.
local function ShowBestScores()
    local mode, level = GetCurrentGameMode(), GetCurrentLevel()
    DoModal("scripts/hiscore.lua")
    SetCurrentGameMode(mode)
    SetCurrentLevel(level)
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
                -- The verdict: the goal reached or missed, and a word on the level.
                Text { name = "levelinfo", label = "#", font = kUiBodyFont, x = 40, y = 58, w = 440, h = 68,
                       flags = kHAlignCenter + kVAlignCenter },

                Label("servedlabel", "over_served", kServedY), Value("served", kServedY),
                Label("lostlabel", "over_lost", kLostY), Value("lost", kLostY),
                -- What the walk-outs cost, between the row's label and its value.
                Text { name = "lostpoints", label = "#", font = smallFont, x = kRowX + 200, y = kLostY, w = 150,
                       h = kRowH, flags = kHAlignRight + kVAlignCenter },
                Label("levelscorelabel", "over_levelscore", kLevelScoreY),
                -- A lost level: how far it fell short of the goal.
                Text { name = "shortfall", label = "#", font = smallFont, x = kRowX + 130, y = kLevelScoreY, w = 150,
                       h = kRowH, flags = kHAlignRight + kVAlignCenter },
                Value("levelscore", kLevelScoreY),
                -- Career: the total of the best scores; endless: the shift's.
                Label("totalscore", "over_totalscore", kTotalY),
                Label("shiftscorelabel", "over_shiftscore", kTotalY),
                Value("score", kTotalY),
                -- Career: the cash, and the bonus this level paid.
                Label("levelmoneylabel", "over_cash", kCashY),
                Text { name = "levelbonus", label = "#", font = smallFont, x = kRowX + 90, y = kCashY, w = 150,
                       h = kRowH, flags = kHAlignLeft + kVAlignCenter },
                Value("levelmoney", kCashY),
                -- Endless: what went into the best scores.
                Label("levelmoneystrlabel", "over_scoretable", kCashY),
                Value("levelmoneystr", kCashY),

                Bitmap { name = "expert", image = "ui/expert_badge", x = 40, y = 296, w = 64, h = 64 },
                Text { name = "experttext", label = "over_expert", font = rowFont, x = 110, y = 313, w = 280,
                       h = 30, flags = kHAlignLeft + kVAlignCenter },
                -- A new personal best (endless): the news, the score, the way to the table.
                Text { name = "highscoretext", label = "over_newbest", font = rowFont, x = 40, y = 282, w = 360,
                       h = 30, flags = kHAlignLeft + kVAlignCenter },
                Text { name = "levelscorestr", label = "#", font = bigFont, x = 40, y = 316, w = 170, h = 40,
                       flags = kHAlignLeft + kVAlignCenter },
                UiButton { name = "highscorebutton", label = "over_hiscores", x = 216, y = 314,
                           command = ShowBestScores },

                Bitmap { name = "quessawin", image = "ui/over_win", x = 416, y = 288, w = 80, h = 80 },
                Bitmap { name = "quessalose", image = "ui/over_lose", x = 416, y = 288, w = 80, h = 80 },
                UiButton { name = "continue", label = "over_continue", x = 64, y = 396,
                           command = function() GoToNextLevel() end },
                UiButton { name = "tryagain", label = "over_tryagain", x = 64, y = 396,
                           command = function() RestartLevel() end },
                UiButton { name = "quit", label = "over_quit", x = 272, y = 396,
                           command = function() DoPopModal() LeaveGame() end },
            },
        },
    }
}
