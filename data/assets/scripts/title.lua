-- The title screen: the game's logo over the sea, a word of welcome, Quit.
local sky = { 0.14, 0.22, 0.37 }   -- the cruise ship's navy
local sea = { 0.25, 0.61, 0.77 }
local deep = { 0.18, 0.47, 0.62 }
local foam = { 0.80, 0.92, 0.96 }

MakeDialog {
    Window { name = "titlescreen", w = 800, h = 600,
        UiFill(0, 0, 800, 600, sky, "sky"),
        UiFill(0, 440, 800, 160, sea, "sea"),
        UiFill(0, 520, 800, 80, deep),
        UiFill(60, 470, 120, 4, foam), UiFill(610, 480, 130, 4, foam),
        UiFill(110, 548, 90, 4, foam), UiFill(560, 565, 140, 4, foam),
        UiPicture("ui/kit/logo", 120, 50, 560, 170, "logo"),
        Window { name = "welcomepanel", x = 286, y = 250, w = 228, h = 150,
            UiPicture("ui/kit/panel_small", 0, 0, 228, 150),
            Text { name = "welcome", label = "title_welcome", font = kUiBodyFont, x = 16, y = 14, w = 196, h = 112,
                   flags = kHAlignCenter + kVAlignCenter },
        },
        UiButton { name = "quit", label = "title_quit", close = true, x = 308, y = 420 },
        Text { name = "version", label = "#", font = kUiSmallFont, x = 600, y = 572, w = 190, h = 20,
               flags = kHAlignRight + kVAlignCenter },
    }
}
SetVersion()
