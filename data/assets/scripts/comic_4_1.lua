-- The story comic after restaurant 4: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_4_1")
