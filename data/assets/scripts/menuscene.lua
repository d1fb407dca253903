-- The scene behind the menu screens: the cruise ship's night sky over the
-- sea, with the game's logo. Screens call MenuScene() first in their dialog.
local sky = { 0.14, 0.22, 0.37 }
local sea = { 0.25, 0.61, 0.77 }
local deep = { 0.18, 0.47, 0.62 }
local foam = { 0.80, 0.92, 0.96 }

function MenuScene(withLogo)
    local scene = {
        UiFill(0, 0, 800, 600, sky, "sky"),
        UiFill(0, 440, 800, 160, sea, "sea"),
        UiFill(0, 520, 800, 80, deep),
        UiFill(60, 470, 120, 4, foam), UiFill(610, 480, 130, 4, foam),
        UiFill(110, 548, 90, 4, foam), UiFill(560, 565, 140, 4, foam),
    }
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
