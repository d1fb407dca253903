#include "game/floor/shelves.h"

#include "engine/render/texture.h"
#include "game/floor/floorart.h"
#include "game/floor/floorview.h"
#include "game/floor/quessa.h"
#include "game/rules/scoremanager.h"

#include <algorithm>

namespace {

constexpr int kPartyWantsDessert = 5;

TPoint ByRestaurant(const TPoint (&positions)[6])
{
    return positions[std::clamp(floorart::RestaurantIndex(), 0, 5)];
}

TPoint DessertPosition()
{
    static const TPoint kPositions[6] = {{220, 195}, {205, 195}, {234, 182}, {222, 195}, {220, 203}, {220, 195}};
    return ByRestaurant(kPositions);
}

TPoint SnackPosition()
{
    static const TPoint kPositions[6] = {{690, 185}, {690, 185}, {694, 194}, {701, 186}, {662, 187}, {690, 185}};
    return ByRestaurant(kPositions);
}

TPoint DrinkPosition()
{
    static const TPoint kPositions[6] = {{594, 135}, {594, 126}, {613, 140}, {610, 132}, {594, 140}, {600, 135}};
    return ByRestaurant(kPositions);
}

const TPoint kHighChairPosition{770, 275};
const TPoint kMopPosition{775, 350};
const TPoint kMopStandPosition{780, 370};

// Left of the art, so she does not stand inside the wall shelf.
TPoint BesideArt(const std::shared_ptr<TTexture>& art, TPoint position)
{
    const int width = art ? art->GetWidth() : 0;
    return TPoint{position.x - width / 2 - 10, position.y};
}

void DrawCentred(const std::shared_ptr<TTexture>& texture, TPoint at, float alpha)
{
    if (texture)
        texture->DrawSprite(float(at.x), float(at.y), alpha, 1.0f, 0.0f, 0);
}

}  // namespace

// ---------------------------------------------------------------- shared

TShelfStation::TShelfStation(str artName, TPoint position)
    : mPosition(position), mStandingSpot(position)
{
    mBase = TTexture::Get(artName + "_a");
    mGlow = TTexture::Get(artName + "_b");
}

TShelfStation::~TShelfStation() = default;

void TShelfStation::UpdateAttention(float dt, bool needed)
{
    mNeeded = needed;
    mAttentionTime = needed ? mAttentionTime + dt : 0;
}

bool TShelfStation::HandOver(TQuessa* waitress, TScoreManager* score, ECarryables kind, int id, int extra,
                             eScoreAction chain)
{
    if (!waitress->PickupItem(kind, id, extra))
        return false;
    if (score)
        score->BreakChain(chain);
    floorart::Play(mPickupSound);
    return true;
}

bool TShelfStation::HitTest(const TPoint& point, TTutorial*, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    return mEnabled && floorart::HitCentred(mBase, mPosition, point);
}

void TShelfStation::Draw()
{
    if (!mEnabled)
        return;
    DrawCentred(mBase, mPosition, 1.0f);
    if (mNeeded)
        DrawCentred(mGlow, mPosition, floorart::Pulse(mAttentionTime));
}

// ---------------------------------------------------------------- desserts and snacks

TWantedItemShelf::TWantedItemShelf(str artName, TPoint position, ECarryables item, eScoreAction chain)
    : TShelfStation(artName, position), mItem(item), mChain(chain)
{
}

void TWantedItemShelf::Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress)
{
    if (!mEnabled)
        return;
    mWantedCount = int(std::count_if(tables.begin(), tables.end(), [this](ITableView* t) { return Wants(*t); }));
    UpdateAttention(dt, mWantedCount > 0);
    // A party served another way leaves a surplus that has nowhere to go.
    while (waitress && waitress->NumCarrying(mItem) > mWantedCount)
        waitress->DropItem(mItem, -1);
}

bool TWantedItemShelf::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!mEnabled || !mNeeded || waitress->NumCarrying(mItem) >= mWantedCount)
        return false;
    return HandOver(waitress, rules.score, mItem, 0, 0, mChain);
}

TDessertStation::TDessertStation()
    : TWantedItemShelf(floorart::RestaurantArt("%sfurniture/dessert_shelf%d"), DessertPosition(), kCarryDessert,
                       kScoreDessert)
{
}

bool TDessertStation::Wants(const ITableView& table) const { return table.PartyState() == kPartyWantsDessert; }

