#include "engine/script/animationlayers.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/drawtypes.h"
#include "engine/render/texture.h"
#include "engine/script/script.h"

#include <algorithm>
#include <climits>

using LayeredAnimationInfo = TAnimationData::LayeredAnimationInfo;
using Scrob = TAnimationData::Scrob;

// ---- scrobs ---------------------------------------------------------------------

void LayeredAnimationInfo::AllocateScrobs(int n)
{
    if (n < 0 || n > kMaxScrobs - static_cast<int>(mScrobs.size())) {
        WriteDbg("AllocateScrobs(%d): refused (%d allocated, at most %d)", n, static_cast<int>(mScrobs.size()),
                 kMaxScrobs);
        return;
    }
    // Only the new entries are free: the earlier ones may be in use.
    for (int i = 0; i < n; ++i) {
        mScrobs.emplace_back();
        mFreeScrobs.push_back(&mScrobs.back());
    }
}

const Scrob* LayeredAnimationInfo::FindScrob(int id) const
{
    auto found = mScrobIds.find(id);
    return found == mScrobIds.end() ? nullptr : found->second;
}

void LayeredAnimationInfo::Undraw(Scrob* scrob)
{
    auto drawn = mDrawOrder.find(scrob->depth);
    if (drawn != mDrawOrder.end() && *drawn == scrob)
        mDrawOrder.erase(drawn);
}

void LayeredAnimationInfo::SetScrob(int id, int depth, int bitmap, float width, float height)
{
    Scrob* scrob = nullptr;
    if (auto found = mScrobIds.find(id); found != mScrobIds.end()) {
        scrob = found->second;
        // Its slot at the old depth is given up before the depth (the
        // draw order's key) changes.
        Undraw(scrob);
    } else {
        QM_ASSERT_TEXT(!mFreeScrobs.empty(), "!mScrobs.empty()");
        if (mFreeScrobs.empty())
            return;
        scrob = mFreeScrobs.back();
        mFreeScrobs.pop_back();
        *scrob = Scrob{};  // identity transform at (0, 0)
        mScrobIds[id] = scrob;
    }
    scrob->bitmap = bitmap;
    scrob->depth = depth;
    scrob->alpha = 1.0f;
    scrob->size = TVec2(width, height);
    if (auto holder = mDrawOrder.find(depth); holder != mDrawOrder.end())
        mDrawOrder.erase(holder);
    mDrawOrder.insert(scrob);
}

void LayeredAnimationInfo::MoveScrob(int id, lua_State* L, int table)
{
    auto found = mScrobIds.find(id);
    if (found == mScrobIds.end())
        return;
    const float defaults[6] = {1, 0, 0, 1, 0, 0};
    float values[6];
    for (int i = 0; i < 6; ++i) {
        lua_rawgeti(L, table, i + 1);
        values[i] = lua_type(L, -1) == LUA_TNUMBER ? static_cast<float>(lua_tonumber(L, -1)) : defaults[i];
        lua_pop(L, 1);
    }
    Scrob* scrob = found->second;
    scrob->row1 = TVec2(values[0], values[1]);
    scrob->row2 = TVec2(values[2], values[3]);
    scrob->translation = TVec2(values[4], values[5]);
}

void LayeredAnimationInfo::SetScrobAlpha(int id, float alpha)
{
    if (auto found = mScrobIds.find(id); found != mScrobIds.end())
        found->second->alpha = alpha;
}

void LayeredAnimationInfo::RemoveScrob(int id)
{
    auto found = mScrobIds.find(id);
    if (found == mScrobIds.end())
        return;
    Undraw(found->second);
    mFreeScrobs.push_back(found->second);
    mScrobIds.erase(found);
}

void LayeredAnimationInfo::RemoveAll()
{
    while (!mScrobIds.empty())
        RemoveScrob(mScrobIds.begin()->first);
}

// ---- drawing ----------------------------------------------------------------------

void LayeredAnimationInfo::DrawLayers(float x, float y, float alpha, float scale, float rotation, int flags)
{
    for (std::size_t i = 0; i < mLayers.size(); ++i) {
        const std::shared_ptr<TAnimatedTexture>& layer = mLayers[i];
        if (!layer)
            continue;
        layer->SetCurrentFrame(mLayerFrames[i]);
        layer->DrawSprite(x, y, alpha * mLayerAlphas[i], scale, rotation, flags);
    }
}

namespace {

// Where the image sits in a texture whose surface was made larger than the
// image (a power-of-two square): the offset of the corners and the share of
// the surface the image covers, per axis.
struct TSurfaceFit {
    float shiftX = 0, shiftY = 0;
    float ratioX = 1, ratioY = 1;
};

TSurfaceFit FitOf(const TTexture& texture)
{
    TPoint surface;
    texture.GetInternalSize(&surface);
    const int width = texture.GetWidth(), height = texture.GetHeight();
    TSurfaceFit fit;
    if (surface.x != width && width > 0) {
        fit.shiftX = static_cast<float>(surface.x / 2 - width / 2);
        fit.ratioX = static_cast<float>(surface.x) / static_cast<float>(width);
    }
    if (surface.y != height && height > 0) {
        fit.shiftY = static_cast<float>(surface.y / 2 - height / 2);
        fit.ratioY = static_cast<float>(surface.y) / static_cast<float>(height);
    }
    return fit;
}

// Clamped before the conversion: a script's alpha can be anything, and a
// float beyond int does not convert.
unsigned char AlphaByte(float alpha)
{
    const float scaled = 255.0f * alpha;
    if (!(scaled > 0.0f))
        return 0;  // also NaN
    return static_cast<unsigned char>(std::min(scaled, 255.0f));
}

}  // namespace

