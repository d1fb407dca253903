-- A new player's name. OK appears once something is typed; the name is
-- stored only when it is not one of the other players' names.
ReadFile("scripts/menuscene.lua")

-- The longest name, in characters: it fits the field, the player buttons
-- and the greeting on one line.
local kNameLength = 12

local function Enter()
    local name = GetLabel("nameedit")
    if name == "" then
        return
    end
    if IsNameInUse(name) then
        SetLabel("nameerror", GetString("entername_inuse", name))
        return
    end
    CreateNewUser(name)
    CloseWindow()
end

MakeDialog {
    Window { name = "enternamescreen", w = 800, h = 600,
        MenuScene(false),
        EnterNameWindow { name = "entername", x = 140, y = 121, w = 520, h = 358,
            UiPicture("ui/kit/dialog", 0, 0, 520, 358, "dialogframe"),
            Text { name = "title", label = "entername_title", font = kUiTitleFont, x = 30, y = 6, w = 460, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "prompt", label = "entername_prompt", font = kUiBodyFont, x = 50, y = 74, w = 420, h = 56,
                   flags = kHAlignCenter + kVAlignCenter },
            -- The field holds the longest name it takes (kNameLength of the
            -- widest letters); the count below it says how much is used.
            Window { name = "namebox", x = 110, y = 136, w = 300, h = 52,
                UiFill(0, 0, 300, 52, { 0.23, 0.16, 0.20 }),
                UiFill(2, 2, 296, 48, { 1.00, 0.99, 0.96 }),
                TextEdit { name = "nameedit", label = "", font = { "fonts/default.mvec", 26, kUiInk },
                           x = 12, y = 4, w = 276, h = 44, length = kNameLength,
                           flags = kHAlignLeft + kVAlignCenter },
            },
            Text { name = "namecount", label = "#", font = { "fonts/default.mvec", 15, kUiMuted },
                   x = 110, y = 190, w = 300, h = 22, flags = kHAlignRight + kVAlignCenter },
            Text { name = "namefull", label = "#", font = { "fonts/default.mvec", 15, kUiWarning },
                   x = 110, y = 190, w = 300, h = 22, flags = kHAlignRight + kVAlignCenter },
            Text { name = "nameerror", label = "#", font = { "fonts/default.mvec", 16, kUiWarning },
                   x = 40, y = 212, w = 440, h = 40, flags = kHAlignCenter + kVAlignCenter },
            UiButton { name = "enterok", label = "ok", x = 60, y = 258, default = true, command = Enter },
            UiButton { name = "entercancel", label = "cancel", x = 276, y = 258, close = true },
            Window { name = "advanced", x = 0, y = 0, w = 1, h = 1 },
            Window { name = "advancedtip", x = 0, y = 0, w = 1, h = 1 },
            SetFocus("nameedit"),
        },
    }
}
