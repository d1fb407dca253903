// TRestaurant's decor: the items the player has picked, and the choice of
// the next one on the upgrade screen (every item still to pick is shown
// faded in, the one under the mouse and the chosen one glow, and the items
// are hit-tested on the alpha of their first option picture).
#include "engine/platform/platform.h"
#include "engine/render/drawtypes.h"
#include "engine/render/texture.h"
#include "game/floor/floorart.h"
#include "game/floor/station.h"
#include "game/play/restaurant.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr float kFadeSeconds = 0.5f;

}  // namespace

// The description's `sequence`, whether the document holds it at the top or
// under its root element.
TXmlNode* TRestaurant::Sequence() const
{
    if (TXmlNode* sequence = mUpgrades.GetChild("sequence"))
        return sequence;
    TXmlNode& doc = const_cast<TXmlNode&>(mUpgrades);
    doc.ResetChildren();
    str name;
    TXmlNode* child = nullptr;
    while (doc.GetNextChild(&name, &child))
        if (TXmlNode* sequence = child->GetChild("sequence"))
            return sequence;
    return nullptr;
}

void TRestaurant::ReadRegistration()
{
    mSequenceReg = {};
    TXmlNode* sequence = Sequence();
    TXmlNode* img = sequence ? sequence->GetChild("img") : nullptr;
    if (img)
        mSequenceReg = {float(img->GetAttribute("regx").to_int()), float(img->GetAttribute("regy").to_int())};
}

bool TRestaurant::FramePosition(const str& imageName, TVec2* position) const
{
    TXmlNode* sequence = Sequence();
    TXmlNode* list = sequence ? sequence->GetChild("framelist") : nullptr;
    if (!list)
        return false;
    list->ResetChildren();
    str name;
    TXmlNode* child = nullptr;
    while (list->GetNextChild(&name, &child)) {
        if (child->GetAttribute("name") == imageName) {
            *position = {float(child->GetAttribute("regx").to_int()), float(child->GetAttribute("regy").to_int())};
            return true;
        }
    }
    return false;
}

void TRestaurant::EnableUpgrade(int slot, int variant)
{
    if (slot == mChairSlot) {
        mChairUpgrade = variant + 1;
        return;
    }
    if (slot < 0 || slot >= kDecorSlots)
        return;
    TDecor& decor = mDecor[std::size_t(slot)];
    decor.selected = variant;
    if (variant < 0) {
        decor.images[0].reset();
        return;
    }
    const str image = str::getFormatted("%d_0.png", slot + 1);
    ReadRegistration();
    TVec2 position;
    if (!FramePosition(image, &position))
        return;
    decor.positions[0] = position;
    decor.images[0] = TTexture::Get(Folder() + "upgrades/" + image, 0);
}

void TRestaurant::MarkCurrentUpgrades()
{
    for (TDecor& decor : mDecor)
        decor.marked = decor.selected;
}

bool TRestaurant::HasUpgradesAvailable() const
{
    for (const TDecor& decor : mDecor)
        if (decor.images[1])
            return true;
    return mChairUpgrade < 1;
}

bool TRestaurant::HasDecorImage(int slot) const
{
    return slot >= 0 && slot < kDecorSlots && mDecor[std::size_t(slot)].images[0] != nullptr;
}

bool TRestaurant::HasOptionImage(int slot) const
{
    return slot >= 0 && slot < kDecorSlots && mDecor[std::size_t(slot)].images[1] != nullptr;
}

bool TRestaurant::PausedClock()
{
    TClock* clock = floorart::GameClock();
    return clock ? clock->Pause() : true;
}

void TRestaurant::RestoreClock(bool wasPaused)
{
    TClock* clock = floorart::GameClock();
    if (clock && !wasPaused)
        clock->Start();
}

bool TRestaurant::LoadOption(int slot, int option)
{
    TDecor& decor = mDecor[std::size_t(slot)];
    const str image = str::getFormatted("%d_%d.png", slot + 1, option);
    TVec2 position;
    if (!FramePosition(image, &position))
        return false;
    decor.positions[std::size_t(option)] = position;
    decor.images[std::size_t(option)] = TTexture::Get(Folder() + "upgrades/" + image, 0);
    return decor.images[std::size_t(option)] != nullptr;
}

