-- The options: effects, music and ambience volumes (heard at once, kept on
-- OK), full screen and mute, and the way to the credits.
ReadFile("scripts/menuscene.lua")

local kCheckLook = { "ui/menu/box_off", "ui/menu/box_on", "ui/menu/box_off", "ui/menu/box_on" }

local function VolumeRow(name, label, y)
    return Group {
        Text { name = name .. "label", label = label, font = kUiBodyFont, x = 40, y = y, w = 170, h = 34,
               flags = kHAlignLeft + kVAlignCenter },
        Slider { name = name, x = 214, y = y + 2, w = 260, h = 30, sliderimage = "ui/menu/knob",
                 sliderrollimage = "ui/menu/knob_hover", railtop = "ui/menu/rail_top", railmid = "ui/menu/rail_mid",
                 railbot = "ui/menu/rail_bot" },
    }
end

local function CheckRow(name, label, x, y, command)
    return Group {
        Button { name = name, type = kToggle, graphics = kCheckLook, x = x, y = y, w = 36, h = 36, command = command },
        Text { name = name .. "label", label = label, font = kUiBodyFont, x = x + 42, y = y, w = 170, h = 36,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

MakeDialog {
    Window { name = "optionsscreen", w = 800, h = 600,
        MenuScene(false),
        OptionsWindow { name = "options", x = 140, y = 121, w = 520, h = 358,
            UiPicture("ui/kit/dialog", 0, 0, 520, 358, "dialogframe"),
            Text { name = "title", label = "options_title", font = kUiTitleFont, x = 30, y = 6, w = 460, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            VolumeRow("sfxlevelslider", "options_sound", 72),
            VolumeRow("musiclevelslider", "options_music", 116),
            VolumeRow("environmentlevelslider", "options_ambience", 160),
            CheckRow("fullscreen", "options_fullscreen", 50, 206, function() ToggleFullScreen() end),
            CheckRow("mutebox", "options_mute", 290, 206, function() ToggleSoundMute() end),
            UiButton { name = "optionsok", label = "ok", x = 168, y = 266,
                       command = function() SaveVolumes() CloseWindow() end },
            Button { name = "credits", label = "options_credits", x = 372, y = 280, w = 110, h = 30,
                     font = { "fonts/default.mvec", 18, kUiLink }, flags = kHAlignCenter + kVAlignCenter,
                     command = function() DoModal("scripts/credits.lua") end },
        },
    }
}
