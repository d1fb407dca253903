// TCursor: the program's mouse cursor, one of five pictures (arrow, open
// hand, grabbing hand, pointing hand and its click frame), drawn by the
// display handler in place of the system cursor. The game's start-up makes
// the one cursor and deletes it at quit; GetInstance() answers null outside
// that time, and whoever asks must expect it.
#pragma once

#include "game/screens/texturerefresh.h"

#include <array>
#include <memory>

class TTexture;

class TCursor {
public:
    enum eCursorState : int { kArrow = 0, kOpen = 1, kGrab = 2, kClick = 3, kClick2 = 4 };
    static constexpr int kStateCount = 5;

    // Loads the pictures, shows the arrow and publishes itself. Made while
    // the platform exists, deleted before it goes.
    TCursor();
    // Withdraws itself.
    ~TCursor();
    static TCursor* GetInstance();
    // SetState on the cursor, when there is one.
    static void SetCurrent(eCursorState state);

    TCursor(const TCursor&) = delete;
    TCursor& operator=(const TCursor&) = delete;

    // Nothing happens when the state is already shown; an unknown state is
    // logged and ignored.
    void SetState(eCursorState state);
    eCursorState GetState() const { return mState; }
    // The click frame follows the pointing hand; other states stay.
    void Click();
    // Shows the current picture again (after the textures were lost).
    void Restore();

private:
    void Show(eCursorState state);

    std::array<std::shared_ptr<TTexture>, kStateCount> mTextures;
    eCursorState mState = kArrow;
    std::unique_ptr<TTextureRefresh> mListener;
};
