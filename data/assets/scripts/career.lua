-- The career: the restaurant map, the level chosen on it, the extra level
-- packs; back on the map after each level, until the player leaves it.
function PlayCareer()
    SetCurrentGameMode(0)
    while true do
        local choice = DoModal("scripts/chooserestaurant.lua")
        if choice == "play" then
            DoModal("scripts/game.lua")
        elseif choice == "lockedlevels" then
            DoModal("scripts/lockedlevels.lua")
        else
            return
        end
    end
end
