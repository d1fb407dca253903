-- Another game keeps its saves in the same folder: say so in a dialog and
-- close once it is read, having read and written none of them. The texts
-- (gStartRefusalTitle, and gStartRefusal, which names the folder) are set
-- by the game's start-up: another game holds the saves, or they cannot be
-- locked at all.
ReadFile("scripts/ui.lua")

return function()
    DisplayDialog { "scripts/ok.lua", title = gStartRefusalTitle or GetString("alreadyrunning_title"), body = gStartRefusal or "" }
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
