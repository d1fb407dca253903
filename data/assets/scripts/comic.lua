-- A story comic, one full-screen page at a time: the right arrow turns the
-- page (past the last it closes the comic), the left arrow goes back.
ReadFile("scripts/ui.lua")

local function Forward()
    if ForwardComic() then
        ModalReturn("done")
        PostMessage(CreateNamedMessage(kCloseWindow, gComicId))
    end
end

function ShowComic(name)
    gComicId = CreateCloseMessage().name
    MakeDialog {
        Bitmap { name = "comicpanel", x = 0, y = 0, w = 800, h = 600 },
        ComicPanel { name = name, w = 800, h = 600,
            Button { name = "left", x = 10, y = 536, w = 60, h = 62,
                     graphics = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" },
                     command = function() BackComic() end,
                     UiPicture("ui/kit/icon_left", 6, 6, 48, 48) },
            Button { name = "right", x = 730, y = 536, w = 60, h = 62,
                     graphics = { "ui/kit/roundbutton_normal", "ui/kit/roundbutton_pressed", "ui/kit/roundbutton_hover" },
                     command = Forward,
                     UiPicture("ui/kit/icon_right", 6, 6, 48, 48) },
        }
    }
end
