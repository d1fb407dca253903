-- The look the game's screens share, on the interface kit (ui/kit): colours,
-- fonts, paper panels, buttons and dialogs. Screens load it with
-- ReadFile("scripts/ui.lua").

-- Every text colour a screen uses is named here, and the content lint checks
-- each against what it is drawn on (data/contracts.txt, "contrast").
kUiInk = FColor(0.23, 0.16, 0.20)     -- #3b2a33, text on paper
kUiLight = FColor(1.00, 0.97, 0.93)   -- #fff8ec, text on the accent and on pictures, always outlined in ink
kUiLink = FColor(0.61, 0.24, 0.09)    -- #9c3d17, what can be clicked, and headings, on paper
kUiWarning = FColor(0.66, 0.17, 0.17) -- #a82c2c, an error on paper
kUiMuted = FColor(0.45, 0.38, 0.40)   -- #736166, a quiet hint on paper

-- A font is { face, size, colour } or, outlined, { face, size, colour,
-- outline width, outline colour }: light text always has the 2 px ink
-- outline that keeps it readable on the accent, the gloss and any picture.
kUiBodyFont = { "fonts/default.mvec", 20, kUiInk }
kUiTitleFont = { "fonts/corona.mvec", 26, kUiLight, 2, kUiInk }
kUiButtonFont = { "fonts/corona.mvec", 24, kUiLight, 2, kUiInk }
kUiSmallFont = { "fonts/default.mvec", 14, kUiLight, 1.5, kUiInk }

kUiButtonLooks = { "ui/kit/button_normal", "ui/kit/button_pressed", "ui/kit/button_hover" }

-- A solid rectangle in colour c = { r, g, b }.
function UiFill(x, y, w, h, c, name)
    return FillWindow { name = name, x = x, y = y, w = w, h = h, r = c[1], g = c[2], b = c[3] }
end

-- A picture of the kit at its own size.
function UiPicture(image, x, y, w, h, name)
    return Bitmap { name = name, image = image, x = x, y = y, w = w, h = h }
end

-- A push button of the kit (184 x 58, its face 46 high); the label drops
-- with the pressed look.
function UiButton(t)
    t.graphics = kUiButtonLooks
    t.w, t.h = 184, 58
    t.tx, t.ty, t.tw, t.th = 4, 2, 176, 46
    t.yoffset = 3
    t.font = t.font or kUiButtonFont
    t.flags = kHAlignCenter + kVAlignCenter
    return Button(t)
end

-- A centred dialog (the kit's 520 x 358 paper with its title band): heading,
-- body text and buttons (a list of { name, label }), each closing the dialog
-- with its name as the answer.
function UiDialog(heading, body, buttons)
    local w, h = 520, 358
    local dialog = { name = "dialogpanel", x = kCenter, y = kCenter, w = w, h = h,
                     UiPicture("ui/kit/dialog", 0, 0, w, h, "dialogframe"),
                     Text { name = "title", label = heading, font = kUiTitleFont, x = 30, y = 6, w = w - 60, h = 44,
                            flags = kHAlignCenter + kVAlignCenter },
                     Text { name = "body", label = body, font = kUiBodyFont, x = 50, y = 80, w = w - 100, h = 140,
                            flags = kHAlignCenter + kVAlignCenter } }
    local n = table.getn(buttons)
    local gap = 24
    local left = (w - (n * 184 + (n - 1) * gap)) / 2
    for i = 1, n do
        table.insert(dialog, UiButton { name = buttons[i][1], label = buttons[i][2], close = true,
                                        x = left + (i - 1) * (184 + gap), y = h - 100 })
    end
    MakeDialog { Window { name = "dialogshade", w = 800, h = 600, Window(dialog) } }
end

-- The engine calls this when a web page was asked for (a link, the more
-- games page's buttons) and no web browser could be started: the player is
-- told instead of seeing nothing happen.
function OnBrowserFailed()
    DebugOut("Telling the player: no web browser could be started")
    DisplayDialog { "scripts/ok.lua", title = GetString("nobrowser_title"), body = GetString("nobrowser_body") }
end
