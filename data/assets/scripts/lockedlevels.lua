-- The extra level packs found on disk: five slots, each with its title,
-- description and state. A ready pack's button returns its level file.
ReadFile("scripts/ui.lua")

local function Slot(k)
    local y = 100 + (k - 1) * 82
    return Window { name = "slot_" .. k, x = 100, y = y, w = 600, h = 76,
        UiPicture("ui/kit/panel_small", 0, 0, 600, 76),
        Text { name = "leveltext_" .. k, label = "#", font = kUiBodyFont, x = 16, y = 6, w = 360, h = 28 },
        Text { name = "descriptiontext_" .. k, label = "#", font = { "fonts/default.mvec", 15, kUiInk }, x = 16,
               y = 36, w = 360, h = 34 },
        Text { name = "statustext_" .. k, label = "#", font = kUiBodyFont, x = 380, y = 6, w = 100, h = 64,
               flags = kHAlignCenter + kVAlignCenter },
        UiButton { name = "gamebutton_" .. k, label = "map_play", x = 406, y = 9,
                   command = function()
                       if not IsButtonLocked(k - 1) then
                           gPackFile = GetFullLevelName(k - 1)
                           ModalReturn("pack")
                           PostMessage(CreateNamedMessage(kCloseWindow, gPacksId))
                       end
                   end },
    }
end

gPackFile = nil
gPacksId = CreateCloseMessage().name
MakeDialog {
    Window { name = "packsscreen", w = 800, h = 600,
        UiPicture("map/background", 0, 0, 800, 600, "background"),
        LockedLevels { name = "packs", w = 800, h = 600,
            Text { name = "title", label = "packs_title", font = kUiTitleFont, x = 200, y = 40, w = 400, h = 50,
                   flags = kHAlignCenter + kVAlignCenter },
            Slot(1), Slot(2), Slot(3), Slot(4), Slot(5),
            UiButton { name = "back", label = "map_back", close = true, x = 308, y = 530 },
        },
    }
}
