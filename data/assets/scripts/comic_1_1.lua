-- The story comic after restaurant 1: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_1_1")
