-- The game's outermost screen loop, run once at start-up. The window's
-- close button asks before quitting; when the title screen closes, the game
-- quits through its clean way out.
ReadFile("scripts/ui.lua")

return function()
    AllowQuitCofirm(true)
    DoModal("scripts/title.lua")
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
