-- The game screen: the floor (drawn by the game window), the heads-up
-- display over it, the layers drawn above the display and the fade. The
-- game window opens the intro, level-over and pause screens itself; the
-- functions below are what it and those screens hand back to this script.
ReadFile("scripts/ui.lua")
ReadFile("scripts/career.lua")
ReadFile("scripts/hudboxes.lua")

local wall = { 0.14, 0.22, 0.37 }    -- the cruise ship's navy
local trim = { 0.78, 0.60, 0.23 }    -- brass
local floor = { 0.86, 0.74, 0.56 }   -- deck planks
local plank = { 0.78, 0.66, 0.48 }
local bar = { 0.98, 0.94, 0.86 }     -- the paper of the display
local hudFont = { "fonts/corona.mvec", 18, kUiInk }
local valueFont = { "fonts/corona.mvec", 22, kUiInk }

gGameScreenId = CreateCloseMessage().name

-- Leaves the game screen (the restaurant is done, or the player quits);
-- `why` is the screen's answer.
function LeaveGame(why)
    ModalReturn(why)
    PostMessage(CreateNamedMessage(kCloseWindow, gGameScreenId))
end

-- The game calls this when a level's file or floor plan is missing or
-- damaged (gUnplayableLevel names it: "career level 3", or a level file of
-- its own as "the level FILE"): the player is told, once a level in a run,
-- and goes back to where the level was chosen.
gToldUnplayable = gToldUnplayable or {}
function LeaveUnplayableLevel()
    local level = gUnplayableLevel or "a level"
    if not gToldUnplayable[level] then
        gToldUnplayable[level] = true
        DebugOut("Telling the player: " .. level .. " cannot be played")
        DisplayDialog { "scripts/ok.lua", title = GetString("unplayable_title"), body = GetString("unplayable_body") }
    end
    LeaveGame("unplayable")
end

-- The game calls this when the restaurant's last level is done, with
-- gAfterRestaurant naming the screen that follows (its comic, or the map).
function LeaveRestaurant()
    LeaveGame("restaurantdone")
end

-- The pause screen: resume, or leave the game. The keys that paused (P or
-- Escape) also resume; the dialog's own buttons close it with their name.
local kResumeKeys = { ["raw:p"] = true, ["raw:P"] = true, ["raw:\27"] = true }

local function PauseChoice()
    local id = PushModal("scripts/pause.lua")
    ReadFile("scripts/pause.lua")
    while true do
        local m = WaitForMessage()
        if m and m.type == kModalClosed and m.name == id then
            break
        end
        if m and m.type == kPressAnyKey and kResumeKeys[m.name] then
            ModalReturn("resume")
            PostMessage(CreateNamedMessage(kCloseWindow, id))
        end
    end
    local choice = gReturnValue
    gReturnValue = nil
    return choice
end

function ShowPause()
    if PauseChoice() == "quit" then
        QuitGame(true)
        LeaveGame()
    else
        PauseGame(false)
    end
end

-- Between levels the game opens the wardrobe (DoModal above this) and then
-- calls this: what the last level opened comes up over the wardrobe, the
-- screen comes out of the game's black, and the first visit explains the
-- wardrobe. The notice is built at once, before the next level is set up.
function FadeFromGame()
    local notice = OpenUnlockNotice()
    DoModal("scripts/fadein.lua")
    if notice then
        WaitForCloseMessage(notice)
        gReturnValue = nil
        SetupGlows()
    end
    ShowClosetTip()
end

-- The first decor choice a player meets explains itself.
function ShowDecorTip()
    DisplayDialog { "scripts/ok.lua", title = GetString("decor_title"), body = GetString("upgradescreentip") }
end

-- The upgrade screen between endless shifts; the floor waits meanwhile.
local function ShowUpgrades()
    PauseGame(true)
    DoModal("scripts/upgrade.lua")
    PauseGame(false)
end

-- The window table t, named and placed in its box of the display (kHudBoxes).
local function InHudBox(name, t)
    local box = kHudBoxes[name]
    t.name, t.x, t.y, t.w, t.h = name, box[1], box[2], box[3], box[4]
    return t
end

local function Label(name, label, x, y, w, font, flags)
    return Text { name = name, label = label, font = font or hudFont, x = x, y = y, w = w, h = 26,
                  flags = flags or (kHAlignLeft + kVAlignCenter) }
end

