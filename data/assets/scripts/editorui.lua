-- The developer editors' small look: plain labels, entry fields, arrows,
-- check boxes and flat buttons on a light background. Read by
-- leveleditor.lua, customereditor.lua and editors.lua.
ReadFile("scripts/ui.lua")

kEdInk = FColor(0.15, 0.12, 0.14)
kEdFont = { "fonts/default.mvec", 14, kEdInk }
kEdFieldFont = { "fonts/default.mvec", 14, FColor(0.05, 0.05, 0.25) }
kEdButtonFont = { "fonts/default.mvec", 14, FColor(1, 1, 1) }
kEdPaper = { 0.96, 0.94, 0.89 }
kEdField = { 1, 1, 1 }
kEdButton = { 0.36, 0.42, 0.52 }
kEdCheckLook = { "ui/menu/box_off", "ui/menu/box_on", "ui/menu/box_off", "ui/menu/box_on" }

-- A label from the string table, left aligned.
function EdLabel(label, x, y, w, name)
    return Text { name = name, label = label, font = kEdFont, x = x, y = y, w = w, h = 20,
                  flags = kHAlignLeft + kVAlignCenter }
end

-- A white entry field: the named text edit on its own background.
function EdField(name, x, y, w)
    return Group {
        UiFill(x, y, w, 20, kEdField),
        TextEdit { name = name, label = "", font = kEdFieldFont, x = x + 3, y = y, w = w - 6, h = 20 },
    }
end

-- A label and its field on one line.
function EdRow(label, name, x, y, lw, fw)
    return Group { EdLabel(label, x, y, lw), EdField(name, x + lw, y, fw) }
end

-- A flat button with a literal or string-table label.
function EdButton(label, x, y, w, command, name)
    return Group {
        UiFill(x, y, w, 22, kEdButton),
        Button { name = name, label = label, font = kEdButtonFont, x = x, y = y, w = w, h = 22,
                 flags = kHAlignCenter + kVAlignCenter, command = command },
    }
end

-- A check box (toggle or radio, 36 x 36) with a short label to its right.
function EdCheck(name, label, x, y, command, kind, labelWidth, on)
    return Group {
        Button { name = name, type = kind or kToggle, graphics = kEdCheckLook, x = x, y = y, w = 36, h = 36,
                 command = command, on = on },
        Text { label = label, font = { "fonts/default.mvec", 11, kEdInk }, x = x + 34, y = y, w = labelWidth or 54, h = 36,
               flags = kHAlignLeft + kVAlignCenter },
    }
end

-- A name list (window type "CustomerWindow" or "GraphicsWindow", which the
-- editor registers as it is built, so the list is made later, as a
-- function): five buttons "gamebutton_1" to "gamebutton_5" of width w - 34
-- and the slider beside them, whose pictures the scrolled window reads from
-- the style in force. pick(k) runs for the button at 0-based index k.
kEdSliderStyle = { sliderimage = "ui/menu/knob", sliderrollimage = "ui/menu/knob_hover",
                   railtop = "ui/menu/rail_top", railmid = "ui/menu/rail_mid", railbot = "ui/menu/rail_bot" }

function EdNameList(typeName, name, x, y, w, pick)
    local list = { name = name, x = x, y = y, w = w, h = 130 }
    local buttons = { name = name .. "buttons", x = 0, y = 0, w = w - 28, h = 130 }
    for k = 1, 5 do
        local index = k - 1
        table.insert(buttons, EdButton("#", 0, (k - 1) * 26, w - 30, function() pick(index) end, "gamebutton_" .. k))
    end
    table.insert(list, Window(buttons))
    return function() MakeDialog { AppendStyle(kEdSliderStyle), _G[typeName](list) } end
end
