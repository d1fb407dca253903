#include "game/screens/quessascloset.h"

#include "engine/base/directorysearch.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/window/modalwindow.h"
#include "engine/window/showwindow.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/settings/settings.h"

#include <cstring>

namespace {

const char kClothingFolder[] = "assets/quessa";
const char kOff[] = "<off>";
const TVec2 kGlowLocations[TQuessasCloset::kSlots] = {{123, 455}, {533, 274}, {533, 57}, {123, 209}, {123, 56}};

bool AllowsOff(int slot) { return slot >= 3; }

using qm::lua::Method;
const qm::lua::TBinding kLuaFunctions[] = {
    {"ChangeClothing", Method<&TQuessasCloset::ChangeClothing>},
    {"SaveOutfit", Method<&TQuessasCloset::SaveOutfit>},
    {"Shuffle", Method<&TQuessasCloset::Shuffle>},
    {"StopButtonFlash", Method<&TQuessasCloset::StopButtonFlash>},
    {"SetupGlows", Method<&TQuessasCloset::SetupGlows>},
};

str Piece(int slot, const char* suffix)
{
    return str("assets/quessascloset/") + TQuessasCloset::kSlotNames[slot] + suffix + ".anm";
}

str BaseName(const str& fileName) { return fileName.substr(0, fileName.length() - 4); }

}  // namespace

const char* const TQuessasCloset::kSlotNames[kSlots] = {"shoes", "bottom", "top", "apron", "accessory"};

namespace {
// Each slot's arrows, plain and lit (the script joins slot, side and light).
constexpr contract::TChildSpec Arrow(const char* name) { return contract::Child(name).Composed(); }
const contract::TChildSpec kClosetChildren[] = {
    Arrow("shoesleft"), Arrow("shoesright"), Arrow("shoesleft_highlight"), Arrow("shoesright_highlight"),
    Arrow("bottomleft"), Arrow("bottomright"), Arrow("bottomleft_highlight"), Arrow("bottomright_highlight"),
    Arrow("topleft"), Arrow("topright"), Arrow("topleft_highlight"), Arrow("topright_highlight"),
    Arrow("apronleft"), Arrow("apronright"), Arrow("apronleft_highlight"), Arrow("apronright_highlight"),
    Arrow("accessoryleft"), Arrow("accessoryright"), Arrow("accessoryleft_highlight"),
    Arrow("accessoryright_highlight"),
};
}  // namespace

const contract::TScreenSpec TQuessasCloset::kContract{"TQuessasCloset", "QuessasCloset", "scripts/quessascloset.lua",
                                                      kLuaFunctions, kClosetChildren};

// ---- one slot's stepping

void TClosetAsset::ChangeChoice(int step, bool allowOff)
{
    const int count = static_cast<int>(items.size());
    if (count == 0)
        return;
    stepItem += step;
    if (stepItem < (allowOff ? -1 : 0))
        stepItem = count - 1;
    else if (stepItem >= count)
        stepItem = allowOff ? -1 : 0;
    if (stepItem < 0) {
        stepColor = -1;
        return;
    }
    const int colours = static_cast<int>(items[static_cast<size_t>(stepItem)].colorNames.size());
    stepColor = colours == 0 ? -1 : step < 1 ? colours - 1 : 0;
}

bool TClosetAsset::ChangeColor(int step, bool allowOff)
{
    if (stepItem < 0 || stepColor < 0 || stepItem >= static_cast<int>(items.size()))
        return false;
    stepColor += step;
    const int colours = static_cast<int>(items[static_cast<size_t>(stepItem)].colorNames.size());
    if (stepColor >= 0 && stepColor < colours)
        return true;
    ChangeChoice(stepColor < 0 ? -1 : 1, allowOff);
    return true;
}

int TClosetAsset::CountPairs() const
{
    int pairs = 0;
    for (const TAssetInfo& item : items)
        pairs += static_cast<int>(item.colorNames.size());
    return pairs;
}

str TClosetAsset::ColorName(int item, int color) const
{
    if (item < 0 || color < 0 || item >= static_cast<int>(items.size()))
        return str();
    const TAssetInfo& info = items[static_cast<size_t>(item)];
    return color < static_cast<int>(info.colorNames.size()) ? info.colorNames[static_cast<size_t>(color)] : str();
}

// ---- the window

