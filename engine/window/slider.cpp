#include "engine/window/slider.h"

#include "engine/base/debuglog.h"
#include "engine/render/texture.h"
#include "engine/window/image.h"
#include "engine/window/message.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

#include <algorithm>
#include <cstdlib>

namespace {

TWindow* TSliderDynamicCreate()
{
    return new TSlider;
}

IWindowScript* Script()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    return manager ? manager->GetScript() : nullptr;
}

std::shared_ptr<TTexture> LoadTexture(const str& name)
{
    return name.length() != 0 ? TTexture::Get(name, 0) : nullptr;
}

}  // namespace

void MakeQuad2d(TTransformedLitVert* out, const TVec2& pos, const TVec2& size, const TVec2& extra,
                const TVec2& uvScale, bool turn90)
{
    static const float corners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};
    const int t[4] = {turn90 ? 0 : 1, turn90 ? 1 : 0, turn90 ? 1 : 0, turn90 ? 0 : 1};
    const float sx = size.x + extra.x;
    const float sy = size.y + extra.y;
    for (int i = 0; i < 6; ++i) {
        const float ox = corners[i][0];
        const float oy = corners[i][1];
        TTransformedLitVert& v = out[i];
        v.x = ox * sx * t[0] + oy * sy * t[1] + pos.x - 0.5f;
        v.y = oy * sy * t[3] + ox * sx * t[2] + pos.y - 0.5f;
        v.z = 0.1f;
        v.rhw = 0.5f;
        v.color = TColor32(255, 255, 255, 255);
        v.specular = TColor32(0, 0, 0, 255);
        v.u = ox / uvScale.x;
        v.v = oy / uvScale.y;
    }
}

TClassId TSlider::ClassId()
{
    static const TClassId id = RegisterCreatable(&TSliderDynamicCreate);
    return id;
}

TSlider::TSlider() : mOwnedHandle(std::make_unique<TImage>(true)), mHandle(mOwnedHandle.get()) {}

TSlider::~TSlider()
{
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->ReleaseCapture(this);
}

bool TSlider::Init()
{
    IWindowScript* script = Script();
    auto number = [script](const char* key, double def) { return script ? script->GetNumber(key, def) : def; };
    auto text = [script](const char* key) { return script ? script->GetString(key, "") : str(); };
    const int w = static_cast<int>(number("w", 0));
    const int h = static_cast<int>(number("h", 0));
    mHorizontal = w > h || (script && script->GetBool("hslider", false));
    SetName(text("name"));
    mScale = static_cast<float>(number("scale", 1.0));
    mYOffset = static_cast<int>(number("yoffset", 0));

    auto normal = LoadTexture(text("sliderimage"));
    auto rollover = LoadTexture(text("sliderrollimage"));
    if (!normal)
        WriteDbg("ASSERT(%s) FAILED!! %s, %d", "mSliderTextures[0]", "devel/src/slider", __LINE__);
    if (!rollover)
        WriteDbg("ASSERT(%s) FAILED!! %s, %d", "mSliderTextures[1]", "devel/src/slider", __LINE__);
    SetRailTexture(LoadTexture(text("railtop")), LoadTexture(text("railmid")), LoadTexture(text("railbot")));
    SetSliderTexture(normal, rollover);

    UpdateSliderPos();
    if (mOwnedHandle) {
        if (AdoptChild(mOwnedHandle.get(), true))
            mOwnedHandle.release();
    }
    SetSliderSize();
    return true;
}

void TSlider::SetValue(float value, bool quiet)
{
    mValue = std::clamp(value, 0.0f, 1.0f);
    if (!mHandle)
        return;
    UpdateSliderPos();
    if (!quiet)
        SendToParent(kSliderMoved);
}

void TSlider::SendToParent(int type)
{
    if (TWindow* parent = GetParent())
        parent->SendWindowMessage(new TMessage(type, GetName(), nullptr));
}

void TSlider::SetRailTexture(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                             std::shared_ptr<TTexture> bottom)
{
    mRailTextures[0] = std::move(top);
    mRailTextures[1] = std::move(middle);
    mRailTextures[2] = std::move(bottom);
    SetSliderSize();
}

void TSlider::SetSliderTexture(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollover)
{
    mSliderTextures[0] = std::move(normal);
    mSliderTextures[1] = std::move(rollover);
    if (mHandle)
        mHandle->SetTexture(mSliderTextures[0], mScale);
    SetSliderSize();
}

void TSlider::ShowHandle(bool show)
{
    if (!mHandle)
        return;
    if (show)
        mHandle->AddFlags(kVisible);
    else
        mHandle->ClearFlags(kVisible);
}

