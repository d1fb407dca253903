// What the game's entry asks of an open level editor when the window is
// closed without a confirmation: save what was edited. The editor window
// (named "leveleditorwindow") implements it.
#pragma once

class IEditorSaveOnClose {
public:
    virtual ~IEditorSaveOnClose() = default;
    virtual void SaveLevelData() = 0;
};
