-- The developers' level editor (window type "LevelEditor", named
-- "leveleditorwindow" so that a close request saves it). The level's values
-- across the top, the mouse modes, stations and flags down the left, the
-- floor as the level shows it on the right. Edits the career levels or the
-- endless level as the game mode says; opened from scripts/editors.lua.
ReadFile("scripts/editorui.lua")

local gEndless = GetCurrentGameMode() == 1

local function Arrows(x, y, command)
    return Group {
        EdButton("#<", x, y, 20, function() command(-1) end),
        EdButton("#>", x + 22, y, 20, function() command(1) end),
    }
end

local function Parties()
    DoModal("scripts/leveleditorparties.lua")
end

-- Lua here has no math library: whole-number division by hand.
function math_floor(x) local n = 0 while n + 1 <= x do n = n + 1 end return n end
function math_mod(a, b) return a - b * math_floor(a / b) end

local kModes = { { "mode0", "editor_move" }, { "mode1", "editor_delete" }, { "mode2", "editor_add2" },
                 { "mode3", "editor_add4" }, { "mode4", "editor_add6" }, { "mode5", "editor_chair" } }

local kStations = { { "drinkstation", "editor_drink" }, { "snackstation", "editor_snack" },
                    { "dessertstation", "editor_dessert" }, { "mop", "editor_mop" },
                    { "highchair", "editor_highchair" }, { "phone", "editor_phone" },
                    { "podium", "editor_podium" }, { "bench", "editor_bench" }, { "bar", "editor_bar" } }

-- Two check boxes a row, in a window of their own (a radio group ends
-- with its window): the mouse modes, then the stations.
local function CheckGrid(name, entries, top, command, kind)
    local grid = { name = name, x = 0, y = top, w = 176, h = 36 * math_floor((table.getn(entries) + 1) / 2) }
    if kind == kRadio then table.insert(grid, BeginGroup()) end
    for i = 1, table.getn(entries) do
        local x = math_mod(i - 1, 2) * 86
        local y = math_floor((i - 1) / 2) * 36
        -- The editor starts in the first mode.
        local on = kind == kRadio and i == 1
        table.insert(grid, EdCheck(entries[i][1], entries[i][2], x, y, command(i - 1), kind, nil, on))
    end
    return Window(grid)
end

local function LeftColumn()
    return Window { name = "leftcolumn", x = 2, y = 112, w = 176, h = 488,
        EdLabel("editor_mouse", 4, 0, 160),
        CheckGrid("modes", kModes, 20, function(mode) return function() SetMouseMode(mode) end end, kRadio),
        EdLabel("editor_stations", 4, 130, 160),
        CheckGrid("stations", kStations, 150, function(station) return function() ToggleStation(station) end end),
    }
end

local function CareerGroup()
    return Window { name = "careergroup", x = 0, y = 0, w = 800, h = 104,
        Window { name = "careerlevelgroup", x = 0, y = 0, w = 200, h = 26,
            EdRow("editor_level", "levelval", 6, 4, 46, 36),
            Arrows(90, 3, IncrementLevel),
        },
        EdRow("editor_restaurant", "restaurantval", 140, 4, 74, 30),
        Arrows(246, 3, IncrementRestaurant),
        Window { name = "careerlayoutgroup", x = 290, y = 0, w = 400, h = 26,
            EdField("gotolevelval", 10, 4, 36),
            EdButton("editor_goto", 50, 3, 60, function() GotoLevel() end),
            EdRow("editor_layout", "layoutval", 130, 4, 50, 160),
        },
        Window { name = "bonuslevelgroup", x = 300, y = 0, w = 400, h = 26,
            EdLabel("editor_bonuslevel", 0, 4, 400),
        },
        EdRow("editor_goal", "goalval", 6, 30, 40, 60),
        EdRow("editor_expert", "expertval", 114, 30, 50, 60),
        EdRow("editor_leavepenalty", "leavepenaltyval", 232, 30, 90, 50),
        EdRow("editor_snackchance", "snackchanceval", 380, 30, 86, 44),
        EdRow("editor_doodle", "doodleval", 518, 30, 50, 220),
    }
end

local function EndlessGroup()
    return Window { name = "endlessgroup", x = 0, y = 0, w = 800, h = 104,
        EdRow("editor_difficulty", "endlesslevelval", 6, 4, 66, 30),
        Arrows(104, 3, IncrementLevel),
        EdRow("editor_restaurant", "endlessrestaurantval", 160, 4, 74, 30),
        Arrows(266, 3, IncrementRestaurant),
        EdRow("editor_stars", "endlessstarsval", 330, 4, 40, 40),
        EdRow("editor_timer", "endlesstimerval", 430, 4, 90, 70),
        EdRow("editor_startdiff", "endlessstartdiffval", 6, 30, 90, 80),
        EdRow("editor_mindiff", "endlessmindiffval", 196, 30, 60, 80),
        EdRow("editor_diffdelta", "endlessdiffdeltaval", 356, 30, 64, 80),
        EdRow("editor_upgradelayout", "endlesslayoutnum", 6, 56, 110, 24),
        Arrows(142, 55, IncrementLayout),
        EdField("endlesslayoutval", 190, 56, 160),
    }
end

local function LevelTweaks()
    -- Ends where the floor plan begins: clicks below it are the plan's.
    return Window { name = "leveltweaks", x = 0, y = 54, w = 620, h = 56,
        EdRow("editor_newchef", "newchefval", 240, 2, 70, 44),
        EdRow("editor_shake", "shakefreqval", 370, 2, 46, 44),
        EdField("shakelengthval", 464, 2, 44),
        EdField("shakespillval", 512, 2, 44),
        EdCheck("brokenarm", "editor_brokenarm", 4, 20, nil, nil, 90),
        EdCheck("flashlight", "editor_flashlight", 134, 20, nil, nil, 90),
        EdCheck("startdirty", "editor_startdirty", 264, 20, nil, nil, 90),
        EdCheck("mustcolor", "editor_mustcolor", 394, 20, nil, nil, 110),
    }
end

MakeDialog {
    -- Behind the editor: the editor draws its plan before its children.
    UiFill(0, 0, 800, 600, kEdPaper, "editorpaper"),
    LevelEditor { name = "leveleditorwindow", x = 0, y = 0, w = 800, h = 600,
        CareerGroup(),
        EndlessGroup(),
        LevelTweaks(),
        EdButton("editor_parties", 628, 56, 80, Parties),
        EdButton("editor_save", 712, 56, 80, function() SaveLevelData() end),
        EdButton("editor_close", 712, 82, 80, function() SaveLevelData() CloseWindow() end),
        LeftColumn(),
    }
}
