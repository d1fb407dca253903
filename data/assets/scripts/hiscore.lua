-- The hiscore screen: the player's best scores of the chosen game mode (the
-- four modes step with the arrows), the world's lists by category from the
-- score server, and sending the best unsent score. The screen's class
-- (HiscoreWindow) shows and hides what fits its state; texts it fills start
-- empty here.
local sky = { 0.14, 0.22, 0.37 }
local deep = { 0.10, 0.16, 0.28 }
local small = { "fonts/default.mvec", 16, kUiInk }
local body = { "fonts/default.mvec", 18, kUiInk }
local head = { "fonts/corona.mvec", 22, kUiInk }
local rowFont = { "fonts/default.mvec", 19, kUiInk }

-- A round kit button with an icon of the kit on it.
local function ArrowButton(name, icon, x, y)
    return Button { name = name, graphics = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed",
                                              "ui/kit/roundbutton_hover" },
                    x = x, y = y, w = 60, h = 62,
                    UiPicture("ui/kit/icon_" .. icon, 4, 3, 48, 48) }
end

local function Row(i)
    return Window { name = "row" .. i, x = 20, y = 34 * (i - 1), w = 460, h = 34,
        Text { name = tostring(i), label = "#", font = rowFont, x = 0, y = 0, w = 44, h = 34,
               flags = kHAlignRight + kVAlignCenter },
        Bitmap { name = "p1_" .. i, image = "ui/kit/icon_star", x = 50, y = 4, w = 26, h = 26, scale = 26 / 48 },
        Text { name = "name" .. i, label = "#", font = rowFont, x = 80, y = 0, w = 220, h = 34,
               flags = kHAlignLeft + kVAlignCenter },
        Text { name = "level" .. i, label = "#", font = rowFont, x = 300, y = 0, w = 60, h = 34,
               flags = kHAlignCenter + kVAlignCenter },
        Text { name = "score" .. i, label = "#", font = rowFont, x = 360, y = 0, w = 96, h = 34,
               flags = kHAlignRight + kVAlignCenter },
    }
end

local function SideText(name, label, y, h, font)
    return Text { name = name, label = label, font = font or body, x = 18, y = y, w = 194, h = h,
                  flags = kHAlignCenter + kVAlignCenter }
end

local tableRows = {}
for i = 1, 10 do
    table.insert(tableRows, Row(i))
end

MakeDialog {
    HiscoreWindow { name = "hiscore", w = 800, h = 600,
        UiFill(0, 0, 800, 600, sky),
        UiFill(0, 560, 800, 40, deep),
        Window { name = "titleband", x = 140, y = 8, w = 520, h = 58,
            UiPicture("ui/screens/title_band", 0, 0, 520, 58),
            Text { name = "title", label = "hiscore_title", font = kUiTitleFont, x = 20, y = 4, w = 480, h = 46,
                   flags = kHAlignCenter + kVAlignCenter },
        },
        Window { name = "tablepanel", x = 24, y = 78, w = 508, h = 450,
            UiPicture("ui/screens/hiscore_table", 0, 0, 508, 450),
            Text { name = "gamemode", label = "#", font = head, x = 80, y = 6, w = 340, h = 30,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "local", label = "local", font = small, x = 80, y = 32, w = 340, h = 22,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "topplayers", label = "topplayers", font = small, x = 80, y = 32, w = 340, h = 22,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "global", label = "global", font = small, x = 80, y = 32, w = 160, h = 22,
                   flags = kHAlignLeft + kVAlignCenter },
            Text { name = "category", label = "#", font = small, x = 240, y = 32, w = 180, h = 22,
                   flags = kHAlignRight + kVAlignCenter },
            -- The table's column headings, over the rows' columns (rows start at x 20).
            Text { name = "rankhead", label = "hiscore_rank", font = small, x = 8, y = 52, w = 56, h = 20,
                   flags = kHAlignRight + kVAlignCenter },
            Text { name = "levelhead", label = "hiscore_level", font = small, x = 310, y = 52, w = 80, h = 20,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "namehead", label = "hiscore_name", font = small, x = 100, y = 52, w = 200, h = 20,
                   flags = kHAlignLeft + kVAlignCenter },
            Text { name = "scorehead", label = "hiscore_score", font = small, x = 380, y = 52, w = 96, h = 20,
                   flags = kHAlignRight + kVAlignCenter },
            Window { name = "rows", x = 0, y = 72, w = 508, h = 340, unpack(tableRows) },
            Text { name = "server", label = "server", font = body, x = 40, y = 180, w = 420, h = 60,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "error", label = "#", font = body, x = 40, y = 150, w = 420, h = 140,
                   flags = kHAlignCenter + kVAlignCenter },
        },
        -- The game mode's arrows stand over the panel's top corners, above
        -- the column headings (the right one would cover "Score").
        ArrowButton("gamemodeleft", "left", 38, 70),
        ArrowButton("gamemoderight", "right", 456, 70),
        -- The cup stands where either side panel hides it: it shows when the
        -- scores are local only (no panel).
        Bitmap { name = "trophy", image = "ui/screens/trophy", x = 587, y = 91, w = 160, h = 184, scale = 0.8 },
        Window { name = "rightpanel", x = 548, y = 78, w = 238, h = 450,
            UiPicture("ui/screens/hiscore_side", 0, 0, 238, 450),
            SideText("info", "info", 16, 120),
            SideText("eligible", "eligible", 140, 44),
            SideText("eligibleasterisk", "eligibleasterisk", 184, 24, head),
        },
        Window { name = "rightpanelsmall", x = 548, y = 78, w = 238, h = 210,
            UiPicture("ui/screens/hiscore_side_small", 0, 0, 238, 210),
            SideText("congratulations", "congratulations", 16, 100),
            SideText("dnq", "dnq", 16, 100),
            SideText("yourrank", "#", 16, 100),
            SideText("yourrankglobalinfo", "yourrankglobalinfo", 16, 100),
            SideText("rankvalue", "#", 120, 60, head),
        },
        ArrowButton("categoryleft", "left", 570, 300),
        ArrowButton("categoryright", "right", 704, 300),
        ArrowButton("scrollup", "left", 200, 532),
        ArrowButton("scrolldown", "right", 296, 532),
        UiButton { name = "view", label = "hiscore_view", x = 575, y = 300 },
        UiButton { name = "submit", label = "hiscore_submit", x = 575, y = 362 },
        UiButton { name = "moreinfo", label = "hiscore_moreinfo", x = 575, y = 424 },
        UiButton { name = "viewlocal", label = "hiscore_viewlocal", x = 575, y = 372 },
        UiButton { name = "back", label = "hiscore_back", close = true, x = 575, y = 532 },
    }
}
