// The platform facade's drawing members. They forward unchanged to the
// installed display handler, and do nothing while there is none (a program
// without a display). They live beside the display handler so the platform
// layer needs no drawing code of its own.
#include "engine/platform/platform.h"
#include "engine/render/displayhandler.h"
#include "engine/render/texture.h"

void TPlatform::SetTexture(std::shared_ptr<TTexture> texture)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetTexture(std::move(texture));
}

void TPlatform::FillRect(int left, int top, int right, int bottom, const TColor* colour,
                         std::shared_ptr<TTexture> target)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->FillRect(left, top, right, bottom, colour, std::move(target));
}

void TPlatform::SetCullMode(ECullModes mode)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetCullMode(mode);
}

void TPlatform::SetFilteringMode(EFilteringModes mode)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetFilteringMode(mode);
}

void TPlatform::SetBlendMode(EBlendModes mode)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetBlendMode(mode);
}

void TPlatform::JoinDrawPasses(bool on)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->JoinPasses(on);
}

void TPlatform::PushViewport(int left, int top, int right, int bottom)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->PushViewport(left, top, right, bottom);
}

void TPlatform::SetDrawBounds(const TRect* bounds)
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetDrawBounds(bounds);
}

void TPlatform::PopViewport()
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->PopViewport();
}

void TPlatform::GetViewport(TRect* rect)
{
    if (!rect)
        return;
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->GetViewport(&rect->x1, &rect->y1, &rect->x2, &rect->y2);
    else
        *rect = TRect{0, 0, mData->DisplayWidth(), mData->DisplayHeight()};
}

bool TPlatform::BeginRenderTarget(std::shared_ptr<TTexture> texture)
{
    TDisplayHandler* handler = GetDisplayHandler();
    return handler && texture && handler->BeginRenderTarget(texture.get());
}

void TPlatform::EndRenderTarget()
{
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->EndRenderTarget();
}

str TPlatform::GetSystemData()
{
    TDisplayHandler* handler = GetDisplayHandler();
    return handler ? handler->GetSystemData() : str();
}

void TPlatform::DrawVertices(EDrawType type, const TVertexSet& vertices)
{
    if (!CheckDrawState())
        return;
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->DrawVertices(type, vertices);
}

void TPlatform::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot)
{
    mData->SetCursor(std::move(texture), hotSpot);
}

void TPlatformData::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot)
{
    if (!texture)
        return;
    hideSystemCursor();
    if (TDisplayHandler* handler = GetDisplayHandler())
        handler->SetCursor(std::move(texture), hotSpot);
}
