// The level's flow states, its result, and the events the level appends for
// whoever shows it. The level never calls out: the game window (TGame) takes
// the events after each call into the level and shows them; tests and
// benchmarks read the same events on a headless floor.
#pragma once

#include "engine/base/str.h"
#include "game/settings/levelresult.h"

#include <variant>

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

// What the pointer shows over the floor: the arrow, the open hand over a
// party it may pick up, the hand holding one, the pointing hand over what a
// click sends the waitress to (or, between levels, a decor item).
enum class EFloorCursor : int { kArrow, kOpenHand, kGrabbingHand, kPointingHand };

namespace levelevent {

// A level (the first, the next or the same again) was set up: whatever the
// window shows of the level starts afresh (its signs, its buttons), and what
// opens from here on is new to this level (the unlock marks).
struct LevelSetUp {};
// The intro opens; the game clock stands still under it (an intro that
// cannot show lets it run on).
struct IntroOpens {};
// The level is over: its result is kept (game::ApplyLevelResult) and the
// level-over board opens with it; the clock stands still.
struct LevelOver {
    TLevelResult result;
};
// The board slides away (next level, restart); the fade to black follows.
struct LevelOverCloses {};
// A sound of the flow by name ("closing", "ditch", "refuse", "seat",
// "turbulence", "upgrade").
struct Sound {
    const char* name;
};
// After the first win of a level that leads to an odd one: the game lets its
// pictures go and the wardrobe opens over it. The level waits in kLoadAssets
// until the game shows again.
struct ClosetDue {};
// Back from the wardrobe: the game's pictures and window return.
struct BackFromCloset {};
// The decor choice's panel opens (it fades in with kDecorChoice's timer);
// `firstTime`: the first choice a player meets explains itself.
struct DecorChoiceOpens {
    bool firstTime = false;
};
// The decor item whose name and description the panel shows (-1: the prompt).
struct DecorItemShown {
    int item = -1;
};
// Whether the button that keeps the chosen item shows.
struct DecorButtonShown {
    bool shown = false;
};
// An item was kept: applying it stopped the game clock while its picture
// loaded; the fade and blinking that follow need it running again.
struct DecorKept {};
// The decor panel has faded out.
struct DecorChoiceCloses {};
// Endless: a shift's goal is reached with something left to buy; the notice
// shows and its glow flashes once (`TBetweenLevels::GetUpgradeAnimTime`).
struct UpgradeNoticeShown {};
// The upgrade picker is up: the notice goes.
struct UpgradeNoticeHidden {};
// The restaurant's last level was finished: back to the menus, by the story
// comic of `restaurant` (the one that comes next). The level must not be
// touched after this event.
struct LeaveRestaurant {
    int restaurant = -1;
};
// A career level whose file or floor plan is missing or damaged: the player
// is told and goes back to the map.
struct LeaveUnplayableLevel {};

}  // namespace levelevent

using TLevelEvent =
    std::variant<levelevent::LevelSetUp, levelevent::IntroOpens, levelevent::LevelOver, levelevent::LevelOverCloses,
                 levelevent::Sound, levelevent::ClosetDue, levelevent::BackFromCloset, levelevent::DecorChoiceOpens,
                 levelevent::DecorItemShown, levelevent::DecorButtonShown, levelevent::DecorKept,
                 levelevent::DecorChoiceCloses, levelevent::UpgradeNoticeShown, levelevent::UpgradeNoticeHidden,
                 levelevent::LeaveRestaurant, levelevent::LeaveUnplayableLevel>;

// What the window shows of the level's own state on its clock, the same
// every frame for a given state: the screen's black (0 clear to 1 black),
// the decor panel's opacity (0 to 1) and the upgrade notice's glow.
float ScreenFadeFor(int state, float stateTimer);
float DecorChoiceAlphaFor(int state, float stateTimer);
float UpgradeNoticeAlphaFor(float animTime);
