-- The dialog that sends the player's best unsent score to the score server,
-- under the name typed here, or under a score-server account. Its class
-- (the hiscore screen's submit dialog) fills the name and the score, shows
-- "Sending..." while it waits, and the server's answer when it refuses.
local w, h = 520, 358
local label = { "fonts/default.mvec", 18, kUiInk }
local field = { "fonts/default.mvec", 18, kUiInk }
local white = { 1.0, 0.98, 0.94 }

local function Edit(name, x, y, password)
    return Window { name = name .. "box", x = x, y = y, w = 220, h = 30,
        UiFill(0, 0, 220, 30, { 0.23, 0.16, 0.20 }),
        UiFill(2, 2, 216, 26, white),
        TextEdit { name = name, label = "", font = field, x = 8, y = 3, w = 206, h = 26, password = password,
                   length = 20, ignore = "<>", flags = kHAlignLeft + kVAlignCenter },
    }
end

MakeDialog {
    Window { name = "dialogshade", w = 800, h = 600,
        Window { name = "dialogpanel", x = kCenter, y = kCenter, w = w, h = h,
            UiPicture("ui/kit/dialog", 0, 0, w, h, "dialogframe"),
            Text { name = "headershadow", label = "submit_header", font = { "fonts/corona.mvec", 26, kUiInk },
                   x = 32, y = 8, w = w - 60, h = 44, flags = kHAlignCenter + kVAlignCenter },
            Text { name = "header", label = "submit_header", font = kUiTitleFont, x = 30, y = 6, w = w - 60, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "playertext", label = "submit_player", font = label, x = 40, y = 76, w = 200, h = 30,
                   flags = kHAlignRight + kVAlignCenter },
            Edit("nameedit", 250, 76, false),
            Text { name = "yourscore", label = "submit_yourscore", font = label, x = 40, y = 112, w = 200, h = 30,
                   flags = kHAlignRight + kVAlignCenter },
            Text { name = "eligiblescore", label = "#", font = { "fonts/corona.mvec", 22, kUiInk }, x = 256, y = 112,
                   w = 200, h = 30, flags = kHAlignLeft + kVAlignCenter },
            Text { name = "yourqmaccount", label = "submit_account", font = label, x = 40, y = 146, w = 440, h = 26,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "nametext", label = "submit_accountname", font = label, x = 40, y = 174, w = 200, h = 30,
                   flags = kHAlignRight + kVAlignCenter },
            Edit("accountedit", 250, 174, false),
            Text { name = "passtext", label = "submit_password", font = label, x = 40, y = 208, w = 200, h = 30,
                   flags = kHAlignRight + kVAlignCenter },
            Edit("passedit", 250, 208, true),
            Button { name = "remember", type = kToggle, label = "submit_remember", font = label, x = 250, y = 242,
                     w = 200, h = 28, tx = 34, ty = 0, tw = 166, th = 28, flags = kHAlignLeft + kVAlignCenter,
                     graphics = { "ui/screens/checkbox_off", "ui/screens/checkbox_on", "ui/screens/checkbox_off_hover",
                                  "ui/screens/checkbox_on_hover" } },
            Text { name = "submitconnect", label = "submit_connect", font = label, x = 40, y = 120, w = 440, h = 60,
                   flags = kHAlignCenter + kVAlignCenter },
            Text { name = "submiterror", label = "#", font = label, x = 40, y = 76, w = 440, h = 170,
                   flags = kHAlignCenter + kVAlignCenter },
            UiButton { name = "submittoserver", label = "submit_send", x = 58, y = h - 82 },
            UiButton { name = "submitcancel", label = "submit_cancel", x = w - 242, y = h - 82 },
            UiButton { name = "submiterrorok", label = "ok", x = (w - 184) / 2, y = h - 82 },
        },
    }
}
