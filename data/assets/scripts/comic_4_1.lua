-- The story before the blimp's first level: how Quessa comes aboard. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_4_1")
