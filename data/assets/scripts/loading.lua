-- The loading screen, opened by the main menu the first time in a run: the
-- heroine walks while the preloader fills the bar; the preloader closes
-- this screen itself when everything is loaded.
ReadFile("scripts/menuscene.lua")

MakeDialog {
    Window { name = "loadingscreen", w = 800, h = 600,
        MenuScene(true),
        -- The ship's deck, where she walks while the tables are set.
        UiFill(0, 470, 800, 130, { 0.96, 0.96, 0.97 }, "deck"),
        UiFill(0, 466, 800, 6, { 0.78, 0.60, 0.23 }),
        UiFill(0, 520, 800, 2, { 0.80, 0.82, 0.86 }), UiFill(0, 566, 800, 2, { 0.80, 0.82, 0.86 }),
        Window { name = "loadingpanel", x = 200, y = 250, w = 400, h = 150,
            UiPicture("ui/kit/panel_small", 86, 0, 228, 150),
            Text { name = "loadingtext", label = "loading", font = kUiBodyFont, x = 100, y = 22, w = 200, h = 40,
                   flags = kHAlignCenter + kVAlignCenter },
            Window { name = "progresstrack", x = 116, y = 78, w = 168, h = 18,
                UiFill(0, 0, 168, 18, { 0.92, 0.83, 0.69 }),
                UiFill(0, 0, 18, 18, { 0.91, 0.45, 0.23 }, "progressbar"),
            },
        },
        -- She stands at (225, 250) of the preloader, so on the deck.
        PreLoader { name = "preloader", x = 0, y = 250, w = 800, h = 350 },
    }
}
