-- A question with Yes and No: the texts of gDialogTable (title, body); the
-- answer is the button's name.
local t = gDialogTable or {}
UiDialog("#" .. (t.title or ""), "#" .. (t.body or ""), { { "yes", "yes" }, { "no", "no" } })
