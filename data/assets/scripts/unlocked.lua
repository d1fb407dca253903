-- What the last level opened: new levels and outfits, with the outfits'
-- icons in their colours.
ReadFile("scripts/ui.lua")

MakeDialog {
    Window { name = "unlockshade", w = 800, h = 600,
        Window { name = "unlockpanel", x = kCenter, y = kCenter, w = 520, h = 358,
            UiPicture("ui/kit/dialog", 0, 0, 520, 358, "frame"),
            Text { name = "title", label = "unlock_title", font = kUiTitleFont, x = 30, y = 6, w = 460, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            UnlockWindow { name = "unlocks", x = 40, y = 60, w = 440, h = 80,
                Text { name = "body", label = "#", font = kUiBodyFont, w = 440, h = 80,
                       flags = kHAlignCenter + kVAlignCenter },
            },
            ClothingUnlocked { name = "clothes", x = 40, y = 140, w = 440, h = 120,
                Bitmap { name = "icon0", x = 26, y = 0, w = 64, h = 64 },
                Bitmap { name = "icon1", x = 136, y = 0, w = 64, h = 64 },
                Bitmap { name = "icon2", x = 246, y = 0, w = 64, h = 64 },
                Bitmap { name = "icon3", x = 356, y = 0, w = 64, h = 64 },
                Text { name = "name0", label = "#", font = { "fonts/default.mvec", 15, kUiInk }, x = 0, y = 68, w = 110, h = 40, flags = kHAlignCenter },
                Text { name = "name1", label = "#", font = { "fonts/default.mvec", 15, kUiInk }, x = 110, y = 68, w = 110, h = 40, flags = kHAlignCenter },
                Text { name = "name2", label = "#", font = { "fonts/default.mvec", 15, kUiInk }, x = 220, y = 68, w = 110, h = 40, flags = kHAlignCenter },
                Text { name = "name3", label = "#", font = { "fonts/default.mvec", 15, kUiInk }, x = 330, y = 68, w = 110, h = 40, flags = kHAlignCenter },
            },
            UiButton { name = "ok", label = "ok", close = true, x = 168, y = 270 },
        },
    }
}
