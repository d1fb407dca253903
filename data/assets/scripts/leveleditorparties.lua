-- The level editor's party schedule, over the editor: career levels list
-- their 50 party slots (arrival time in ms, chair-colour letters, party
-- type); the endless level its 9 sections (time, goal, and four party types
-- with their frequencies). The customer list beside them writes a picked
-- type into the slot named in "pickslotval".
ReadFile("scripts/editorui.lua")

local gEndless = GetCurrentGameMode() == 1
local kSmall = { "fonts/default.mvec", 12, kEdInk }

local function SmallField(name, x, y, w)
    return Group {
        UiFill(x, y, w, 18, kEdField),
        TextEdit { name = name, label = "", font = kSmall, x = x + 2, y = y, w = w - 4, h = 18 },
    }
end

local function SmallLabel(label, x, y, w)
    return Text { label = label, font = kSmall, x = x, y = y, w = w, h = 18, flags = kHAlignLeft + kVAlignCenter }
end

local function CareerSlots()
    local slots = { name = "careerslots", x = 6, y = 36, w = 660, h = 540,
                    SmallLabel("editor_slot_time", 28, 0, 60), SmallLabel("editor_slot_def", 92, 0, 60),
                    SmallLabel("editor_slot_type", 156, 0, 120),
                    SmallLabel("editor_slot_time", 358, 0, 60), SmallLabel("editor_slot_def", 422, 0, 60),
                    SmallLabel("editor_slot_type", 486, 0, 120) }
    for column = 0, 1 do
        for row = 0, 24 do
            local n = column * 25 + row
            local x = 330 * column
            local y = 20 + row * 20
            table.insert(slots, SmallLabel("#" .. n, x, y, 24))
            table.insert(slots, SmallField("timeval" .. n, x + 26, y, 60))
            table.insert(slots, SmallField("defval" .. n, x + 90, y, 60))
            table.insert(slots, SmallField("typeval" .. n, x + 154, y, 150))
        end
    end
    return Window(slots)
end

local function EndlessSections()
    local sections = { name = "endlesssections", x = 6, y = 36, w = 660, h = 540,
                       SmallLabel("editor_slot_time", 28, 0, 60), SmallLabel("editor_section_goal", 92, 0, 50) }
    local letters = { "a", "b", "c", "d" }
    for slot = 1, 4 do
        table.insert(sections, SmallLabel("#" .. letters[slot], 146 + (slot - 1) * 126, 0, 100))
    end
    for s = 0, 8 do
        local y = 22 + s * 50
        table.insert(sections, SmallLabel("#" .. s, 0, y, 24))
        table.insert(sections, SmallField("timeval" .. s, 26, y, 60))
        table.insert(sections, SmallField("goalval" .. s, 90, y, 50))
        for slot = 1, 4 do
            local x = 146 + (slot - 1) * 126
            table.insert(sections, SmallField("typeval_" .. letters[slot] .. s, x, y, 84))
            table.insert(sections, SmallField("freqval_" .. letters[slot] .. s, x + 86, y, 34))
        end
    end
    return Window(sections)
end

-- The slot a picked type goes to: career 0-49; endless a0, b0 ... d8.
local kPickNames = {}
if gEndless then
    for s = 0, 8 do
        local letters = { "a", "b", "c", "d" }
        for i = 1, 4 do table.insert(kPickNames, letters[i] .. s) end
    end
else
    for n = 0, 49 do table.insert(kPickNames, "" .. n) end
end
local gPick = 1

local function PickName() return kPickNames[gPick] end

local function MovePick(delta)
    gPick = gPick + delta
    if gPick < 1 then gPick = table.getn(kPickNames) end
    if gPick > table.getn(kPickNames) then gPick = 1 end
    SetWindowText("pickslotval", PickName())
end

local function PickType(k)
    local prefix = "typeval"
    if gEndless then prefix = "typeval_" end
    SetWindowText(prefix .. PickName(), GetCustomerName(k))
end

MakeDialog {
    Window { name = "partiespanel", x = 0, y = 0, w = 800, h = 600,
        UiFill(0, 0, 800, 600, kEdPaper),
        EdLabel("editor_parties_title", 6, 8, 400),
        gEndless and EndlessSections() or CareerSlots(),
        EdLabel("editor_types", 670, 34, 124),
        EdNameList("CustomerWindow", "customerlist", 670, 56, 124, PickType),
        EdLabel("editor_pickslot", 670, 194, 124),
        EdButton("#<", 670, 216, 24, function() MovePick(-1) end),
        Text { name = "pickslotval", label = "#", font = kEdFont, x = 698, y = 216, w = 64, h = 22,
               flags = kHAlignCenter + kVAlignCenter },
        EdButton("#>", 766, 216, 24, function() MovePick(1) end),
        EdButton("ok", 670, 540, 124, function() RecordCustomers() CloseWindow() end),
        function() SetupCustomers() MovePick(0) end,
    }
}
