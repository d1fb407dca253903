-- The story comic after restaurant 6: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_6_1")
