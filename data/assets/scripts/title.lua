-- The title screen: the game's name on a panel over the sea, and Quit.
local sky = { 0.11, 0.21, 0.34 }
local sea = { 0.13, 0.40, 0.52 }
local foam = { 0.55, 0.78, 0.84 }

MakeDialog {
    Window { name = "titlescreen", w = 800, h = 600,
        UiFill(0, 0, 800, 600, sky, "sky"),
        UiFill(0, 430, 800, 170, sea, "sea"),
        UiFill(60, 462, 120, 4, foam), UiFill(300, 500, 160, 4, foam), UiFill(580, 470, 140, 4, foam),
        UiFill(120, 545, 90, 4, foam), UiFill(470, 560, 130, 4, foam),
        UiPanel { name = "titlepanel", x = 130, y = 80, w = 540, h = 300,
            Text { name = "titlename", label = "title_name", font = kUiTitleFont, x = 20, y = 40, w = 500, h = 80,
                   flags = kHAlignCenter + kVAlignCenter },
            UiFill(170, 130, 200, 5, kUiAccent),
            Text { name = "tagline", label = "title_tagline", font = kUiBodyFont, x = 40, y = 160, w = 460, h = 60,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "welcome", label = "title_welcome", font = kUiBodyFont, x = 40, y = 225, w = 460, h = 40,
                   flags = kHAlignCenter + kVAlignCenter },
        },
        UiButton { name = "quit", label = "title_quit", close = true, x = 310, y = 400, w = 180, h = 52 },
        Text { name = "version", label = "#", font = kUiSmallFont, x = 600, y = 572, w = 190, h = 20,
               flags = kHAlignRight + kVAlignCenter },
    }
}
SetVersion()
