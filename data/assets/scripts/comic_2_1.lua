-- The story comic after restaurant 2: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_2_1")
