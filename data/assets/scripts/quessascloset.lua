-- The wardrobe: arrows on each slot's panel step through the items and
-- colours; Shuffle draws an outfit; Done keeps it, Cancel leaves it as it was.
-- Every visit is counted; the first one leaves gClosetTip for whoever opened
-- the wardrobe to explain it (ShowClosetTip, career.lua).
ReadFile("scripts/ui.lua")

local slots = { "shoes", "bottom", "top", "apron", "accessory" }
local panels = { shoes = { 123, 455 }, bottom = { 533, 274 }, top = { 533, 57 }, apron = { 123, 209 },
                 accessory = { 123, 56 } }

local function Arrow(slot, index, side, lit)
    local x, y = panels[slot][1], panels[slot][2]
    local image = "quessascloset/arrow_" .. side .. (lit and "_lit" or "")
    local step = side == "left" and -1 or 1
    return Button { name = slot .. side .. (lit and "_highlight" or ""), x = x + (side == "left" and 4 or 104),
                    y = y + 28, w = 42, h = 42,
                    graphics = { image, "quessascloset/arrow_" .. side .. "_lit", "quessascloset/arrow_" .. side .. "_lit" },
                    command = function()
                        StopButtonFlash()
                        ChangeClothing(index, step)
                    end }
end

local closet = { name = "closet", w = 800, h = 600,
    Text { name = "title", label = "closet_title", font = { "fonts/corona.mvec", 30, kUiInk }, x = 250, y = 8,
           w = 300, h = 44, flags = kHAlignCenter + kVAlignCenter },
    UiButton { name = "shuffle", label = "closet_shuffle", x = 520, y = 414,
               command = function() StopButtonFlash() Shuffle() end },
    UiButton { name = "save", label = "closet_save", close = true, x = 520, y = 474,
               command = function() SaveOutfit() end },
    UiButton { name = "cancel", label = "closet_cancel", close = true, x = 520, y = 534 },
}
for i = 1, 5 do
    for _, side in ipairs({ "left", "right" }) do
        table.insert(closet, Arrow(slots[i], i - 1, side, false))
        table.insert(closet, Arrow(slots[i], i - 1, side, true))
    end
end

MakeDialog {
    Window { name = "closetscreen", w = 800, h = 600,
        UiPicture("quessascloset/background", 0, 0, 800, 600, "background"),
        QuessasCloset(closet),
    }
}
SetupGlows()
gClosetTip = EnterQuessasCloset()
