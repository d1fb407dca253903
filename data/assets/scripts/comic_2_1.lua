-- The story before the train's first level: how Quessa comes aboard. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_2_1")