void LayeredAnimationInfo::DrawScrobs(float x, float y)
{
    if (mDrawOrder.empty())
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return;
    platform->SetFilteringMode(TPlatform::EFilteringModes(kFilterLinear));
    TRect viewport;
    platform->GetViewport(&viewport);
    const float originX = x + static_cast<float>(viewport.x1);
    const float originY = y + static_cast<float>(viewport.y1);

    static const float kCorners[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};
    for (const Scrob* scrob : mDrawOrder) {
        auto bitmap = mBitmaps.find(scrob->bitmap);
        if (bitmap == mBitmaps.end() || !bitmap->second)
            continue;
        const TTexture& texture = *bitmap->second;
        const TSurfaceFit fit = FitOf(texture);
        platform->SetTexture(bitmap->second);

        TTransformedLitVert vertices[6];
        for (int i = 0; i < 6; ++i) {
            const float cx = kCorners[i][0], cy = kCorners[i][1];
            const float lx = (cx - 0.5f) * scrob->size.x + fit.shiftX;
            const float ly = (cy - 0.5f) * scrob->size.y + fit.shiftY;
            TTransformedLitVert& v = vertices[i];
            v.x = scrob->row1.x * lx + scrob->row2.x * ly + scrob->translation.x - 0.5f + originX;
            v.y = scrob->row1.y * lx + scrob->row2.y * ly + scrob->translation.y - 0.5f + originY;
            v.z = 0.1f;
            v.rhw = 0.5f;
            v.color = TColor32(255, 255, 255, AlphaByte(scrob->alpha));
            v.specular = TColor32(0, 0, 0, 255);
            v.u = cx / fit.ratioX;
            v.v = cy / fit.ratioY;
        }
        platform->DrawVertices(TPlatform::EDrawType(kDrawTriangles), TVertexSet(vertices, 6));
    }
}

// ---- layers (TAnimation) ---------------------------------------------------------------

void TAnimation::ReferenceImage(const char* name)
{
    if (!name)
        return;
    const str full = mData->mFolder + name;
    if (auto texture = TAnimatedTexture::Get(full, "", ""))
        mData->LayerInfo()->mReferences.AddAsset(TAnimatedTexture::GetHandle(full, "", ""), texture);
    else
        WriteDbg("reference: no animation %s", full.c_str());
}

void TAnimation::SetLayer(unsigned layer, const char* name)
{
    LayeredAnimationInfo* info = mData->LayerInfo();
    if (layer >= LayeredAnimationInfo::kMaxLayers) {
        WriteDbg("setLayer(%u): refused (layers go up to %u)", layer, LayeredAnimationInfo::kMaxLayers - 1);
        return;
    }
    if (info->mLayers.size() <= layer) {
        info->mLayers.resize(layer + 1);
        info->mLayerFrames.resize(layer + 1, 0);
        info->mLayerAlphas.resize(layer + 1, 1.0f);
    }
    if (name)
        info->mLayers[layer] = TAnimatedTexture::Get(mData->mFolder + name, "", "");
    else
        info->mLayers[layer].reset();
}

namespace {

bool LayerInRange(const LayeredAnimationInfo* info, int layer, const char* what)
{
    if (info && layer >= 0 && static_cast<std::size_t>(layer) < info->mLayers.size())
        return true;
    WriteDbg("%s: no layer %d", what, layer);
    return false;
}

}  // namespace

void TAnimation::SetLayerFrame(int layer, int frame)
{
    LayeredAnimationInfo* info = mData->LayerInfoIfAny();
    if (!LayerInRange(info, layer, "lframe"))
        return;
    QM_ASSERT_TEXT(info->mLayers[layer], "mData->LayerInfo()->mLayers[layer]");
    info->mLayerFrames[layer] = frame > INT_MIN ? frame - 1 : INT_MIN;  // no frame either way
}

void TAnimation::ClearLayer(int layer)
{
    LayeredAnimationInfo* info = mData->LayerInfoIfAny();
    if (!LayerInRange(info, layer, "clearLayer"))
        return;
    SetLayer(static_cast<unsigned>(layer), nullptr);
    info->mLayerFrames[layer] = 0;
    info->mLayerAlphas[layer] = 1.0f;
}

void TAnimation::SetLayerAlpha(int layer, double alpha)
{
    LayeredAnimationInfo* info = mData->LayerInfoIfAny();
    if (!LayerInRange(info, layer, "lalpha"))
        return;
    info->mLayerAlphas[layer] = static_cast<float>(alpha);
}
