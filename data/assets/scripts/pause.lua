-- The pause screen: the floor stands still until the player resumes.
ReadFile("scripts/ui.lua")
UiDialog("pause_title", "pause_body", { { "resume", "pause_resume" }, { "quit", "pause_quit" } })
