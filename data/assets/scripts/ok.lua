-- A message with one button: the texts of gDialogTable (title, body) and OK.
local t = gDialogTable or {}
UiDialog("#" .. (t.title or ""), "#" .. (t.body or ""), { { "ok", "ok" } })
