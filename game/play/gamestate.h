// The level's flow states and what the flow asks of whoever shows it. The
// game window (TGame) shows the flow on screen; tests and benchmarks play the
// floor without a window through a recording host.
#pragma once

#include "engine/base/str.h"

enum EGameState : int {
    kPlaying = 0,
    kFadeOut = 1,
    kFadeIn = 2,
    kDecorChoice = 3,
    kDecorChosen = 4,
    kNewItem = 6,
    kLoadAssets = 7,
    kIntroFadeDown = 8,
    kLevelIntro = 9,
    kIntroFadeUp = 10,
    kLevelOver = 11,
};

// What the level-over screen is filled with.
struct TLevelResult {
    bool win = false;
    bool gameOver = false;
    bool newHiscore = false;
    bool expert = false;
    int bonus = 0;
    int levelScore = 0;
};

class IGameHost {
public:
    virtual ~IGameHost() = default;
    // A level (the first, the next or the same again) was set up: whatever
    // the host shows of the level starts afresh (its signs, its buttons).
    virtual void LevelSetUp() {}
    // The intro screen opens (the flow has paused the game clock through
    // PauseGame; an intro that cannot show resumes it).
    virtual void OpenLevelIntro() = 0;
    // The level-over screen opens with the level's result.
    virtual void OpenLevelOver(const TLevelResult& result) = 0;
    // Slides the level-over screen away (GoToNextLevel, RestartLevel).
    virtual void CloseLevelOver() = 0;
    // 0 clear to 1 black.
    virtual void SetFade(float alpha) = 0;
    // The game clock stands still while paused.
    virtual void PauseGame(bool pause) = 0;
    // The restaurant's last level was finished: back to the menus, by the
    // story comic of `restaurant` (the one that comes next). The host must
    // not touch the floor after this returns.
    virtual void LeaveRestaurant(int restaurant) = 0;
    // The level cannot be played (its file is missing): back to where it was
    // chosen. The host must not touch the floor after this returns.
    virtual void LeaveLevel() { LeaveRestaurant(-1); }
    // The same for a career level whose file or floor plan is missing or
    // damaged, which the player is told of.
    virtual void LeaveUnplayableLevel() { LeaveLevel(); }
    // Sounds of the flow by name ("closing", "ditch", "seat", "turbulence", "upgrade").
    virtual void PlayGameSound(const char* name) = 0;

    // Between levels, after the first win of a level that leads to an odd
    // one: the game lets its pictures go and the wardrobe opens over it. The
    // flow waits in kLoadAssets until the game is shown again.
    virtual void OpenCloset() {}
    // Back from the wardrobe: the game's pictures and window return.
    virtual void LoadGameAssets() {}
    // The decor choice's panel: shown or hidden, and how opaque (0 to 1).
    virtual void ShowDecorChoice(bool) {}
    virtual void SetDecorChoiceAlpha(float) {}
    // The decor item whose name and description the panel shows (-1: the
    // prompt), and whether the button that keeps the chosen one shows.
    virtual void ShowDecorItem(int) {}
    virtual void ShowDecorButton(bool) {}
    // The first decor choice a player meets explains itself.
    virtual void ShowDecorTip() {}
    // Endless: whether the catalogue has an upgrade left to buy; when a
    // shift is done and it has, the notice shows (`alpha` is its flash).
    virtual bool UpgradeAvailable() { return false; }
    // An endless shift starts over: nothing is bought any more.
    virtual void ResetUpgrades() {}
    virtual void ShowUpgradeNotice(bool) {}
    virtual void SetUpgradeNoticeAlpha(float) {}
};
