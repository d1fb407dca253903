-- The player choice: the players as buttons, ten at a time (the arrows
-- beside them turn to the others); choose one, add a new one, or delete the
-- chosen one (after asking). Nothing acts on a player when no button is
-- chosen.
ReadFile("scripts/menuscene.lua")

local kSlotLook = { "ui/kit/button_normal", "ui/kit/button_pressed", "ui/kit/button_hover", "ui/kit/button_pressed" }
local kRoundLook = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" }
-- The paper stands this far into the screen's list window, whose sides hold the arrows.
local kLeft = 70

local function Choose()
    local chosen = GetCurrentSelectedUser()
    if chosen >= 0 then
        SetCurrentUser(chosen, false)
        CloseWindow()
    end
end

local function NewPlayer()
    DoModal("scripts/entername.lua")
    SetPlayerChoices()
end

local function Delete()
    local chosen = GetCurrentSelectedUser()
    if chosen < 0 then
        return
    end
    local answer = DisplayDialog { "scripts/yesno.lua", title = GetString("chooseplayer_delete"),
                                   body = GetString("chooseplayer_deleteask", GetSelectedPlayerName()) }
    if answer == "yes" then
        DeleteUser(chosen)
        SetPlayerChoices()
    end
end

local function Slot(i, row, column)
    return Button { name = "button" .. i, label = "#", type = kRadio, graphics = kSlotLook,
                    x = kLeft + 66 + column * 224, y = 70 + row * 62, w = 184, h = 58, tx = 4, ty = 2, tw = 176, th = 46,
                    font = { "fonts/corona.mvec", 22, kUiLight, 2, kUiInk }, flags = kHAlignCenter + kVAlignCenter }
end

local function PageArrow(name, icon, x, pages)
    return Button { name = name, graphics = kRoundLook, x = x, y = 194, w = 60, h = 62,
                    command = function() TurnPlayerPage(pages) end, UiPicture(icon, 6, 5, 48, 48) }
end

local list = { name = "chooseplayer", x = 130 - kLeft, y = 20, w = 540 + 2 * kLeft, h = 560,
               UiPicture("ui/menu/dialog_tall", kLeft + 10, 0, 520, 540, "dialogframe"),
               Text { name = "title", label = "chooseplayer_title", font = kUiTitleFont, x = kLeft + 40, y = 6,
                      w = 460, h = 44, flags = kHAlignCenter + kVAlignCenter },
               PageArrow("playersprev", "ui/kit/icon_left", 4, -1),
               PageArrow("playersnext", "ui/kit/icon_right", 540 + 2 * kLeft - 64, 1),
               BeginGroup() }
for row = 0, 4 do
    for column = 0, 1 do
        table.insert(list, Slot(row * 2 + column, row, column))
    end
end
table.insert(list, UiFill(kLeft + 40, 384, 460, 2, { 0.92, 0.83, 0.69 }))
table.insert(list, UiButton { name = "chooseok", label = "ok", x = kLeft + 66, y = 398, command = Choose })
table.insert(list, UiButton { name = "newplayer", label = "chooseplayer_new", x = kLeft + 290, y = 398,
                              command = NewPlayer })
table.insert(list, UiButton { name = "delete", label = "chooseplayer_delete", x = kLeft + 66, y = 458,
                              command = Delete })
table.insert(list, UiButton { name = "back", label = "back", x = kLeft + 290, y = 458, close = true })
table.insert(list, Window { name = "editname", x = 0, y = 0, w = 1, h = 1 })
table.insert(list, Window { name = "advanced", x = kLeft + 290, y = 398, w = 184, h = 58 })
MakeDialog { Window { name = "chooseplayerscreen", w = 800, h = 600, MenuScene(false), ChoosePlayerWindow(list) } }
