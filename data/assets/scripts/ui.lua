-- The look the game's screens share: colours, fonts, framed panels and
-- buttons. Screens load it with ReadFile("scripts/ui.lua").

kUiOutline = { 0.23, 0.16, 0.20 }
kUiCream = { 0.98, 0.94, 0.84 }
kUiHover = { 1.00, 0.85, 0.55 }
kUiPressed = { 0.93, 0.73, 0.40 }
kUiAccent = { 0.80, 0.27, 0.22 }

kUiTitleFont = { "fonts/corona.mvec", 54, FColor(0.23, 0.16, 0.20) }
kUiHeadingFont = { "fonts/corona.mvec", 28, FColor(0.23, 0.16, 0.20) }
kUiBodyFont = { "fonts/default.mvec", 20, FColor(0.23, 0.16, 0.20) }
kUiButtonFont = { "fonts/corona.mvec", 24, FColor(0.23, 0.16, 0.20) }
kUiSmallFont = { "fonts/default.mvec", 14, FColor(0.85, 0.90, 0.95) }

-- A solid rectangle in colour c = { r, g, b }.
function UiFill(x, y, w, h, c, name)
    return FillWindow { name = name, x = x, y = y, w = w, h = h, r = c[1], g = c[2], b = c[3] }
end

-- A cream panel with the dark outline, its contents inside.
function UiPanel(t)
    local w, h = t.w, t.h
    local panel = { name = t.name, x = t.x, y = t.y, w = w, h = h,
                    UiFill(0, 0, w, h, kUiOutline),
                    UiFill(3, 3, w - 6, h - 6, kUiCream) }
    for i = 1, table.getn(t) do
        table.insert(panel, t[i])
    end
    return Window(panel)
end

-- A push button with an outline and a look for normal, pressed and hover.
function UiButton(t)
    local w, h = t.w, t.h
    local face = function(c) return UiFill(3, 3, w - 6, h - 6, c) end
    t.font = t.font or kUiButtonFont
    t.flags = kHAlignCenter + kVAlignCenter
    table.insert(t, UiFill(0, 0, w, h, kUiOutline))
    table.insert(t, SelectLayer(0))
    table.insert(t, face(kUiCream))
    table.insert(t, SelectLayer(1))
    table.insert(t, face(kUiPressed))
    table.insert(t, SelectLayer(2))
    table.insert(t, face(kUiHover))
    table.insert(t, SelectLayer(kAllLayers))
    return Button(t)
end

-- A centred dialog: heading, body text and buttons (a list of { name, label }),
-- each button closing the dialog with its name as the answer.
function UiDialog(heading, body, buttons)
    local w, h = 440, 220
    local panel = { name = "dialogpanel", x = kCenter, y = kCenter, w = w, h = h,
                    Text { name = "title", label = heading, font = kUiHeadingFont, x = 20, y = 18, w = w - 40, h = 40,
                           flags = kHAlignCenter + kVAlignCenter },
                    Text { name = "body", label = body, font = kUiBodyFont, x = 30, y = 66, w = w - 60, h = 70,
                           flags = kHAlignCenter + kVAlignCenter } }
    local n = table.getn(buttons)
    local bw, gap = 140, 30
    local left = (w - (n * bw + (n - 1) * gap)) / 2
    for i = 1, n do
        table.insert(panel, UiButton { name = buttons[i][1], label = buttons[i][2], close = true,
                                       x = left + (i - 1) * (bw + gap), y = h - 66, w = bw, h = 44 })
    end
    MakeDialog { Window { name = "dialogshade", w = 800, h = 600, UiPanel(panel) } }
end