TSnackStation::TSnackStation()
    : TWantedItemShelf(floorart::RestaurantArt("%sfurniture/snackstation%d"), SnackPosition(), kCarrySnack,
                       kScoreSnack)
{
}

bool TSnackStation::Wants(const ITableView& table) const { return table.PartyWantsSnack(); }

// ---------------------------------------------------------------- drinks

TDrinkStation::TDrinkStation()
    : TShelfStation(floorart::RestaurantArt("%sfurniture/drinkstation%d"), DrinkPosition())
{
    mEmpty = TTexture::Get(floorart::RestaurantArt("%sfurniture/drinkstation%d") + "_c");
    mPickupSound = floorart::LoadSound("audio/sfx/sfx_get_drinks_1_snd.ogg");
}

void TDrinkStation::Reset()
{
    mDrinkReady = false;
    mRefillTimer = 0;
}

void TDrinkStation::Update(float dt)
{
    if (!mEnabled)
        return;
    mRefillTimer += dt;
    if (mRefillTimer > mRefillTime)
        mDrinkReady = true;
}

void TDrinkStation::ForceActive()
{
    if (mEnabled)
        mDrinkReady = true;
}

void TDrinkStation::PickupDrink()
{
    floorart::Play(mPickupSound);
    mDrinkReady = false;
    mRefillTimer = 0;
}

bool TDrinkStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!mEnabled || !mDrinkReady || !waitress->PickupItem(kCarryDrink, mDrinkValue, 0))
        return false;
    if (rules.score)
        rules.score->BreakChain(kScoreDrink);
    PickupDrink();
    return true;
}

void TDrinkStation::Draw()
{
    if (!mEnabled)
        return;
    if (!mDrinkReady) {
        DrawCentred(mEmpty, mPosition, 1.0f);
        return;
    }
    DrawCentred(mBase, mPosition, 1.0f);
    DrawCentred(mGlow, mPosition, floorart::Pulse(mRefillTimer));
    DrawCentred(mBase, mPosition, 1.0f);
}

// ---------------------------------------------------------------- high chairs

THighChairStation::THighChairStation() : TShelfStation("furniture/highchair_prop", kHighChairPosition)
{
    mStandingSpot = BesideArt(mBase, mPosition);
    mPickupSound = floorart::LoadSound("audio/sfx/highchair_pickup.ogg");
}

void THighChairStation::Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress)
{
    if (!mEnabled)
        return;
    int needed = 0;
    for (ITableView* table : tables)
        needed += table->HighChairsNeeded();
    UpdateAttention(dt, needed > (waitress ? waitress->NumCarrying(kCarryHighChair) : 0));
}

bool THighChairStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!mEnabled || !mNeeded)
        return false;
    return HandOver(waitress, rules.score, kCarryHighChair, 0, int(1000.0f * mPatience), kScoreHighChair);
}

// ---------------------------------------------------------------- the mop

TMopStation::TMopStation() : TShelfStation("furniture/mop_station", kMopPosition), mStandPosition(kMopStandPosition)
{
    mStand = TTexture::Get("furniture/mop_station_c");
    mStandingSpot = BesideArt(mBase, mPosition);
    mPickupSound = floorart::LoadSound("audio/sfx/mop_pickup.ogg");
}

void TMopStation::Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress)
{
    if (!mEnabled)
        return;
    UpdateAttention(dt, std::any_of(tables.begin(), tables.end(), [](ITableView* t) { return t->SpillPresent(); }));
    mMopCarried = waitress && waitress->CarryingItem(kCarryMop, -1);
}

bool TMopStation::HitTest(const TPoint& point, TTutorial*, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (!mEnabled)
        return false;
    return mMopCarried ? floorart::HitCentred(mStand, mStandPosition, point)
                       : floorart::HitCentred(mBase, mPosition, point);
}

bool TMopStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!mEnabled)
        return false;
    if (waitress->CarryingItem(kCarryMop, -1)) {
        waitress->DropItem(kCarryMop, -1);
        mMopCarried = false;
        return true;
    }
    if (!mNeeded || !HandOver(waitress, rules.score, kCarryMop, 0, int(1000.0f * mMopFactor), kScoreMop))
        return false;
    mMopCarried = true;
    return true;
}

void TMopStation::Draw()
{
    if (!mEnabled)
        return;
    DrawCentred(mStand, mStandPosition, 1.0f);
    if (mMopCarried)
        return;
    DrawCentred(mBase, mPosition, 1.0f);
    if (mNeeded)
        DrawCentred(mGlow, mPosition, floorart::Pulse(mAttentionTime));
}
