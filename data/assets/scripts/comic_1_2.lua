-- The story's opening, before the first restaurant.
ReadFile("scripts/comic.lua")
ShowComic("comic_1_2")
