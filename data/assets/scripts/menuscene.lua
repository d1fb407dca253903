-- The scene behind the menu screens: the evening sky over the sea, seen
-- from the cruise ship, with the game's logo. Screens call MenuScene() first
-- in their dialog. The sky's top is the cruise navy.

-- withDeck: the ship's deck with its rail across the bottom (the loading
-- screen's heroine walks on it); withHeroine: the waitress herself on the
-- deck, at the left of the main menu's buttons.
function MenuScene(withLogo, withDeck, withHeroine)
    local scene = { UiPicture("mainmenu/night", 0, 0, 800, 600, "sky") }
    if withDeck then
        table.insert(scene, UiPicture("mainmenu/deck", 0, 0, 800, 600, "deck"))
    end
    if withHeroine then
        table.insert(scene, UiPicture("mainmenu/heroine", 40, 290, 220, 300, "heroine"))
    end
    if withLogo then
        table.insert(scene, UiPicture("ui/kit/logo", 120, 4, 560, 170, "logo"))
    end
    return Group(scene)
end

-- A paper panel with a heading in the kit's title look.
function MenuPanel(name, x, y, w, h, heading, children)
    local panel = { name = name, x = x, y = y, w = w, h = h,
                    UiPicture("ui/kit/panel", 0, 0, w, h) }
    if heading then
        table.insert(panel, Text { name = name .. "title", label = heading,
                                   font = { "fonts/corona.mvec", 30, kUiInk }, x = 20, y = 14, w = w - 40, h = 40,
                                   flags = kHAlignCenter + kVAlignCenter })
    end
    for i = 1, table.getn(children) do
        table.insert(panel, children[i])
    end
    return Window(panel)
end