TQuessasCloset::TQuessasCloset()
{
    mBlink.Init("quessascloset/blink", "", "");
    mBlink.Play("DoAnim", false);
    mRefresh = std::make_unique<TTextureRefresh>([this] { RefreshPieces(); });
    PublishFunctions();
    mBase.Init("quessascloset/base", "", "");
    if (auto texture = mBase.GetAnimatedTexture()) {
        int x = 0, y = 0;
        texture->GetRegistrationPoint(&x, &y);
        mBasePosition = TVec2{static_cast<float>(x), static_cast<float>(y)};
    }
    for (int i = 0; i < kSlots; ++i)
        mGlows[static_cast<size_t>(i)] = TTexture::Get(str::getFormatted("quessascloset/closetglow%d", i + 1));
    BuildAssetList(kClothingFolder);
    LoadOutfit();
}

TQuessasCloset::~TQuessasCloset() = default;

void TQuessasCloset::BuildAssetList(const char* folder)
{
    for (TClosetAsset& slot : mSlots)
        slot = TClosetAsset{};
    mGlowOn.fill(false);
    std::array<int, kSlots> taken{};
    TSettings* settings = TSettings::GetInstance();
    TDirectorySearch search(folder);
    char entry[1024];
    while (search.GetNextFile(entry, sizeof entry)) {
        int slot = 0;
        while (slot < kSlots && !std::strstr(entry, kSlotNames[slot]))
            ++slot;
        if (slot == kSlots || !std::strstr(entry, ".anm"))
            continue;
        TAssetInfo info;
        info.fileName = entry;
        info.path = str(folder) + "/" + entry;
        info.index = taken[static_cast<size_t>(slot)]++;
        const str name = BaseName(info.fileName);
        int i = 0;
        static const std::list<TColorEntry> kNoColours;
        const TQuessaColors* colours = TQuessaColors::GetInstance();
        for (const auto& colour : colours ? colours->Colors() : kNoColours) {
            if (mCatalogue.GetStatus(name, colour.name)) {
                info.colorNames.push_back(colour.name);
                info.colorIndices.push_back(i);
            }
            ++i;
        }
        if (!info.colorNames.empty())
            mSlots[static_cast<size_t>(slot)].items.push_back(info);
        if (settings && settings->IsNewClothing(name))
            mGlowOn[static_cast<size_t>(slot)] = true;
    }
}

void TQuessasCloset::LoadOutfit()
{
    TSettings* settings = TSettings::GetInstance();
    for (int i = 0; i < kSlots; ++i) {
        TClosetAsset& slot = mSlots[static_cast<size_t>(i)];
        const auto kind = static_cast<TQuessa::EClothingItems>(i);
        str asset = TQuessa::GetDefaultClothing(kind), colour = TQuessa::GetDefaultColor(kind);
        if (settings)
            settings->GetClothing(i, &asset, &colour, asset, colour);
        slot.chosenItem = -1;
        slot.chosenColor = 0;
        for (size_t item = 0; item < slot.items.size(); ++item) {
            if (slot.items[item].path != asset)
                continue;
            slot.chosenItem = static_cast<int>(item);
            const auto& names = slot.items[item].colorNames;
            for (size_t c = 0; c < names.size(); ++c)
                if (names[c] == colour)
                    slot.chosenColor = static_cast<int>(c);
        }
        if (slot.chosenItem < 0)
            slot.chosenColor = -1;
        slot.stepItem = slot.chosenItem;
        slot.stepColor = slot.chosenColor;
        ChangeClothing(i, 0);
    }
}

void TQuessasCloset::ChangeClothing(int slot, int step)
{
    if (slot < 0 || slot >= kSlots)
        return;
    TClosetAsset& asset = mSlots[static_cast<size_t>(slot)];
    if (!asset.ChangeColor(step, AllowsOff(slot)))
        asset.ChangeChoice(step, AllowsOff(slot));
    asset.chosenItem = asset.stepItem;
    asset.chosenColor = asset.stepColor;
    ApplyCurrentClothing(slot);
}

void TQuessasCloset::ApplyCurrentClothing(int slot)
{
    const TClosetAsset& asset = mSlots[static_cast<size_t>(slot)];
    const size_t i = static_cast<size_t>(slot);
    mSlotVisible[i] = asset.stepItem >= 0;
    if (mSlotVisible[i]) {
        const int frame = asset.items[static_cast<size_t>(asset.stepItem)].index;
        const str colour = asset.ColorName(asset.stepItem, asset.stepColor);
        // Each piece is tinted on a fresh copy of its sheet: tints never add up.
        mFigure[i].Init(Piece(slot, ""), colour);
        mFigure[i].SetFrame(frame);
        mButtons[i].Init(Piece(slot, "_ui"), colour);
        mButtons[i].SetFrame(frame);
    }
    InvalidateRect(nullptr);
}

