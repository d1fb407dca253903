-- The story before the submarine's first level: how Quessa comes aboard. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_3_1")
