-- The extra levels, on a page over the map: the packs found on disk (five
-- rows, each with its title, description and state; a ready pack's play
-- button plays it, a locked pack shows a padlock and the level that opens
-- it, and its button says so), and below them the levels the player has downloaded
-- into their own folder (one that cannot be read says why, and has no play
-- button). A play button closes this screen with "pack" and
-- leaves the chosen file in gPackFile (its intro text in gPackDescription)
-- for the career script.
ReadFile("scripts/ui.lua")

local titleFont = { "fonts/corona.mvec", 20, kUiInk }
local small = { "fonts/default.mvec", 14, kUiInk }
local status = { "fonts/default.mvec", 16, kUiLink }
local kRoundLook = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" }

gPacksId = CreateCloseMessage().name

local function Choose(file, description)
    gPackFile = file
    gPackDescription = description
    ModalReturn("pack")
    PostMessage(CreateNamedMessage(kCloseWindow, gPacksId))
end

local function PlayButton(name, y, command)
    return Button { name = name, graphics = kRoundLook, x = 556, y = y, w = 60, h = 62, command = command,
                    UiPicture("ui/kit/icon_right", 6, 5, 48, 48) }
end

-- Over a locked pack's play button: the kit's switched-off round button with
-- a padlock on it. It takes no click: the button below says what opens the
-- pack.
local function LockedButton(name)
    return Window { name = name, x = 556, y = 0, w = 60, h = 62,
                    UiPicture("ui/kit/roundbutton_disabled", 0, 0, 60, 62),
                    UiPicture("ui/kit/icon_lock", 6, 5, 48, 48) }
end

-- A locked pack's button: what opens the pack, as its row says it (or in
-- general words when its rule asks for more than a level).
local function TellWhatOpens(k)
    local hint = GetLabel("unlocktext_" .. k)
    if hint == "" then
        hint = GetString("packlocked_body")
    end
    DisplayDialog { "scripts/ok.lua", title = GetLabel("leveltext_" .. k), body = hint }
end

-- A pack's row: its title and description; its state beside the title and,
-- while it is locked, what opens it beside the description.
local function Slot(k)
    local y = 70 + (k - 1) * 58
    return Window { name = "slot_" .. k, x = 90, y = y, w = 620, h = 58,
        Text { name = "leveltext_" .. k, label = "#", font = titleFont, x = 0, y = 2, w = 420, h = 24,
               flags = kHAlignLeft + kVAlignCenter },
        Text { name = "descriptiontext_" .. k, label = "#", font = small, x = 0, y = 26, w = 430, h = 30 },
        Text { name = "statustext_" .. k, label = "#", font = status, x = 436, y = 2, w = 110, h = 24,
               flags = kHAlignCenter + kVAlignCenter },
        Text { name = "unlocktext_" .. k, label = "#", font = small, x = 436, y = 26, w = 110, h = 32,
               flags = kHAlignCenter + kVAlignTop },
        PlayButton("gamebutton_" .. k, 0, function()
            if IsButtonLocked(k - 1) then
                TellWhatOpens(k)
            else
                Choose(GetFullLevelName(k - 1), GetDescription(k - 1))
            end
        end),
        LockedButton("lockedbutton_" .. k),
    }
end

-- A downloaded level's row: its name and, when it cannot be read, why
-- below it (such a level has no play button).
local function Download(k)
    local y = 392 + (k - 1) * 58
    return Window { name = "download_" .. k, x = 90, y = y, w = 620, h = 58,
        Text { name = "downloadtext_" .. k, label = "#", font = titleFont, x = 0, y = 2, w = 430, h = 24,
               flags = kHAlignLeft + kVAlignCenter },
        Text { name = "downloadproblem_" .. k, label = "#", font = small, x = 0, y = 26, w = 540, h = 30 },
        PlayButton("downloadbutton_" .. k, 0, function()
            Choose(GetDownloadedLevelName(k - 1), GetDownloadedLevelDescription(k - 1))
        end),
    }
end

MakeDialog {
    Window { name = "packsscreen", w = 800, h = 600,
        UiPicture("map/background", 0, 0, 800, 600, "background"),
        UiPicture("ui/menu/page_tall", 60, 6, 680, 510, "page"),
        LockedLevels { name = "packs", w = 800, h = 600,
            Text { name = "title", label = "packs_title", font = kUiTitleFont, x = 200, y = 12, w = 400, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Slot(1), Slot(2), Slot(3), Slot(4), Slot(5),
            Text { name = "downloadstitle", label = "packs_downloaded", font = { "fonts/corona.mvec", 22, kUiInk },
                   x = 90, y = 362, w = 620, h = 30, flags = kHAlignLeft + kVAlignCenter },
            Download(1), Download(2),
            UiButton { name = "back", label = "map_back", close = true, x = 308, y = 532 },
        },
    }
}

-- Rows for the downloaded levels there are, up to two.
local downloads = GetNumDownloadedLevels()
for k = 1, 2 do
    if k <= downloads then
        SetLabel("downloadtext_" .. k, GetDownloadedLevelTitle(k - 1))
        local problem = GetDownloadedLevelProblem(k - 1)
        SetLabel("downloadproblem_" .. k, problem)
        if problem ~= "" then
            DestroyWindow("downloadbutton_" .. k)
        end
    else
        DestroyWindow("download_" .. k)
    end
end
if downloads == 0 then
    DestroyWindow("downloadstitle")
end
