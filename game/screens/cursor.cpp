#include "game/screens/cursor.h"

#include "engine/base/debuglog.h"
#include "engine/base/rect.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"

namespace {

constexpr const char* kCursorImages[TCursor::kStateCount] = {
    "cursor/arrow?colorkeyed", "cursor/open?colorkeyed", "cursor/grab?colorkeyed",
    "cursor/click?colorkeyed", "cursor/click2?colorkeyed",
};

std::unique_ptr<TCursor> gCursor;

}  // namespace

TCursor* TCursor::GetInstance()
{
    if (!gCursor)
        gCursor.reset(new TCursor);
    return gCursor.get();
}

void TCursor::Free() { gCursor.reset(); }

TCursor::TCursor()
{
    // A missing picture leaves the cursor as it was in that state (the
    // texture's loader has named the file).
    for (int i = 0; i < kStateCount; ++i)
        mTextures[i] = TTexture::GetSimple(kCursorImages[i]);
    Show(kArrow);
    mListener = std::make_unique<TTextureRefresh>([this] { Restore(); });
}

TCursor::~TCursor() = default;

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
