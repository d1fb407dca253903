-- Help page 1 of 4: how the restaurant works. The arrows page through the
-- four pages; Back returns to the menu from any of them.
ReadFile("scripts/menuscene.lua")
ReadFile("scripts/helppage.lua")

HelpPage(1)
