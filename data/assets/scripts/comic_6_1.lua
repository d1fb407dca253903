-- The story's end, after the spaceship's last level. Page through with the arrows.
ReadFile("scripts/comic.lua")
ShowComic("comic_6_1")
