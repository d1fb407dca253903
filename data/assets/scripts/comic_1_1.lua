-- The story's opening: Quessa comes aboard the cruise ship. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_1_1")
