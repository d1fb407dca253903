-- Run when the window's close button is pressed while a confirmation is
-- allowed: asks whether to quit. The game clock stands still meanwhile.
InQuitCofirm(true)
-- A movie (the splash) covers every window: the question would be asked
-- out of sight. It is stopped, and the splash ends with it.
if IsMoviePlaying() then
    StopMovie()
end
local paused = QuitConfirmPause(true)
local id = PushModal("scripts/closeconfirm.lua")
UiDialog("quitconfirm_title", "quitconfirm_body", { { "yes", "yes" }, { "no", "no" } })
WaitForCloseMessage(id)
local answer = gReturnValue
gReturnValue = nil
if paused then
    QuitConfirmPause(false)
end
InQuitCofirm(false)
if answer == "yes" then
    PostMessage(CreateNamedMessage(kQuitNow, ""))
end
