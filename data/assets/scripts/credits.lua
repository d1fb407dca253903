-- The credits: the team and its tools, scrolling without end over the sea.
ReadFile("scripts/ui.lua")

MakeDialog {
    Window { name = "creditsscreen", w = 800, h = 600,
        SpriteWindow { name = "background", image = "map/background", fittoparent = true },
        UiFill(30, 50, 740, 470, { 0.98, 0.94, 0.86 }, "paper"),
        Text { name = "title", label = "credits_title", font = { "fonts/corona.mvec", 32, kUiInk }, x = 200, y = 66, w = 400, h = 50,
               flags = kHAlignCenter + kVAlignCenter },
        CreditsWindow { name = "credits", w = 800, h = 600, file = "assets/credits.txt", font = "fonts/default.mvec",
                        fontsize = 20, fontcolor = kUiInk, headercolor = kUiLink },
        UiButton { name = "back", label = "map_back", close = true, x = 308, y = 534 },
    }
}
