#include "game/screens/cursor.h"

#include "engine/base/debuglog.h"
#include "engine/base/instanceholder.h"
#include "engine/base/rect.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"

namespace {

constexpr const char* kCursorImages[TCursor::kStateCount] = {
    "cursor/arrow?colorkeyed", "cursor/open?colorkeyed", "cursor/grab?colorkeyed",
    "cursor/click?colorkeyed", "cursor/click2?colorkeyed",
};

}  // namespace

TCursor* TCursor::GetInstance() { return TInstanceHolder<TCursor>::Get(); }

void TCursor::SetCurrent(eCursorState state)
{
    if (TCursor* cursor = GetInstance())
        cursor->SetState(state);
}

TCursor::TCursor()
{
    // A missing picture leaves the cursor as it was in that state (the
    // texture's loader has named the file).
    for (int i = 0; i < kStateCount; ++i)
        mTextures[i] = TTexture::GetSimple(kCursorImages[i]);
    Show(kArrow);
    mListener = std::make_unique<TTextureRefresh>([this] { Restore(); });
    TInstanceHolder<TCursor>::Publish(this);
}

TCursor::~TCursor() { TInstanceHolder<TCursor>::Withdraw(this); }

void TCursor::Show(eCursorState state)
{
    mState = state;
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->SetCursor(mTextures[state], TPoint{1, 1});
}

void TCursor::SetState(eCursorState state)
{
    if (state < 0 || state >= kStateCount) {
        WriteDbg("cursor: no state %d", static_cast<int>(state));
        return;
    }
    if (state != mState)
        Show(state);
}

void TCursor::Click()
{
    if (mState == kClick)
        SetState(kClick2);
}

void TCursor::Restore() { Show(mState); }
