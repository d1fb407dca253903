-- The story comic after restaurant 3: page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_3_1")
