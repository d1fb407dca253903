#include "engine/window/image.h"

#include "engine/render/texture.h"

namespace {

TWindow* CreateImage()
{
    return new TImage(false);
}

}  // namespace

TClassId TImage::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateImage);
    return id;
}

TImage::TImage(bool background)
{
    if (background)
        TWindow::AddFlags(kBackgroundLayer);
}

TImage::~TImage() = default;

void TImage::SetTexture(std::shared_ptr<TTexture> texture, float scale)
{
    if (GetName().length() == 0 && texture)
        SetName(texture->GetName());
    mTexture = std::move(texture);
    mScale = scale;
    if (mTexture)
        SetWindowSize(static_cast<int>(mTexture->GetWidth() * scale + 0.5f),
                      static_cast<int>(mTexture->GetHeight() * scale + 0.5f));
}

void TImage::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mTexture || !platform || !platform->Begin2d())
        return;
    TPoint origin{GetRect().x1, GetRect().y1};
    if (TWindow* parent = GetParent())
        parent->ClientToScreen(&origin);
    // The window core keeps one union rectangle of damage rather than a list.
    if (const std::optional<TRect> dirty = GetDirtyRect()) {
        UpdateRect(origin, *dirty);
    } else {
        TRect client;
        GetClientRect(&client);
        UpdateRect(origin, client);
    }
    platform->End2d();
}

void TImage::UpdateRect(TPoint origin, const TRect& r)
{
    if (!mTexture)
        return;
    if (mScale != 1.0f && !mTexture->IsSimple()) {
        // A damage rectangle is in the window's scaled pixels, a source in the
        // texture's: a scaled picture is drawn whole, within its window.
        mTexture->Draw(static_cast<float>(origin.x), static_cast<float>(origin.y), mAlpha, mScale, nullptr);
        return;
    }
    const int x = origin.x + r.x1;
    const int y = origin.y + r.y1;
    const bool blended = mScale != 1.0f || mAlpha != 1.0f || mTexture->HasAlpha();
    if (!mTexture->IsSimple() && blended)
        mTexture->Draw(static_cast<float>(x), static_cast<float>(y), mAlpha, mScale, &r);
    else
        mTexture->DrawFast(x, y, &r);
}