void TQuessasCloset::RefreshPieces()
{
    for (int slot = 0; slot < kSlots; ++slot)
        ChangeClothing(slot, 0);
}

void TQuessasCloset::Shuffle()
{
    TPlatform* platform = TPlatform::GetInstance();
    for (int i = 0; i < kSlots; ++i) {
        TClosetAsset& slot = mSlots[static_cast<size_t>(i)];
        const int pairs = slot.CountPairs();
        if (pairs == 0)
            continue;
        const int n = pairs + (AllowsOff(i) ? 1 : 0);
        int r = (platform ? platform->Rand() : 0) % n;
        if (r < 0)
            r += n;
        slot.chosenItem = slot.chosenColor = -1;
        if (r < pairs) {
            for (size_t item = 0; item < slot.items.size(); ++item) {
                const int colours = static_cast<int>(slot.items[item].colorNames.size());
                if (r < colours) {
                    slot.chosenItem = static_cast<int>(item);
                    slot.chosenColor = r;
                    break;
                }
                r -= colours;
            }
        }
        slot.stepItem = slot.chosenItem;
        slot.stepColor = slot.chosenColor;
        ApplyCurrentClothing(i);
        ChangeClothing(i, 1);
    }
}

void TQuessasCloset::SaveOutfit()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    for (int i = 0; i < kSlots; ++i) {
        const TClosetAsset& slot = mSlots[static_cast<size_t>(i)];
        if (slot.chosenItem < 0)
            settings->SetClothing(i, kOff, "");
        else
            settings->SetClothing(i, slot.items[static_cast<size_t>(slot.chosenItem)].path,
                                  slot.ColorName(slot.chosenItem, slot.chosenColor));
    }
}

void TQuessasCloset::SetupGlows()
{
    TSettings* settings = TSettings::GetInstance();
    for (int i = 0; i < kSlots; ++i) {
        bool glow = false;
        for (const TAssetInfo& item : mSlots[static_cast<size_t>(i)].items)
            glow = glow || (settings && settings->IsNewClothing(BaseName(item.fileName)));
        mGlowOn[static_cast<size_t>(i)] = glow;
    }
    InvalidateRect(nullptr);
}

void TQuessasCloset::PostChildrenInit()
{
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    mClock.Start();
    SetButtons(false);
    StartWindowAnimation(50, true, true, false);
}

bool TQuessasCloset::OnTaskAnimate()
{
    const std::uint32_t t = mClock.GetTime();
    const float phase = static_cast<float>(t % 1000) / 1000.0f;
    mPulse = phase <= 0.5f ? 2.0f * phase : 2.0f - 2.0f * phase;
    SetButtons(mFlashButtons && (t / 250) % 2 == 1);
    return true;
}

void TQuessasCloset::SetButtons(bool lit)
{
    for (const char* slot : kSlotNames) {
        for (const char* side : {"left", "right"}) {
            const str plain = str(slot) + side;
            ShowWindow(Child(plain), !lit);
            ShowWindow(Child(plain + "_highlight"), lit);
        }
    }
    InvalidateRect(nullptr);
}

void TQuessasCloset::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    mBase.Draw(mBasePosition.x, mBasePosition.y, 1, 1, 0, 0);
    for (size_t i = 0; i < kSlots; ++i) {
        if (!mSlotVisible[i])
            continue;
        for (const TClothingLayer* piece : {&mFigure[i], &mButtons[i]}) {
            int x = 0, y = 0;
            if (piece->GetRegistrationPoint(&x, &y))
                piece->Draw(static_cast<float>(x), static_cast<float>(y), false);
        }
    }
    for (size_t i = 0; i < kSlots; ++i)
        if (mGlowOn[i] && mGlows[i])
            mGlows[i]->Draw(kGlowLocations[i].x, kGlowLocations[i].y, mPulse);
    if (auto texture = mBlink.GetAnimatedTexture()) {
        int x = 0, y = 0;
        texture->GetRegistrationPoint(&x, &y);
        mBlink.Draw(static_cast<float>(x), static_cast<float>(y), 1, 1, 0, 0);
    }
    platform->End2d();
}
