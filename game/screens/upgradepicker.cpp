#include "game/screens/upgradepicker.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/window/text.h"
#include "game/levels/upgrades.h"
#include "game/levels/upgradetarget.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"

namespace {

constexpr const char* kTableIcon = "ui/upgrades/icon_table";
// The tutorial's two fixed offers: these catalogue entries, in this order.
constexpr int kTutorialOffers[] = {2, 3};
const qm::lua::TBinding kPickerFunctions[] = {
    {"ActivateUpgrade", qm::lua::Method<&TUpgradePicker::ActivateUpgrade>},
};

constexpr auto kItem = contract::Numbered<TText>("item%d", 1, TUpgradePicker::kOffers);
constexpr auto kContinue = contract::Child<TWindow>("continue");
constexpr auto kDescrip = contract::Child<TText>("descrip");
constexpr auto kDrinks = contract::Child<TText>("drinks");
constexpr auto kPodium = contract::Child<TText>("podium");
constexpr auto kBench = contract::Child<TText>("bench");
constexpr auto kStereo = contract::Child<TText>("stereo");
constexpr auto kShoes = contract::Child<TText>("shoes");
constexpr auto kOven = contract::Child<TText>("oven");
constexpr auto kHeatlamp = contract::Child<TText>("heatlamp");
const contract::TChildSpec kPickerChildren[] = {
    kItem,
    kContinue,
    kDescrip,
    // What the shift has bought so far, one text each.
    kDrinks,
    kPodium,
    kBench,
    kStereo,
    kShoes,
    kOven,
    kHeatlamp,
};
// The texts that tell what each bought upgrade does, each named after its upgrade.
constexpr contract::TChild<TText> kBoughtTitles[] = {kDrinks, kPodium, kBench, kStereo, kShoes, kOven, kHeatlamp};

bool IsEndless()
{
    TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
}

}  // namespace

const contract::TScreenSpec TUpgradePicker::kContract{"TUpgradePicker", TUpgradePicker::kTypeName,
                                                      "scripts/upgrade.lua", kPickerFunctions, kPickerChildren};

TUpgradePicker::TUpgradePicker()
{
    // The newest picker takes ActivateUpgrade over; a call after it died
    // does nothing.
    PublishFunctions();
}

TUpgradePicker::~TUpgradePicker() = default;

void TUpgradePicker::ClearOffers()
{
    for (TOffer& offer : mOffers)
        offer = TOffer{};
    mHover = mChosen = -1;
}

void TUpgradePicker::PickUpgrades(IUpgradeTarget* game, bool fixedOffer)
{
    mGame = game;
    ClearOffers();
    TUpgrades* upgrades = game ? game->GetUpgrades() : nullptr;
    if (upgrades && IsEndless() && fixedOffer) {
        for (int k = 0; k < 2; ++k)
            OfferNextLevel(&mOffers[size_t(k)], kTutorialOffers[k]);
    } else {
        int first = 0;
        if (game && game->TableUpgradeAvailable()) {
            OfferTable(&mOffers[0]);
            first = 1;
        }
        for (int k = first; k < kOffers; ++k)
            DrawRandomOffer(k);
    }
    for (int k = 0; k < kOffers; ++k) {
        LoadArt(k);
        screens::SetChildText(this, kItem.NameOf(k + 1).c_str(), HasOffer(k) ? mOffers[size_t(k)].title : str());
    }
    screens::ShowChild(this, kContinue, false);
    if (game)
        game->HideUpgradeNotice();
    InvalidateRect(nullptr);
    SetupText();
}

void TUpgradePicker::OfferTable(TOffer* offer)
{
    offer->id = TUpgrades::kTableId;
    offer->icon = kTableIcon;
    offer->title = screens::Text("newtable");
    offer->description = screens::Text("tabledescrip");
}

void TUpgradePicker::OfferNextLevel(TOffer* offer, int catalogueIndex)
{
    TUpgrade* upgrade = mGame->GetUpgrades()->GetUpgrade(catalogueIndex);
    const TUpgradeLevel* next = upgrade ? upgrade->NextLevel() : nullptr;
    if (!next)
        return;
    offer->id = upgrade->id;
    offer->icon = next->icon;
    offer->title = screens::Text(next->name);
    offer->description = screens::Text(next->description);
}

