-- The main menu: greets the player, and leads to the career, an endless
-- shift, the best scores, the options, the help pages and the credits.
-- Play and Endless close the menu with their choice (the main loop takes
-- it from there); the other screens open over it. Three panels on a strip
-- of paper below the buttons take turns telling what the game holds, each
-- with a link to what it tells of; Quessa's corner opens from the welcome
-- box, the more games page beside Quit.
-- The first time in a run the menu opens the loading screen; when loading
-- ends, a first start asks for a name.
ReadFile("scripts/menuscene.lua")

local linkFont = { "fonts/default.mvec", 16, kUiLink }
local panelTitle = { "fonts/corona.mvec", 18, kUiInk }
local panelBody = { "fonts/default.mvec", 14, kUiInk }

gMenuId = CreateCloseMessage().name

-- A first start has no player yet: ask for a name before anything else.
local function AskForFirstName()
    if GetNumUsers() == 0 then
        DoModal("scripts/entername.lua")
        SetWelcomeName()
    end
end

-- Saves the game could not read at start-up (damaged and kept aside, or
-- another user's and left alone): say so, once, before anything asks for a
-- name again.
local function TellOfUnreadableSaves()
    local title, body, file, owner, folder = TakeSaveNotice()
    while title do
        DisplayDialog { "scripts/ok.lua", title = GetString(title), body = GetString(body, file, owner, folder) }
        title, body, file, owner, folder = TakeSaveNotice()
    end
end

-- Leaves the menu for play; a first start names its player first.
local function Leave(choice)
    return function()
        AskForFirstName()
        if GetNumUsers() > 0 then
            ModalReturn(choice)
            PostMessage(CreateNamedMessage(kCloseWindow, gMenuId))
        end
    end
end

local function Open(script)
    return function() DoModal(script) end
end

local function ChangePlayer()
    DoModal("scripts/chooseplayer.lua")
    SetWelcomeName()
end

-- Run by the preloader when loading has ended, outside the screen's own
-- turn: the question waits in the command queue for the next message.
function HandleSSSGLoad()
    table.insert(gCommandQueue, function()
        TellOfUnreadableSaves()
        AskForFirstName()
    end)
    PostMessage(CreateNamedMessage(kButtonPress, "loaded"))
end

-- The wardrobe, as the career opens it (with what was newly opened and its
-- tip on the first visit); a first start names its player first.
local function VisitWardrobe()
    AskForFirstName()
    if GetNumUsers() > 0 then
        VisitCloset()
    end
end

-- Where each panel's link leads: endless shifts, the map (its extra levels
-- page), the wardrobe.
local upsellLinks = { Leave("endless"), Leave("play"), VisitWardrobe }

-- One of the panels that take turns on the paper strip below the buttons.
local function Upsell(k)
    return Window { name = "group" .. k, x = 0, y = 0, w = 384, h = 84,
        UiPicture("ui/menu/welcome", 0, 0, 384, 84, "upsellpaper" .. k),
        Text { name = "upselltitle" .. k, label = "upsell" .. k .. "_title", font = panelTitle, x = 16, y = 6,
               w = 352, h = 24, flags = kHAlignCenter + kVAlignCenter },
        Text { name = "upsellbody" .. k, label = "upsell" .. k .. "_body", font = panelBody, x = 16, y = 30,
               w = 352, h = 22, flags = kHAlignCenter + kVAlignCenter },
        Button { name = "upselllink" .. k, label = "upsell" .. k .. "_link", x = 92, y = 54, w = 200, h = 24,
                 font = linkFont, flags = kHAlignCenter + kVAlignCenter, command = upsellLinks[k] },
    }
end

local function MenuButton(name, label, x, y, command)
    return UiButton { name = name, label = label, x = x, y = y, command = command }
end

MakeDialog {
    MainMenu { name = "mainmenu", w = 800, h = 600,
        MenuScene(true, true, true),
        Window { name = "welcomebox", x = 208, y = 178, w = 384, h = 84,
            UiPicture("ui/menu/welcome", 0, 0, 384, 84),
            Text { name = "welcome", label = "#", font = kUiBodyFont, x = 12, y = 6, w = 354, h = 36,
                   flags = kHAlignCenter + kVAlignCenter },
            Button { name = "changeplayer", label = "menu_changeplayer", x = 16, y = 44, w = 196, h = 28,
                     font = linkFont, flags = kHAlignCenter + kVAlignCenter, command = ChangePlayer },
            Button { name = "corner", label = "menu_corner", x = 212, y = 44, w = 156, h = 28, font = linkFont,
                     flags = kHAlignCenter + kVAlignCenter, command = Open("scripts/quessascorner1.lua") },
        },
        MenuButton("play", "menu_play", 274, 270, Leave("play")),
        MenuButton("endless", "menu_endless", 474, 270, Leave("endless")),
        MenuButton("hiscores", "menu_hiscores", 274, 330, Open("scripts/hiscore.lua")),
        MenuButton("options", "menu_options", 474, 330, Open("scripts/options.lua")),
        MenuButton("help", "menu_help", 274, 390, Open("scripts/help1.lua")),
        MenuButton("credits", "menu_credits", 474, 390, Open("scripts/credits.lua")),
        UiButton { name = "quit", label = "menu_quit", x = 274, y = 450, close = true },
        UiButton { name = "moregames", label = "menu_moregames", x = 474, y = 450,
                   command = Open("scripts/moregames.lua") },
        Window { name = "upsell", x = 274, y = 512, w = 384, h = 84,
            Upsell(1), Upsell(2), Upsell(3),
        },
        Window { name = "editors", x = 0, y = 0, w = 1, h = 1 },
        Text { name = "version", label = "#", font = kUiSmallFont, x = 600, y = 4, w = 190, h = 20,
               flags = kHAlignRight + kVAlignCenter },
        -- Before the menu is finished, so before it opens the loading screen on top.
        function() SetVersion() end,
        function() CycleUpsell() end,
    }
}
