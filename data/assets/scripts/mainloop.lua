-- The game's outermost screen loop, run once at start-up: the splash, then
-- the main menu. Each way into play (the career, an endless shift) closes
-- the menu, and its music with it, and the menu comes back when the player
-- leaves. The window's close button asks before quitting; the menu's Quit
-- ends the game through its clean way out.
ReadFile("scripts/ui.lua")
ReadFile("scripts/career.lua")

return function()
    AllowQuitCofirm(true)
    -- The movie plays until a click or a key; without it, the picture
    -- stands for three seconds.
    DisplaySplash("movies/splash.ogv", "ui/kit/splash", 3000)
    while true do
        local choice = DoModal("scripts/mainmenu.lua")
        if choice == "play" then
            PlayCareer()
        elseif choice == "endless" then
            PlayEndless()
        else
            break
        end
    end
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
