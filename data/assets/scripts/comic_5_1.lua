-- The story comic after restaurant 5: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_5_1")
