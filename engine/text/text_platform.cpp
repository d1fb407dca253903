#include "engine/text/text_platform.h"

#include "engine/platform/platform.h"
#include "engine/platform/platformdata.h"
#include "engine/render/displayhandler.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

bool TTextureSpanTarget::Lock(unsigned char** pixels, int* width, int* height, int* pitch)
{
    return mTexture && mTexture->Lock(pixels, width, height, pitch);
}

void TTextureSpanTarget::Unlock()
{
    if (mTexture)
        mTexture->Unlock();
}

void TPlatformTextDisplay::UnbindTexture()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->SetTexture(nullptr);
}

void TPlatformTextDisplay::DrawLines(const TSpanVertex* vertices, int count)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || count <= 0)
        return;
    // The set only reads the vertices; its constructor takes them non-const.
    TVertexSet set(const_cast<TSpanVertex*>(vertices), count);
    platform->DrawVertices(TPlatform::EDrawType(kDrawLines), set);
}

std::shared_ptr<TSpanTarget> TPlatformTextDisplay::CreateGlyphAtlas(int width, int height)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(width, height, true);
    if (!texture)
        return nullptr;
    return std::make_shared<TTextureSpanTarget>(std::move(texture));
}

bool TPlatformTextDisplay::DrawGlyphQuads(TSpanTarget* atlas, const TSpanVertex* vertices, int count)
{
    TPlatform* platform = TPlatform::GetInstance();
    auto* adapter = dynamic_cast<TTextureSpanTarget*>(atlas);
    if (!platform || !adapter || count <= 0 || !platform->GetDisplayHandler())
        return false;
    if (!platform->CheckDrawState())
        return true;  // drawn nowhere, as lines would be
    TVertexSet set(const_cast<TSpanVertex*>(vertices), count);
    return platform->GetDisplayHandler()->DrawGlyphTriangles(adapter->Texture().get(), set);
}

bool TPlatformTextDisplay::GetViewPortScale(float* scale)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !scale)
        return false;
    platform->GetPlatformData()->GetViewPortScale(scale);
    return true;
}

std::shared_ptr<TSpanTarget> TPlatformTextDisplay::CreateRenderTarget(int width, int height)
{
    std::shared_ptr<TTexture> texture = TTexture::CreateRenderTargetTexture(width, height);
    if (!texture)
        return nullptr;
    return std::make_shared<TTextureSpanTarget>(std::move(texture));
}

void TPlatformTextDisplay::FillRect(int left, int top, int right, int bottom, const TColor& colour,
                                    TSpanTarget* target)
{
    auto* adapter = dynamic_cast<TTextureSpanTarget*>(target);
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->FillRect(left, top, right, bottom, &colour, adapter ? adapter->Texture() : nullptr);
}

bool TPlatformTextDisplay::BeginRenderTarget(TSpanTarget* target)
{
    auto* adapter = dynamic_cast<TTextureSpanTarget*>(target);
    TPlatform* platform = TPlatform::GetInstance();
    return platform && adapter && platform->BeginRenderTarget(adapter->Texture());
}

void TPlatformTextDisplay::EndRenderTarget()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->EndRenderTarget();
}

bool TPlatformTextDisplay::Begin2d()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform && platform->Begin2d();
}

void TPlatformTextDisplay::End2d()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->End2d();
}

TTextDisplayHost::~TTextDisplayHost()
{
    if (mRasterizer && GetTextServices().rasterizer == mRasterizer.get())
        SetTextServices(TTextServices{});
}

void TTextDisplayHost::SetDisplay(int width, int height, bool fullscreen)
{
    mInner->SetDisplay(width, height, fullscreen);
    if (mRasterizer)
        return;
    mFonts = std::make_unique<TFontData>();
    mDisplay = std::make_unique<TPlatformTextDisplay>();
    mRasterizer = std::make_unique<TQmMiniVecDraw>(mDisplay.get());
    SetTextServices(TTextServices{mFonts.get(), mRasterizer.get(), mDisplay.get()});
    mRasterizer->Calibrate();
}

namespace qm {

void InstallTextRendering()
{
    auto inner = PlatformHooks().makeDisplayHost;
    PlatformHooks().makeDisplayHost = [inner](TPlatformData& platform) -> std::unique_ptr<IDisplayHost> {
        std::unique_ptr<IDisplayHost> host = inner ? inner(platform) : nullptr;
        if (!host)
            return nullptr;
        return std::make_unique<TTextDisplayHost>(std::move(host));
    };
}

}  // namespace qm

void TTextGraphic::Draw(const TRect& rect, float scale, int extraLinePixels, float opacity,
                        std::shared_ptr<TTexture> target)
{
    std::shared_ptr<TSpanTarget> surface;
    if (target)
        surface = std::make_shared<TTextureSpanTarget>(std::move(target));
    DrawInto(rect, scale, extraLinePixels, opacity, std::move(surface));
}
