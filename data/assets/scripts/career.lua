-- The ways into play, each run by the main loop once the main menu has
-- closed: the career (the restaurant map, its levels, the extra levels and
-- the player's downloaded levels), and an endless shift (a restaurant and
-- its difficulty picked on the map). After a restaurant's last level come
-- its story comic, what it opened and the wardrobe; then the main menu.

-- The wardrobe's first visit explains it (quessascloset.lua asks the
-- settings, which count every visit).
function ShowClosetTip()
    if gClosetTip then
        gClosetTip = nil
        DisplayDialog { "scripts/ok.lua", title = GetString("closet_title"), body = GetString("closettip") }
    end
end

-- What the last level opened (levels, outfits), when anything did. Built at
-- once; answers the notice's modal id to wait on, or nil.
function OpenUnlockNotice()
    if not IsSomethingNewUnlocked() then
        return nil
    end
    local id = PushModal("scripts/unlocked.lua")
    ReadFile("scripts/unlocked.lua")
    return id
end

-- The wardrobe, with what the last level opened coming up over it first
-- (its new clothes then glow in the wardrobe) and its tip on the first
-- visit; waits until it closes.
function VisitCloset()
    local id = PushModal("scripts/quessascloset.lua")
    ReadFile("scripts/quessascloset.lua")
    local notice = OpenUnlockNotice()
    if notice then
        WaitForCloseMessage(notice)
        gReturnValue = nil
        SetupGlows()
    end
    ShowClosetTip()
    WaitForCloseMessage(id)
    gReturnValue = nil
end

-- After a restaurant's last level: the story goes on (the comic the game
-- named, of the restaurant that comes next), then what opened, then the
-- wardrobe. The bonus restaurant's end goes back to the map instead.
-- Answers true when the main menu follows.
local function AfterRestaurant()
    local next = gAfterRestaurant
    gAfterRestaurant = nil
    if next == nil or next == "scripts/chooserestaurant.lua" then
        return false
    end
    DoModal(next)
    VisitCloset()
    return true
end

-- A level file outside the career (an extra level or a downloaded one):
-- played alone, with its own description as the intro text.
function PlayLevelFile(file, description)
    SetLevelMode(1)
    SetDownloadLevelName(file)
    SetDownloadLevelDescription(description or "")
    SetLevelInfoToDownloadLevel()
    DoModal("scripts/game.lua")
    SetLevelMode(0)
end

-- The extra levels screen, until the player goes back to the map.
local function PlayExtraLevels()
    while DoModal("scripts/lockedlevels.lua") == "pack" do
        PlayLevelFile(gPackFile, gPackDescription)
    end
end

function PlayCareer()
    SetCurrentGameMode(0)
    SetLevelMode(0)
    -- A new career opens with the story's first comic, on the first ship.
    if GetNumUnlockedLevels() == 0 then
        SetCurrentRestaurant(0)
        SetCurrentLevel(0)
        DoModal("scripts/comic_1_1.lua")
    end
    while true do
        local choice = DoModal("scripts/chooserestaurant.lua")
        if choice == "play" then
            if DoModal("scripts/game.lua") == "restaurantdone" and AfterRestaurant() then
                return
            end
        elseif choice == "lockedlevels" then
            PlayExtraLevels()
        else
            return
        end
    end
end

-- An endless shift: the map shows the restaurants; one of them asks for
-- the difficulty (scripts/choosedifficulty.lua), which starts the shift.
function PlayEndless()
    SetLevelMode(0)
    SetCurrentGameMode(1)
    while DoModal("scripts/chooserestaurant.lua") == "play" do
        DoModal("scripts/game.lua")
        SetCurrentGameMode(1)
    end
    SetCurrentGameMode(0)
end
