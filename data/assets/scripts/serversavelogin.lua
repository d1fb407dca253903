-- The server-save login (window type ServerSaveLogin): log in to keep this
-- player's game on the save server, or fetch it back. `mode` is the purpose:
-- 0 check the login, 1 save, 2 download. No screen opens it while the
-- server-save feature is switched off.
local w, h = 520, 358
local label = { "fonts/default.mvec", 18, kUiInk }
local white = { 1.0, 0.98, 0.94 }
kCheckLooks = { "ui/screens/checkbox_off", "ui/screens/checkbox_on", "ui/screens/checkbox_off_hover", "ui/screens/checkbox_on_hover" }

local function Edit(name, y, password)
    return Window { name = name .. "box", x = 230, y = y, w = 220, h = 30,
        UiFill(0, 0, 220, 30, { 0.23, 0.16, 0.20 }),
        UiFill(2, 2, 216, 26, white),
        TextEdit { name = name, label = "", font = label, x = 8, y = 3, w = 206, h = 26, password = password,
                   length = 40, ignore = "<>", flags = kHAlignLeft + kVAlignCenter },
    }
end

-- A check box of the screens' own art with its label to the right.
local function Check(name, text, x, y, command)
    return Button { name = name, type = kToggle, label = text, font = label, x = x, y = y, w = 150, h = 28,
                    tx = 34, ty = 0, tw = 116, th = 28, flags = kHAlignLeft + kVAlignCenter,
                    graphics = kCheckLooks, command = command }
end

MakeDialog {
    Window { name = "dialogshade", w = 800, h = 600,
        ServerSaveLogin { name = "serversave", mode = gServerSaveMode or 0, x = kCenter, y = kCenter, w = w, h = h,
            UiPicture("ui/kit/dialog", 0, 0, w, h, "dialogframe"),
            Text { name = "title", label = "login_title", font = kUiTitleFont, x = 30, y = 6, w = w - 60, h = 44,
                   flags = kHAlignCenter + kVAlignCenter },
            Window { name = "loginwindow", x = 0, y = 60, w = w, h = h - 60,
                Text { name = "nametext", label = "login_name", font = label, x = 30, y = 16, w = 190, h = 30,
                       flags = kHAlignRight + kVAlignCenter },
                Edit("nameedit", 16, false),
                Text { name = "passtext", label = "login_password", font = label, x = 30, y = 52, w = 190, h = 30,
                       flags = kHAlignRight + kVAlignCenter },
                Edit("passedit", 52, true),
                Check("remember", "login_remember", 230, 92, function() ToggleRemember() end),
                Check("alwayssave", "login_always", 24, 134),
                Check("asksave", "login_ask", 188, 134),
                Check("neverssave", "login_never", 352, 134),
                UiButton { name = "enterok", label = "login_ok", x = 58, y = h - 152,
                           command = function() if gServerSaveMode == 1 then SaveSSSG()
                                                elseif gServerSaveMode == 2 then LoadSSSG()
                                                else VerifyLoginInfo() end end },
                UiButton { name = "cancel", label = "login_cancel", close = true, x = w - 242, y = h - 152 },
            },
            Window { name = "downloadavailable", x = 0, y = 60, w = w, h = h - 60,
                Text { name = "downloadask", label = "downloadgameask", font = kUiBodyFont, x = 40, y = 20,
                       w = w - 80, h = 120, flags = kHAlignCenter + kVAlignCenter },
                UiButton { name = "install", label = "login_install", x = 58, y = h - 152,
                           command = function() InstallDownload() CloseResponseWindow() end },
                UiButton { name = "keep", label = "login_keep", x = w - 242, y = h - 152,
                           command = function() CloseResponseWindow() end },
            },
            Window { name = "responsewindow", x = 0, y = 60, w = w, h = h - 60,
                Text { name = "responsedetails", label = "#", font = kUiBodyFont, x = 40, y = 20, w = w - 80, h = 160,
                       flags = kHAlignCenter + kVAlignCenter },
                UiButton { name = "responseok", label = "ok", x = (w - 184) / 2, y = h - 152,
                           command = function() CloseResponseWindow() end },
            },
        },
    }
}
