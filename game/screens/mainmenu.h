// TMainMenu ("MainMenu"): the window behind "scripts/mainmenu.lua". It plays
// the menu music, greets the current player, hides what does not apply,
// opens the loading screen on the first entry of a run, and rotates the
// three upsell panels with a TUpsellTask.
#pragma once

#include "engine/base/animtask.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TSound;

// Shows "group1", "group2", "group3" of the top modal window in turn, one
// every three seconds.
class TUpsellTask : public TAnimTask {
public:
    TUpsellTask();
    bool Animate() override;

private:
    int mPhase = 1;
};

class TMainMenu : public TScriptedWindow<TMainMenu> {
public:
    static const contract::TScreenSpec kContract;

    TMainMenu();
    ~TMainMenu() override;

    void PostChildrenInit() override;
    // The menu takes no key: they go on to the screen's buttons.
    bool OnKeyDown(char, int) override { return false; }

    void SetWelcomeName();
    void CycleUpsell();
    void KillUpsell();

    TUpsellTask* GetUpsellTask() const { return mUpsellTask; }
    bool HasMusic() const { return mMusic != nullptr; }

private:

    std::shared_ptr<TSound> mMusic;      // empty when the music could not be loaded
    int mMusicStream = -1;
    TUpsellTask* mUpsellTask = nullptr;  // owned by the top modal window's task list while it runs
};