-- An endless shift's heart i (0-4) in the row of its box, inside the band's
-- window (whose box starts at the screen's corner).
local function LivesIcon(i)
    local row = kHudBoxes.livesicons
    return Bitmap { name = "livesicon_" .. i, image = "ui/heart_life", x = row[1] + i * 26, y = row[2],
                    w = 24, h = 22 }
end

-- The phone's staff choice: a bubble over the phone with two, three or four
-- staff buttons (the game shows the box that fits the staff on offer, sets
-- each button's pictures and hides the rest); a button calls PhoneButton
-- with its place in the row, from 0.
local kPhoneButton, kPhoneGap = 80, 10
local phoneFont = { "fonts/default.mvec", 16, kUiInk }

local function PhoneBox(n)
    local w = n * kPhoneButton + (n + 1) * kPhoneGap
    local widest = kHudBoxes.phonebox  -- its right edge, top and height
    local box = { name = "phonebox" .. n, x = widest[1] + widest[3] - (w + 8), y = widest[2], w = w + 8,
                  h = widest[4],
                  UiPicture("ui/phonebox" .. n, 0, 0, w + 8, widest[4], "phonepanel" .. n),
                  Text { name = "phonecaption" .. n, label = "phone_call", font = phoneFont,
                         x = 36, y = 6, w = w - 44, h = 24, flags = kHAlignLeft + kVAlignCenter } }
    for i = 1, n do
        local place = i - 1
        table.insert(box, Button { name = "phone" .. i, x = 2 + kPhoneGap + place * (kPhoneButton + kPhoneGap),
                                   y = 38, w = kPhoneButton, h = kPhoneButton,
                                   graphics = { "ui/phone_busser_a", "ui/phone_busser_b", "ui/phone_busser_b" },
                                   command = function() PhoneButton(place) end })
    end
    return Window(box)
end

local planks = {}
for i = 0, 9 do
    table.insert(planks, UiFill(0, 150 + i * 46, 800, 2, plank))
end

MakeDialog {
    Window { name = "gamescreen", w = 800, h = 600,
        UiFill(0, 0, 800, 150, wall, "wall"),
        UiFill(0, 146, 800, 4, trim),
        UiFill(0, 150, 800, 450, floor, "floor"),
        Window { name = "planks", x = 0, y = 0, w = 800, h = 600, unpack(planks) },
        GameWindow { name = "maingamewindow", x = 0, y = 0, w = 800, h = 600,
            Window(InHudBox("hud", {
                UiFill(0, 0, 800, 40, bar, "levelbackground"),
                UiFill(0, 0, 800, 40, bar, "careerlevelbackground"),
                UiFill(0, 40, 800, 4, trim),
                Label("levellabel", "hud_level", 12, 7, 60),
                Label("levelval", "#1", 68, 7, 40, valueFont),
                Label("goal", "#", 110, 7, 170),
                Label("expert", "#", 110, 7, 170),
                Label("scorelabel", "hud_score", 290, 7, 60),
                Label("scoreval", "#0", 350, 7, 80, valueFont),
                Label("cashlabel", "hud_cash", 440, 7, 50),
                Label("cashval", "#", 490, 7, 90, valueFont),
                Label("openclosed", "open", 600, 7, 110, valueFont, kHAlignCenter + kVAlignCenter),
                LivesIcon(0), LivesIcon(1), LivesIcon(2), LivesIcon(3), LivesIcon(4),
            })),
            GameTimer(InHudBox("gametimer", {})),
            CoinJar(InHudBox("coinjar", {})),
            Bitmap(InHudBox("upgradeanim", { image = "ui/upgrade_glow" })),
            UiButton(InHudBox("upgrade", { label = "hud_upgrade", command = ShowUpgrades })),
            UiButton(InHudBox("skiptutorial", { label = "hud_skiptutorial",
                                                command = function() DoSkipTutorial() end })),
            PhoneBox(2),
            PhoneBox(3),
            PhoneBox(4),
            -- The decor choice after a level: the item pointed at or chosen, and
            -- the button that keeps it, between the paper and the coin jar (the
            -- bottom left holds the podium and the line in some restaurants).
            Window(InHudBox("upgradewindow", {
                UiPicture("ui/menu/decorpaper", 0, 0, 332, 84, "upgradepaper"),
                Text { name = "upgradename", label = "decor_pick", font = { "fonts/corona.mvec", 20, kUiInk },
                       x = 16, y = 6, w = 300, h = 26, flags = kHAlignCenter + kVAlignCenter },
                Text { name = "upgradedescrip", label = "decor_pick_descrip", font = { "fonts/default.mvec", 15, kUiInk },
                       x = 16, y = 32, w = 300, h = 44, flags = kHAlignCenter + kVAlignTop },
            })),
            UiButton(InHudBox("decorbutton", { label = "decor_keep", command = function() DecorButton() end })),
            GameUILayer { name = "uilayer", x = 0, y = 0, w = 800, h = 600 },
            GamePostUILayer { name = "postuilayer", x = 0, y = 0, w = 800, h = 600 },
            ScreenFade { name = "screenfade", x = 0, y = 0, w = 800, h = 600 },
        },
    }
}
