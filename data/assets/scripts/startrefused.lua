-- Another game keeps its saves in the same folder: say so in a dialog and
-- close once it is read, having read and written none of them. The text
-- (gStartRefusal, which names the folder) is set by the game's start-up.
ReadFile("scripts/ui.lua")

return function()
    DisplayDialog { "scripts/ok.lua", title = GetString("alreadyrunning_title"), body = gStartRefusal or "" }
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