void TSlider::UpdateSliderPos()
{
    if (!mHandle)
        return;
    if (mHorizontal)
        mHandle->SetWindowPos(static_cast<int>((GetWindowWidth() - mHandle->GetWindowWidth()) * mValue), mYOffset);
    else
        mHandle->SetWindowPos(mYOffset, static_cast<int>((GetWindowHeight() - mHandle->GetWindowHeight()) * mValue));
}

void TSlider::SetSliderSize()
{
    int thickness = 0;
    for (const auto& texture : mRailTextures)
        if (texture)
            thickness = std::max(thickness, static_cast<int>(texture->GetWidth() * mScale));
    if (mHandle) {
        const int across = mHorizontal ? mHandle->GetWindowHeight() : mHandle->GetWindowWidth();
        thickness = std::max(thickness, across + std::abs(mYOffset));
    }
    mThickness = thickness;
    if (mHorizontal)
        SetWindowSize(GetWindowWidth(), thickness);
    else
        SetWindowSize(thickness, GetWindowHeight());
}

void TSlider::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    platform->SetBlendMode(kBlendAlpha);
    platform->SetCullMode(kCullNone);
    TRect screen;
    GetWindowRect(&screen);
    const float length = static_cast<float>(mHorizontal ? GetWindowWidth() : GetWindowHeight());
    // The caps keep their own length; the middle stretches between them.
    auto pieceLength = [this](int i) {
        return mRailTextures[i] ? static_cast<float>(mRailTextures[i]->GetHeight()) * mScale : 0.0f;
    };
    const float top = pieceLength(0);
    const float bottom = pieceLength(2);
    const float lengths[3] = {top, std::max(0.0f, length - top - bottom), bottom};
    float along = 0;
    for (int i = 0; i < 3; ++i) {
        const std::shared_ptr<TTexture>& texture = mRailTextures[i];
        if (texture) {
            const int width = static_cast<int>(texture->GetWidth() * mScale);
            const float across = static_cast<float>((mThickness - width) / 2);
            TPoint internal;
            texture->GetInternalSize(&internal);
            const TVec2 uvScale(internal.x > 0 ? static_cast<float>(internal.x) / texture->GetWidth() : 1.0f,
                                internal.y > 0 ? static_cast<float>(internal.y) / texture->GetHeight() : 1.0f);
            const TVec2 pos = mHorizontal ? TVec2(screen.x1 + along, screen.y1 + across)
                                          : TVec2(screen.x1 + across, screen.y1 + along);
            TTransformedLitVert quad[6];
            MakeQuad2d(quad, pos, TVec2(static_cast<float>(width), lengths[i]), TVec2(0, 0), uvScale, mHorizontal);
            platform->SetTexture(texture);
            platform->DrawVertices(kDrawTriangles, TVertexSet(quad, 6));
        }
        along += lengths[i];
    }
    platform->SetTexture(nullptr);
    platform->End2d();
}

bool TSlider::OnHandle(const TPoint& p) const
{
    return mHandle && mHandle->GetRect().Contains(p);
}

void TSlider::ShowHandleTexture(int which)
{
    if (mHandle && mSliderTextures[which])
        mHandle->SetTexture(mSliderTextures[which], mScale);
    if (mHandle)
        mHandle->InvalidateRect(nullptr);
}

void TSlider::ReleaseMouse()
{
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->ReleaseCapture(this);
}

bool TSlider::OnMouseDown(const TPoint& p)
{
    if (!mHandle)
        return false;
    if (OnHandle(p)) {
        mDragging = true;
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->SetCapture(this);
        return true;
    }
    const TRect& handle = mHandle->GetRect();
    const bool before = mHorizontal ? p.x < handle.x1 : p.y < handle.y1;
    SendToParent(before ? kSliderPageBack : kSliderPageForward);
    return true;
}

bool TSlider::OnMouseMove(const TPoint& p)
{
    if (mDragging) {
        const int length = mHorizontal ? GetWindowWidth() : GetWindowHeight();
        if (length > 0)
            SetValue(static_cast<float>(mHorizontal ? p.x : p.y) / static_cast<float>(length), false);
        return true;
    }
    if (OnHandle(p)) {
        ShowHandleTexture(1);
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->SetCapture(this);
        return true;
    }
    ShowHandleTexture(0);
    TRect client;
    GetClientRect(&client);
    if (!client.Contains(p))
        ReleaseMouse();
    return true;
}

bool TSlider::OnMouseUp(const TPoint& p)
{
    if (!mDragging)
        return false;
    mDragging = false;
    ShowHandleTexture(OnHandle(p) ? 1 : 0);
    TRect client;
    GetClientRect(&client);
    if (!client.Contains(p)) {
        ReleaseMouse();
        ShowHandleTexture(0);
    }
    SendToParent(kSliderReleased);
    return true;
}

bool TSlider::OnMouseLeave()
{
    if (mDragging)
        return true;
    ShowHandleTexture(0);
    ReleaseMouse();
    return true;
}