void TRestaurant::EnterUpgradeMode()
{
    const bool wasPaused = PausedClock();
    mUpgradeMode = true;
    mFading = false;
    mSelection = mRollover = -1;
    mFadeTimer = 0;
    MarkCurrentUpgrades();
    for (int slot = 0; slot < kDecorSlots; ++slot) {
        TDecor& decor = mDecor[std::size_t(slot)];
        if (decor.images[0] || slot == mChairSlot)
            continue;
        EnableUpgrade(slot, 0);
        const bool first = LoadOption(slot, 1);
        LoadOption(slot, 2);
        if (!first)
            continue;
        unsigned char* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        if (!decor.images[1]->Lock(&pixels, &width, &height, &pitch) || !pixels)
            continue;
        decor.mask.assign(std::size_t(width) * std::size_t(height), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                decor.mask[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                    pixels[std::size_t(y) * std::size_t(pitch) + std::size_t(x) * 4 + 3];
        decor.maskWidth = width;
        decor.maskHeight = height;
        decor.images[1]->Unlock();
    }
    RestoreClock(wasPaused);
}

void TRestaurant::LeaveUpgradeMode()
{
    for (int slot = 0; slot < kDecorSlots; ++slot) {
        TDecor& decor = mDecor[std::size_t(slot)];
        decor.images[1].reset();
        decor.images[2].reset();
        decor.mask.clear();
        decor.maskWidth = decor.maskHeight = 0;
        if (!mPicked[std::size_t(slot)])
            EnableUpgrade(slot, -1);
    }
    mSelection = mRollover = -1;
    mUpgradeMode = mFading = false;
}

void TRestaurant::FadeOutUpgradeMode()
{
    mFading = true;
    mFadeTimer = 0;
}

int TRestaurant::EnableSelectedUpgrade()
{
    PausedClock();
    if (mSelection >= 0) {
        EnableUpgrade(mSelection, 0);
        if (TSettings* settings = TSettings::GetInstance()) {
            settings->SelectDecorUpgrade(mSelection);
            mPicked[std::size_t(mSelection)] = settings->IsDecorUpgradeSelected(mSelection);
        }
    } else {
        RestoreClock(false);
    }
    return mSelection;
}

int TRestaurant::PointToUpgrade(const TPoint& point, const std::vector<IStation*>& tables)
{
    if (mChairUpgrade < 1) {
        for (IStation* table : tables) {
            int kind = 0;
            if (table && table->HitTest(point, nullptr, &kind))
                return mChairSlot;
        }
    }
    for (int slot = 0; slot < kDecorSlots; ++slot) {
        const TDecor& decor = mDecor[std::size_t(slot)];
        if (decor.mask.empty() || !decor.images[1])
            continue;
        const int left = int(mSequenceReg.x - decor.positions[1].x);
        const int top = int(mSequenceReg.y - decor.positions[1].y);
        const int x = point.x - left, y = point.y - top;
        if (x < 0 || y < 0 || x >= decor.maskWidth || y >= decor.maskHeight)
            continue;
        if (decor.mask[std::size_t(y) * std::size_t(decor.maskWidth) + std::size_t(x)] != 0)
            return slot;
    }
    return -1;
}

int TRestaurant::SetSelection(const TPoint& point, const std::vector<IStation*>& tables)
{
    mSelection = PointToUpgrade(point, tables);
    return mSelection;
}

int TRestaurant::UpdateCurrentRollover(const TPoint& point, const std::vector<IStation*>& tables)
{
    mRollover = PointToUpgrade(point, tables);
    return mRollover;
}

float TRestaurant::FadeAlpha(int slot) const
{
    if (mFading)
        return slot == mSelection ? 1.0f : std::clamp(1.0f - 2 * mFadeTimer, 0.0f, 1.0f);
    if (slot == mRollover)
        return 0.0f;
    if (slot == mSelection)
        return 1.0f - floorart::Pulse(mGlowTimer);
    return std::min(2 * mFadeTimer, 1.0f);
}

float TRestaurant::GlowAlpha(int slot) const
{
    if (!mUpgradeMode)
        return 0.0f;
    if (slot == mSelection && slot >= 0)
        return floorart::Pulse(mGlowTimer) * (mFading ? FadeAlpha(slot) : 1.0f);
    if (slot == mRollover && slot >= 0)
        return 1.0f;
    return 0.0f;
}

float TRestaurant::HighlightChairs() const
{
    return mUpgradeMode && mChairUpgrade < 1 ? FadeAlpha(mChairSlot) : 0.0f;
}

float TRestaurant::ChairGlowAlpha() const { return GlowAlpha(mChairSlot); }

TVec2 TRestaurant::DecorCentre(const TDecor& decor, int image) const
{
    const auto& t = decor.images[std::size_t(image)];
    return TVec2(mSequenceReg.x - decor.positions[std::size_t(image)].x + float(t->GetWidth() / 2),
                 mSequenceReg.y - decor.positions[std::size_t(image)].y + float(t->GetHeight() / 2));
}

void TRestaurant::DrawDecor(bool flag)
{
    TPlatform* platform = TPlatform::GetInstance();
    platform->SetFilteringMode(kFilterPoint);
    for (int slot = 0; slot < kDecorSlots; ++slot) {
        const TDecor& decor = mDecor[std::size_t(slot)];
        auto centre = [&](int i) { return DecorCentre(decor, i); };
        const bool chosen = mPicked[std::size_t(slot)];
        const bool shown = !mUpgradeMode || chosen || slot == mSelection || slot == mRollover;
        if (decor.images[0] && (!flag || decor.selected == decor.marked) && shown) {
            const TVec2 at = centre(0);
            decor.images[0]->DrawSprite(at.x, at.y, 1.0f, 1.0f, 0.0f, 0);
        }
        if (decor.images[1]) {
            const TVec2 at = centre(1);
            decor.images[1]->DrawSprite(at.x, at.y, FadeAlpha(slot), 1.0f, 0.0f, 0);
        }
        if (decor.images[2] && (slot == mSelection || slot == mRollover)) {
            const TVec2 at = centre(2);
            decor.images[2]->DrawSprite(at.x, at.y, GlowAlpha(slot), 1.0f, 0.0f, 0);
        }
    }
    platform->SetFilteringMode(kFilterLinear);
}
