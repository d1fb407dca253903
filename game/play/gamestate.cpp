#include "game/play/gamestate.h"

#include <algorithm>

float ScreenFadeFor(int state, float stateTimer)
{
    // Between levels the screen goes black in a second and clears in one (half
    // of one after a restart, which goes to the intro sooner); the intro and
    // the level-over board hold it half dark, fading in and out in half a second.
    switch (state) {
    case kFadeOut:
        return std::min(1.0f, stateTimer);
    case kFadeIn:
        return std::max(0.0f, 1.0f - stateTimer);
    case kLoadAssets:
        return 1.0f;
    case kIntroFadeDown:
        return std::min(stateTimer, 0.5f);
    case kLevelIntro:
    case kLevelOver:
        return 0.5f;
    case kIntroFadeUp:
        return std::max(0.0f, 0.5f - stateTimer);
    default:  // play, the decor choice and the new items show the floor clear
        return 0.0f;
    }
}