// Scans the catalogue from a random start, wrapping, for an upgrade with a
// level left whose art differs from the first two offers'. An empty catalogue,
// or one with nothing left, leaves the offer empty (not drawn, not clickable).
void TUpgradePicker::DrawRandomOffer(int k)
{
    TUpgrades* upgrades = mGame ? mGame->GetUpgrades() : nullptr;
    TPlatform* platform = TPlatform::GetInstance();
    const int count = upgrades ? upgrades->Count() : 0;
    if (count == 0 || !platform)
        return;
    const int start = platform->Rand() % count;
    for (int step = 0; step < count; ++step) {
        const TUpgrade* upgrade = upgrades->GetUpgrade((start + step) % count);
        const TUpgradeLevel* next = upgrade->NextLevel();
        if (!next || next->icon == mOffers[0].icon || next->icon == mOffers[1].icon)
            continue;
        OfferNextLevel(&mOffers[size_t(k)], (start + step) % count);
        return;
    }
}

void TUpgradePicker::LoadArt(int k)
{
    TOffer& offer = mOffers[size_t(k)];
    if (offer.icon.length() == 0)
        return;
    const char states[] = {'a', 'b', 'c'};
    for (size_t s = 0; s < offer.art.size(); ++s)
        offer.art[s] = TTexture::Get(str::getFormatted("%s_%c", offer.icon.c_str(), states[s]));
}

void TUpgradePicker::SetupText()
{
    TUpgrades* upgrades = mGame ? mGame->GetUpgrades() : nullptr;
    for (const contract::TChild<TText>& title : kBoughtTitles)
        screens::SetChildText(this, title, upgrades ? upgrades->GetCurrentDescription(title.name) : str(), false);
    InvalidateRect(nullptr);
}

void TUpgradePicker::ActivateUpgrade()
{
    if (mChosen < 0 || mChosen >= kOffers || !mGame || !mGame->GetUpgrades())
        return;
    mGame->GetUpgrades()->UpgradeItem(mOffers[size_t(mChosen)].id, mGame);
}

void TUpgradePicker::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    for (int k = 0; k < kOffers; ++k) {
        const TOffer& offer = mOffers[size_t(k)];
        if (!offer.art[0])
            continue;
        const size_t state = k == mChosen ? 2 : k == mHover ? 1 : 0;
        const std::shared_ptr<TTexture>& art = offer.art[state] ? offer.art[state] : offer.art[0];
        TPoint centre = OfferCentre(k);
        ClientToScreen(&centre);
        art->DrawSprite(float(centre.x), float(centre.y), 1.0f, 1.0f, 0.0f, 0);
    }
    platform->End2d();
}

int TUpgradePicker::OfferAt(const TPoint& p) const
{
    for (int k = 0; k < kOffers; ++k) {
        const TOffer& offer = mOffers[size_t(k)];
        if (!offer.art[0])
            continue;
        const TPoint c = OfferCentre(k);
        const int w = offer.art[0]->GetWidth(), h = offer.art[0]->GetHeight();
        const int left = c.x - w / 2, top = c.y - h / 2;
        if (p.x >= left && p.x <= left + w && p.y >= top && p.y <= top + h)
            return k;
    }
    return -1;
}

bool TUpgradePicker::OnMouseDown(const TPoint& p)
{
    const int hit = OfferAt(p);
    if (hit < 0)
        return false;
    mChosen = hit;
    screens::ShowChild(this, kContinue, true);
    InvalidateRect(nullptr);
    return true;
}

bool TUpgradePicker::OnMouseMove(const TPoint& p)
{
    mHover = OfferAt(p);
    if (mHover >= 0)
        InvalidateRect(nullptr);
    screens::SetChildText(this, kDescrip, mHover >= 0 ? mOffers[size_t(mHover)].description : str(), true);
    return false;
}
