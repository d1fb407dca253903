-- The game's outermost screen loop, run once at start-up. The window's
-- close button asks before quitting. "Play" on the title screen starts the
-- career at the current player's first level (a first player is made when
-- there is none); leaving the game comes back to the title. When the title
-- screen closes otherwise, the game quits through its clean way out.
ReadFile("scripts/ui.lua")

return function()
    AllowQuitCofirm(true)
    while DoModal("scripts/title.lua") == "play" do
        if GetNumUsers() == 0 then
            CreateNewUser(GetString("defaultplayer"))
        end
        SetCurrentUser(0, true)
        SetCurrentGameMode(0)
        SetCurrentRestaurant(0)
        SetCurrentLevel(0)
        DoModal("scripts/game.lua")
    end
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
