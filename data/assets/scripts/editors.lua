-- The developer editors' door: the career levels, the endless level, or the
-- customer types. Nothing in the game opens it (the main menu's "editors"
-- button stays hidden); a developer runs it, as the README's developer
-- section says.
ReadFile("scripts/editorui.lua")

local function Levels(mode)
    SetCurrentGameMode(mode)
    SetLevelMode(0)
    DoModal("scripts/leveleditor.lua")
end

MakeDialog {
    Window { name = "editorsdoor", x = 0, y = 0, w = 800, h = 600,
        UiFill(0, 0, 800, 600, kEdPaper),
        EdLabel("editor_door_title", 300, 200, 240),
        EdButton("editor_career", 300, 240, 200, function() Levels(0) end),
        EdButton("editor_endless", 300, 270, 200, function() Levels(1) end),
        EdButton("editor_customers", 300, 300, 200, function() DoModal("scripts/customereditor.lua") end),
        EdButton("editor_close", 300, 350, 200, function() CloseWindow() end),
    }
}
