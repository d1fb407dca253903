-- The main menu: greets the player, and leads to play, the player choice,
-- the options and the help pages. The first time in a run it opens the
-- loading screen; when loading ends, a first start asks for a name.
ReadFile("scripts/menuscene.lua")
ReadFile("scripts/career.lua")

-- A first start has no player yet: ask for a name before anything else.
local function AskForFirstName()
    if GetNumUsers() == 0 then
        DoModal("scripts/entername.lua")
        SetWelcomeName()
    end
end

-- Saves the game could not read at start-up were kept aside: say so, once,
-- before anything asks for a name again.
local function TellOfDamagedSaves()
    local label, file = TakeSaveNotice()
    while label do
        DisplayDialog { "scripts/ok.lua", title = GetString("damagedsave_title"), body = GetString(label, file) }
        label, file = TakeSaveNotice()
    end
end

local function Play()
    AskForFirstName()
    if GetNumUsers() > 0 then
        PlayCareer()
    end
end

local function ChangePlayer()
    DoModal("scripts/chooseplayer.lua")
    SetWelcomeName()
end

-- Run by the preloader when loading has ended, outside the screen's own
-- turn: the question waits in the command queue for the next message.
function HandleSSSGLoad()
    table.insert(gCommandQueue, function()
        TellOfDamagedSaves()
        AskForFirstName()
    end)
    PostMessage(CreateNamedMessage(kButtonPress, "loaded"))
end

MakeDialog {
    MainMenu { name = "mainmenu", w = 800, h = 600,
        MenuScene(true, true, true),
        Window { name = "welcomebox", x = 208, y = 178, w = 384, h = 84,
            UiPicture("ui/menu/welcome", 0, 0, 384, 84),
            Text { name = "welcome", label = "#", font = kUiBodyFont, x = 12, y = 6, w = 354, h = 36,
                   flags = kHAlignCenter + kVAlignCenter },
            Button { name = "changeplayer", label = "menu_changeplayer", x = 89, y = 44, w = 200, h = 28,
                     font = { "fonts/default.mvec", 16, kUiLink },
                     flags = kHAlignCenter + kVAlignCenter, command = ChangePlayer },
        },
        UiButton { name = "play", label = "menu_play", x = 308, y = 270, command = Play },
        UiButton { name = "options", label = "menu_options", x = 308, y = 334,
                   command = function() DoModal("scripts/options.lua") end },
        UiButton { name = "help", label = "menu_help", x = 308, y = 398,
                   command = function() DoModal("scripts/help1.lua") end },
        UiButton { name = "quit", label = "menu_quit", x = 308, y = 462, close = true },
        Window { name = "moregames", x = 0, y = 0, w = 1, h = 1 },
        Window { name = "editors", x = 0, y = 0, w = 1, h = 1 },
        Text { name = "version", label = "#", font = kUiSmallFont, x = 600, y = 4, w = 190, h = 20,
               flags = kHAlignRight + kVAlignCenter },
        -- Before the menu is finished, so before it opens the loading screen on top.
        function() SetVersion() end,
    }
}
