-- The extra levels: the packs found on disk (five slots, each with its
-- title, description and state; a ready pack's button plays it), and below
-- them the levels the player has downloaded into their own folder. A Play
-- button closes this screen with "pack" and leaves the chosen file in
-- gPackFile (its intro text in gPackDescription) for the career script.
ReadFile("scripts/ui.lua")

local small = { "fonts/default.mvec", 14, kUiInk }

gPacksId = CreateCloseMessage().name

local function Choose(file, description)
    gPackFile = file
    gPackDescription = description
    ModalReturn("pack")
    PostMessage(CreateNamedMessage(kCloseWindow, gPacksId))
end

local function Slot(k)
    local y = 70 + (k - 1) * 64
    return Window { name = "slot_" .. k, x = 100, y = y, w = 600, h = 60,
        UiPicture("ui/kit/panel_small", 0, 0, 600, 60),
        Text { name = "leveltext_" .. k, label = "#", font = kUiBodyFont, x = 16, y = 4, w = 360, h = 24 },
        Text { name = "descriptiontext_" .. k, label = "#", font = small, x = 16, y = 28, w = 380, h = 30 },
        Text { name = "statustext_" .. k, label = "#", font = kUiBodyFont, x = 380, y = 0, w = 100, h = 60,
               flags = kHAlignCenter + kVAlignCenter },
        UiButton { name = "gamebutton_" .. k, label = "map_play", x = 406, y = 1,
                   command = function()
                       if not IsButtonLocked(k - 1) then
                           Choose(GetFullLevelName(k - 1), GetDescription(k - 1))
                       end
                   end },
    }
end

local function Download(k)
    local y = 428 + (k - 1) * 50
    return Window { name = "download_" .. k, x = 100, y = y, w = 600, h = 46,
        UiPicture("ui/kit/panel_small", 0, 0, 600, 46),
        Text { name = "downloadtext_" .. k, label = "#", font = kUiBodyFont, x = 16, y = 0, w = 380, h = 46,
               flags = kHAlignLeft + kVAlignCenter },
        UiButton { name = "downloadbutton_" .. k, label = "map_play", x = 406, y = -6,
                   command = function()
                       Choose(GetDownloadedLevelName(k - 1), GetDownloadedLevelDescription(k - 1))
                   end },
    }
end

MakeDialog {
    Window { name = "packsscreen", w = 800, h = 600,
        UiPicture("map/background", 0, 0, 800, 600, "background"),
        LockedLevels { name = "packs", w = 800, h = 600,
            Text { name = "title", label = "packs_title", font = kUiTitleFont, x = 200, y = 20, w = 400, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Slot(1), Slot(2), Slot(3), Slot(4), Slot(5),
            Text { name = "downloadstitle", label = "packs_downloaded", font = kUiTitleFont, x = 200, y = 392,
                   w = 400, h = 34, flags = kHAlignCenter + kVAlignCenter },
            Download(1), Download(2),
            UiButton { name = "back", label = "map_back", close = true, x = 308, y = 534 },
        },
    }
}

-- Rows for the downloaded levels there are, up to two.
local downloads = GetNumDownloadedLevels()
for k = 1, 2 do
    if k <= downloads then
        SetLabel("downloadtext_" .. k, GetDownloadedLevelTitle(k - 1))
    else
        DestroyWindow("download_" .. k)
    end
end
if downloads == 0 then
    DestroyWindow("downloadstitle")
end
