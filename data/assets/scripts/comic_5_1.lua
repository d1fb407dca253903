-- The story before the spaceship's first level: how Quessa comes aboard. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_5_1")
