-- The game's outermost screen loop, run once at start-up. The window's
-- close button asks before quitting; when the main menu closes, the game
-- quits through its clean way out.
ReadFile("scripts/ui.lua")

return function()
    AllowQuitCofirm(true)
    DoModal("scripts/mainmenu.lua")
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
