-- The developers' customer-type editor (window type "CustomerEditor"): one
-- type of assets/config/customer.xml at a time. Closing it writes the file
-- (so does closing the game window while it is open). The graphic list
-- writes a picked figure into the graphic field chosen beside it.
ReadFile("scripts/editorui.lua")

local kLeft = {
    { "editor_c_id", "customername" }, { "editor_c_graphic", "graphicval0" },
    { "editor_c_override1", "graphicval1" }, { "editor_c_override2", "graphicval2" },
    { "editor_c_override3", "graphicval3" }, { "editor_c_override4", "graphicval4" },
    { "editor_c_override5", "graphicval5" }, { "editor_c_override6", "graphicval6" },
    { "#timeMood", "timemood" }, { "#colorMood", "colormood" }, { "#baseTip", "basetip" },
    { "#moodTip", "moodtip" }, { "#dessertMood", "dessertmood" }, { "#loveEffect", "loveeffect" },
    { "#specialChance", "specialchance" }, { "#spillChance", "spillchance" }, { "#spillTimer", "spilltimer" },
    { "#noiseRate", "noiserate" }, { "#noiseRangeX", "noiserangex" },
}
local kRight = {
    { "#noiseRangeY", "noiserangey" }, { "#noiseMood", "noisemood" }, { "#noiseEffect", "noiseeffect" },
    { "#waiting_MadMS", "waitingmadms" }, { "#deciding_DurationMS", "decidingdurationms" },
    { "#ready_HappyMS", "readyhappyms" }, { "#ready_MadMS", "readymadms" },
    { "#ordered_HappyMS", "orderedhappyms" }, { "#ordered_MadMS", "orederedmadms" },
    { "#eating_DurationMS", "eatingdurationms" }, { "#check_HappyMS", "checkhappyms" },
    { "#check_MadMS", "checkmadms" }, { "#snack_HappyMS", "snackhappyms" }, { "#snack_MadMS", "snackmadms" },
    { "#special_HappyMS", "specialhappyms" }, { "#special_MadMS", "specialmadms" },
    { "#orderdessert_HappyMS", "orderdesserthappyms" }, { "#orderdessert_MadMS", "orderdessertmadms" },
    { "#eatingdessert_DurationMS", "eatingdessertdurationms" },
}

local function Column(rows, x)
    local column = { x = x, y = 50, w = 306, h = 480 }
    for i = 1, table.getn(rows) do
        table.insert(column, EdRow(rows[i][1], rows[i][2], 0, (i - 1) * 25, 166, 130))
    end
    return Window(column)
end

-- The graphic field a picked figure goes to: 0 the figure, 1-6 overrides.
local gTarget = 0

local function MoveTarget(delta)
    gTarget = gTarget + delta
    if gTarget < 0 then gTarget = 6 end
    if gTarget > 6 then gTarget = 0 end
    SetWindowText("graphictarget", "graphicval" .. gTarget)
end

local function PickGraphic(k)
    SetWindowText("graphicval" .. gTarget, GetCustomerName(k))
end

MakeDialog {
    UiFill(0, 0, 800, 600, kEdPaper),
    CustomerEditor { name = "customereditorwindow", x = 0, y = 0, w = 800, h = 600,
        EdLabel("editor_customers_title", 6, 8, 300),
        EdButton("#<", 320, 8, 30, function() IncrementCustomer(-1, true) end),
        EdButton("#>", 354, 8, 30, function() IncrementCustomer(1, true) end),
        EdButton("editor_delete_type", 400, 8, 90, function() DeleteCustomer() end),
        Column(kLeft, 6),
        Column(kRight, 318),
        EdLabel("editor_figures", 630, 50, 160),
        EdNameList("GraphicsWindow", "graphiclist", 630, 74, 164, PickGraphic),
        EdLabel("editor_pickgraphic", 630, 212, 160),
        EdButton("#<", 630, 234, 24, function() MoveTarget(-1) end),
        Text { name = "graphictarget", label = "#graphicval0", font = kEdFont, x = 656, y = 234, w = 110, h = 22,
               flags = kHAlignCenter + kVAlignCenter },
        EdButton("#>", 770, 234, 24, function() MoveTarget(1) end),
        -- A new type starts as a copy of "default" named "newtype": type its
        -- own name over it before stepping on.
        EdButton("editor_add_type", 500, 8, 90, function() NewCustomer("newtype") end),
        EdButton("editor_close", 704, 560, 90, function() CloseWindow() end),
    }
}
