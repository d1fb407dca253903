#include "game/floor/eatingstation.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/spritequad.h"
#include "engine/render/texture.h"
#include "engine/sound/sound.h"
#include "engine/text/textgraphic.h"
#include "game/floor/floorart.h"
#include "game/floor/noisering.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

using floorart::GameClock;

#include <algorithm>
#include <climits>

namespace {

constexpr int kGrid = 10;  // the path-finding grid
const char* const kSoundFiles[] = {"audio/sfx/sfx_deliver_food_1_snd.ogg", "audio/sfx/sfx_deliver_food_2_snd.ogg",
                                   "audio/sfx/sfx_pencil_write_2.ogg",      "audio/sfx/highchair_deliver.ogg",
                                   "audio/sfx/spill.ogg",                   "audio/sfx/mop_spill.ogg",
                                   "audio/sfx/customer_ditch.ogg",          "audio/sfx/table_drink.ogg"};

TPoint Anchor(const std::shared_ptr<TAnimatedTexture>& art, const char* name, bool* found = nullptr)
{
    int x = 0, y = 0;
    const bool ok = art && art->GetAnchorPoint(0, name, &x, &y);
    if (found)
        *found = ok;
    return ok ? TPoint{x, y} : TPoint{};
}

TPoint Plus(TPoint a, TPoint b)
{
    return {a.x + b.x, a.y + b.y};
}

}  // namespace

TEatingStation::TEatingStation(int tableNumber, int seatCount, bool isTable, const TPoint& location)
    : mEndSeat(seatCount), mTableNumber(tableNumber), mLocation(location), mHomeLocation(location),
      mLayoutPoint(location), mIsTable(isTable), mCache(std::make_unique<TAnimatedTextureCache>(64, 64, std::max(seatCount, 1)))
{
}

TEatingStation::~TEatingStation()
{
    TTextGraphic::Destroy(mNumberText);
}

int TEatingStation::Rand()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Rand() : 0;
}

void TEatingStation::Setup(str chairName, str artFolder, std::shared_ptr<TAnimatedTexture> art,
                           const int* chairColors)
{
    mArt = std::move(art);
    const int seats = mEndSeat - mFirstSeat;
    if (seats == 2 || seats == 4 || seats == 6)
        mDirt = TTexture::Get(str::getFormatted("furniture/dirt%dtop", seats), 0);
    CreateDefaultBoundingBox();
    AlignBoxToGrid();
    bool found = false;
    const TPoint shadow = Anchor(mArt, "shadow", &found);
    mShadowLocation = found ? Plus(mLocation, shadow) : TPoint{-1, -1};
    mNumberBadges = {TTexture::Get("ui/tablenumber_a", 0), TTexture::Get("ui/tablenumber_b", 0)};
    mMenuDown = TTexture::Get("accessories/menu_down", 0);
    mShadow = TTexture::Get("restaurants/tableshadow", 0);
    mSpillAnimation.Init("furniture/spill.anm", "", "");
    mSpillAnimation.SetClock(GameClock());
    CreateChairs(mArt, chairName, seats, 1, chairColors);
    CreateDefaultBoundingBox();
    mCheck = TTexture::Get("ui/check", 0);
    mStandingSpot = {mBoundingBox.x1 + (mBoundingBox.x2 - mBoundingBox.x1) / 2, mBoundingBox.y1};
    mCheckmarkSpot = {mStandingSpot.x, mStandingSpot.y + 20};
    mNumberText = TTextGraphic::Create(GetNumberText(), 30, 30,
                                       TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                       "assets/fonts/default.mvec", 25, TColor{0, 0, 0, 1});
    for (int i = 0; i < kSoundCount; ++i)
        mSounds[i] = floorart::LoadSound(kSoundFiles[i]);
    mPlates.assign(mChairs.size(), 0);
    mFoodAnimation.Init(str::getFormatted("%sfood/food.anm", artFolder.c_str()), "", "");
    mDessertAnimation.Init(str::getFormatted("%sfood/dessert.anm", artFolder.c_str()), "", "");
    mFoodAnimation.SetClock(GameClock());
    mDessertAnimation.SetClock(GameClock());
    mHeartLocation = Plus(mLocation, Anchor(mArt, "heart"));
    mTableNumberLocation = Plus(mLocation, Anchor(mArt, "number"));
    mNoiseLocation = mTableNumberLocation;
    mSpillLocation = {mLocation.x, mLocation.y + 30};
}

// The art stands on the floor grid: its box's top on a grid line. The shift
// is bounded, so a box whose top can never align (a negative modulus, odd
// art) cannot move the table for ever.
void TEatingStation::AlignBoxToGrid()
{
    for (int shift = 0; shift < kMaxAlignShift && mBoundingBox.y1 % kGrid != 0; ++shift) {
        --mLocation.y;
        mHomeLocation = mLocation;
        CreateDefaultBoundingBox();
    }
}

void TEatingStation::CreateDefaultBoundingBox()
{
    TRect box{mLocation.x, mLocation.y, mLocation.x, mLocation.y};
    if (mArt) {
        box = mArt->BoundingBox(0);
        box.Offset(mLocation.x, mLocation.y);
    }
    for (const auto& chair : mChairs)
        box = TRect::Union(box, chair->BoundingBox());
    box.y2 -= 20;
    mBoundingBox = box;
}

void TEatingStation::CreateChairs(const std::shared_ptr<TAnimatedTexture>& art, str chairName, int count,
                                  int firstIndex, const int* colors)
{
    const TRect frame = art ? art->BoundingBox(0) : TRect{};
    const int centreX = frame.x1 + (frame.x2 - frame.x1) / 2;
    for (int i = firstIndex; static_cast<int>(mChairs.size()) < count; ++i) {
        bool found = false;
        const TPoint anchor = Anchor(art, str::getFormatted("chair%d", i).c_str(), &found);
        if (!found)
            break;
        mChairs.push_back(std::make_unique<TChair>(chairName, Plus(mLocation, anchor), colors ? colors[i - 1] : 0,
                                                   anchor.x <= centreX, i));
    }
    mPlates.resize(mChairs.size(), 0);
    RebuildSeats();
}

void TEatingStation::RebuildSeats()
{
    mSeats.clear();
    for (int i = 0; i < GetChairCount(); ++i)
        if (InSeatRange(i))
            mSeats.push_back(mChairs[i].get());
    std::stable_sort(mSeats.begin(), mSeats.end(),
                     [](const TChair* a, const TChair* b) { return a->GetLocation(nullptr).y < b->GetLocation(nullptr).y; });
}

void TEatingStation::SetSeatRange(int first, int end)
{
    mFirstSeat = first;
    mEndSeat = end;
    RebuildSeats();
}

void TEatingStation::SetLocation(TPoint p)
{
    mLocation = mHomeLocation = p;
    for (size_t i = 0; i < mChairs.size(); ++i) {
        bool found = false;
        const TPoint anchor = Anchor(mArt, str::getFormatted("chair%zu", i + 1).c_str(), &found);
        if (!found)
            break;
        mChairs[i]->SetLocation(Plus(p, anchor));
    }
    CreateDefaultBoundingBox();
    bool found = false;
    const TPoint shadow = Anchor(mArt, "shadow", &found);
    mShadowLocation = found ? Plus(mLocation, shadow) : TPoint{-1, -1};
}

void TEatingStation::SetHeartLocation(TPoint p, bool vertical)
{
    mHeartLocation = p;
    if (mParty)
        mParty->SetHeartLocation(p.x, p.y, vertical);
}

void TEatingStation::SetNoiseLocation(TPoint p)
{
    mNoiseLocation = p;
    if (mParty)
        mParty->SetNoiseLocation(p);
}

str TEatingStation::GetNumberText() const
{
    if (mTableNumber <= 99)
        return str::getFormatted("%d", mTableNumber + 1);
    return str::getFormatted("%c", mTableNumber - 35);
}

TRect TEatingStation::MouseOverBox() const
{
    return {mBoundingBox.x1 - 10, mBoundingBox.y1 - 20, mBoundingBox.x2 + 10, mBoundingBox.y2 + 15};
}

const TChair* TEatingStation::GetChair(int index) const
{
    return index >= 0 && index < GetChairCount() ? mChairs[index].get() : nullptr;
}

void TEatingStation::PlaySound(ESound which)
{
    floorart::Play(mSounds[which]);
}

// ---- seating and chairs

void TEatingStation::TryOutParty(TParty* party)
{
    mTriedOut = party;
    mFoodInHand = mFoodReadyAndQueued = false;
}

void TEatingStation::AdoptParty(std::unique_ptr<TParty> party, TScoreManager* score)
{
    mTriedOut = nullptr;
    mFoodInHand = mFoodReadyAndQueued = false;
    mParty = std::move(party);
    if (mParty)
        mParty->ColorSeats(this, score);
    mSpillRolled = false;
    for (const auto& chair : mChairs)
        chair->ShowFlag(false);
}

int TEatingStation::GetClosestChair(const TPoint& p) const
{
    int best = -1;
    long bestDistance = LONG_MAX;
    for (int i = mFirstSeat; i < mEndSeat && i < GetChairCount(); ++i) {
        if (i < 0)
            continue;
        const TRect box = mChairs[i]->BoundingBox();
        const long dx = box.x1 + (box.x2 - box.x1) / 2 - p.x, dy = box.y1 + (box.y2 - box.y1) / 2 - p.y;
        const long distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void TEatingStation::OccupyChair(int index, bool occupied)
{
    if (index >= 0 && index < GetChairCount())
        mChairs[index]->Occupy(occupied);
}

TPoint TEatingStation::GetChairLocation(int index, bool* mirrored) const
{
    if (index < 0 || index >= GetChairCount())
        return mLocation;
    return mChairs[index]->GetSitLocation(mirrored);
}

int TEatingStation::GetChairColor(int index) const
{
    return index >= 0 && index < GetChairCount() ? mChairs[index]->GetColor() : -1;
}

bool TEatingStation::ColorSeat(int index, eCustomerColors colour, TScoreManager* score)
{
    if (index < 0 || index >= GetChairCount())
        return false;
    return mChairs[index]->SetColor(colour, score);
}

void TEatingStation::GetChairColors(int* colors) const
{
    for (int i = 0; i < GetChairCount(); ++i)
        colors[i] = mChairs[i]->GetColor();
}

void TEatingStation::GetChairChains(int* chains) const
{
    for (int i = 0; i < GetChairCount(); ++i)
        chains[i] = mChairs[i]->GetChainCount();
}

void TEatingStation::SetChairStates(const int* colors, const int* chains, int first, int end)
{
    for (int i = std::max(first, 0); i < end && i < GetChairCount(); ++i)
        mChairs[i]->SetState(colors[i], chains[i]);
}

void TEatingStation::SwapSeats(int a, int b)
{
    if (a < 0 || b < 0 || a >= GetChairCount() || b >= GetChairCount())
        return;
    TChair& x = *mChairs[a];
    TChair& y = *mChairs[b];
    const int colour = x.GetColor(), chain = x.GetChainCount();
    const bool occupied = x.IsOccupied();
    x.SetState(y.GetColor(), y.GetChainCount());
    x.Occupy(y.IsOccupied());
    y.SetState(colour, chain);
    y.Occupy(occupied);
}

int TEatingStation::GetMinOccupiedSeat() const
{
    for (int i = 0; i < GetChairCount(); ++i)
        if (mChairs[i]->IsOccupied())
            return i;
    return -1;
}

int TEatingStation::GetMaxOccupiedSeat() const
{
    const int first = GetMinOccupiedSeat();
    if (first < 0)
        return GetChairCount();
    int i = first;
    while (i < GetChairCount() && mChairs[i]->IsOccupied())
        ++i;
    return i;
}

int TEatingStation::NumHighChairs() const
{
    return static_cast<int>(std::count_if(mChairs.begin(), mChairs.end(), [](const auto& c) { return c->IsHighChair(); }));
}

int TEatingStation::HighChairsNeeded() const
{
    if (!mParty)
        return 0;
    const int wanted = mParty->NumHighChairsWanted();
    if (wanted == 0 || mParty->GetSize() >= mEndSeat - mFirstSeat)
        return 0;
    return wanted;
}

void TEatingStation::PlaceHighChair(eCustomerColors babyColor)
{
    static const int kPreferred2[] = {0, 1};
    static const int kPreferred4[] = {2, 1, 3, 0};
    static const int kPreferred6[] = {3, 2, 4, 1, 5, 0};
    const int seats = mEndSeat - mFirstSeat, placed = NumHighChairs();
    int preferred = 0;
    if (seats == 2 && placed < 2)
        preferred = kPreferred2[placed];
    else if (seats == 4 && placed < 4)
        preferred = kPreferred4[placed];
    else if (seats == 6 && placed < 6)
        preferred = kPreferred6[placed];
    if (!mParty || preferred >= GetChairCount())
        return;
    int chosen = -1;
    for (int i = 0; i < GetChairCount(); ++i) {
        if (mChairs[i]->IsOccupied() || mChairs[i]->IsHighChair())
            continue;
        chosen = i;
        if (i == preferred)
            break;
    }
    if (chosen < 0)
        return;
    if (chosen != preferred) {
        for (TCustomer* member : mParty->DrawList()) {
            if (member->chairIndex != preferred)
                continue;
            bool mirrored = false;
            const TPoint at = mChairs[chosen]->GetSitLocation(&mirrored);
            const TPoint offset = member->GetSitOffset();
            member->SetLocation({mirrored ? at.x - offset.x : at.x + offset.x, at.y + offset.y}, mirrored, false);
            member->chairIndex = chosen;
        }
        mParty->ResetPartyMouseState();  // rebuilds the draw order too
        SwapSeats(chosen, preferred);
    }
    mChairs[preferred]->SetHighChair(true, babyColor);
    PlaySound(kHighChair);
}

// ---- service state

void TEatingStation::ClearCheck()
{
    mDishesPresent = mDishesScore = true;
    if (mParty)
        mParty->SetState(kStatePaying);
    for (int i = 0; i < GetChairCount(); ++i)
        mPlates[i] = mChairs[i]->IsOccupied() ? 1 : 0;
}

void TEatingStation::ClearPlates()
{
    mDishesPresent = false;
    std::fill(mPlates.begin(), mPlates.end(), 0);
}

void TEatingStation::MakeDirty(bool withSpill)
{
    mDishesPresent = true;
    mDishesScore = false;
    std::fill(mPlates.begin(), mPlates.end(), 1);
    if (withSpill) {
        mSpillPresent = true;
        mSpillAnimation.SetCurrentFrame(mSpillAnimation.GetNumFrames() - 1);
    }
}

void TEatingStation::DoSpill()
{
    if (mSpillPresent)
        return;
    mSpillAnimation.Play("DoAnim", false);
    PlaySound(kSpill);
    mSpillPresent = true;
}

void TEatingStation::MopupSpill(IWaitressHands* hands, TScoreManager* score)
{
    PlaySound(kMopSpill);
    mSpillPresent = false;
    Score(score, kScoreMop);
    if (mParty)
        mParty->HeartBoost(1, true);
    if (hands)
        hands->UseMop();
}

void TEatingStation::Score(TScoreManager* score, int action)
{
    if (score)
        score->ScoreAction(static_cast<eScoreAction>(action), static_cast<float>(mLocation.x),
                           static_cast<float>(mLocation.y - 20));
}

void TEatingStation::SetUpgradeLevel(int level)
{
    mUpgradeLevel = level;
    if (mArt)
        mArt->SetCurrentFrame(level);
    for (const auto& chair : mChairs)
        chair->SetChairUpgrade(level);
}

ISeatGroup* SeatsOf(TEatingStation* station)
{
    return station;
}

void HearNoiseRing(TEatingStation* table, const TNoiseRing& ring)
{
    table->HearRing(ring);
}

void TEatingStation::HearRing(const TNoiseRing& ring)
{
    if (!mParty || mParty->IgnoreNoise())
        return;
    // Rings start at a table's noise point: neither that nor the table's
    // own location is ever hurt by its own ring.
    const TPoint source = ring.GetSource();
    if (mLocation == source || mNoiseLocation == source)
        return;
    for (int swept = ring.SweptInto(mBoundingBox); swept > 0; --swept)
        mParty->TriggerNoiseReaction(source, ring.IsSmooch());
}

bool TEatingStation::Update(float dt, IWaitressHands* hands, TPlayRules rules, TNoiseRingList& rings,
                            bool mopStationPresent, bool dessertStationPresent, int angryPenalty, bool foodReadyAndQueued)
{
    bool result = true;
    if (mParty) {
        const bool wasAngry = mParty->IsAngry();
        if (mParty->Update(dt, rules, rings, mSpillPresent, dessertStationPresent)) {
            if (mParty->GetState() == kStateEating && mParty->GetStagePercent() > 0.5f && !mSpillRolled) {
                mSpillRolled = true;
                if (mopStationPresent && mParty->DoSpill())
                    DoSpill();
            }
            const bool angry = mParty->IsAngry();
            for (const auto& chair : mChairs) {
                if (angry && !wasAngry)
                    chair->SetChairMood(false);
                else
                    chair->UpdateChairMood();
            }
        } else {
            if (mParty->GetState() == kStateLeavingAngry) {
                if (rules.score)
                    rules.score->Penalize(angryPenalty, static_cast<float>(mParty->GetLocation().x),
                                          static_cast<float>(mParty->GetLocation().y));
                PlaySound(kDitch);
                result = false;
            }
            if (hands) {
                hands->Drop(kCarryFood, mTableNumber);
                hands->Drop(kCarryTicket, mTableNumber);
            }
            // Its rings were sent from its noise point (or its location).
            const TPoint at = mParty->GetLocation(), noise = mParty->GetNoiseLocation();
            rings.remove_if([&](const std::unique_ptr<TNoiseRing>& ring) {
                const TPoint c{static_cast<int>(ring->GetCentre().x), static_cast<int>(ring->GetCentre().y)};
                return c == at || c == noise;
            });
            ReleaseParty();
        }
    }
    mFoodInHand = hands && hands->Carries(kCarryFood, mTableNumber);
    mFoodReadyAndQueued = foodReadyAndQueued;
    return result;
}

void TEatingStation::ReleaseParty()
{
    if (mTriedOut == mParty.get())
        mTriedOut = nullptr;
    mParty.reset();
    for (const auto& chair : mChairs) {
        chair->Occupy(false);
        chair->ShowFlag(true);
        chair->SetHighChair(false, 0);
    }
}

// ---- drawing

void TEatingStation::DrawChairs(bool highChairs, float upgradeAlpha, float highlightAlpha)
{
    for (TChair* chair : mSeats)
        if (chair->IsHighChair() == highChairs)
            chair->Draw(upgradeAlpha, highlightAlpha);
}

void TEatingStation::DrawPreTable(float upgradeAlpha, float highlightAlpha)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    if (mShadowLocation.x >= 0 && mShadow)
        mShadow->DrawSprite(static_cast<float>(mShadowLocation.x), static_cast<float>(mShadowLocation.y), 0.25f, 1.0f,
                            0, 0);
    if (mSpillPresent)
        mSpillAnimation.Draw(static_cast<float>(mSpillLocation.x), static_cast<float>(mSpillLocation.y), 1.0f, 1.0f, 0,
                             0);
    DrawChairs(false, upgradeAlpha, highlightAlpha);
    platform->End2d();
    if (TParty* shown = mParty ? mParty.get() : mTriedOut)
        shown->DrawLegs();
}

void TEatingStation::DrawPostTable(TAnimatedTextureCache* cache)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    const TPoint dirtAt = Plus(mLocation, Anchor(mArt, "dirt"));
    if (mParty && mParty->GetState() == kStateWaitingForFood) {
        const auto& badge = mNumberBadges[mFoodInHand || mFoodReadyAndQueued ? 1 : 0];
        if (badge)
            badge->DrawSprite(static_cast<float>(mTableNumberLocation.x), static_cast<float>(mTableNumberLocation.y),
                              1.0f, 1.0f, 0, 0);
        if (mNumberText) {
            const int x = mTableNumberLocation.x - 18, y = mTableNumberLocation.y - 17;
            mNumberText->Draw(TRect{x, y, x + 30, y + 30}, 1.0f, 0, 1.0f);
        }
    }
    if (mDishesPresent && mDirt)
        mDirt->DrawSprite(static_cast<float>(dirtAt.x), static_cast<float>(dirtAt.y), 1.0f, 1.0f, 0, 0);
    if (mParty && mParty->GetState() == kStatePaying && mCheck)
        mCheck->DrawSprite(static_cast<float>(dirtAt.x), static_cast<float>(dirtAt.y), 1.0f, 1.0f, 0, 0);
    DrawFood();
    platform->End2d();
    // A party trying the seats is still in the player's hand: the floor draws
    // it over everything else (DrawFloor), not here among the tables.
    if (mParty)
        mParty->Draw(cache ? cache : mCache.get(), mFoodInHand);
    if (platform->Begin2d()) {
        DrawChairs(true, 0, 0);
        platform->End2d();
    }
    if (mParty)
        mParty->DrawHearts();
}

void TEatingStation::DrawFood()
{
    if (!mDishesPresent && !mParty)
        return;
    mCache->Reset();
    const eCustomerStates state = mParty ? mParty->GetState() : kStateWaitingInLine;
    const float stage = mParty ? mParty->GetStagePercent() : 0;
    int frame = 4;
    if (state == kStateEating)
        frame = std::min(5, static_cast<int>(5 * stage));
    else if (state == kStateEatingDessert)
        frame = std::min(2, static_cast<int>(2 * stage));
    mFoodAnimation.SetCurrentFrame(frame);
    mDessertAnimation.SetCurrentFrame(frame);
    const bool menuDown = mParty && mParty->DrawMenuDown();
    for (TChair* chair : mSeats) {
        bool found = false;
        const TPoint plate = Plus(mLocation, Anchor(mArt, str::getFormatted("plate%d", chair->GetNumber()).c_str(), &found));
        if (!found)
            continue;
        const int index = chair->GetNumber() - 1;
        const bool used = index >= 0 && index < static_cast<int>(mPlates.size()) && mPlates[index];
        const bool eatingState = state == kStateEating || state == kStateWantsDessert || state == kStateWantsCheck;
        const float x = static_cast<float>(plate.x), y = static_cast<float>(plate.y);
        if (used || (chair->IsOccupied() && mParty && eatingState))
            mFoodAnimation.Draw(mCache.get(), x, y, 1.0f, 1.0f, 0, 0);
        if (chair->IsOccupied() && menuDown && mMenuDown)
            mMenuDown->DrawSprite(x, y, 1.0f, 1.0f, 0, chair->IsMirrored() ? kSpriteMirrorX : 0);
        if (chair->IsOccupied() && mParty && state == kStateEatingDessert)
            mDessertAnimation.Draw(mCache.get(), x, y, 1.0f, 1.0f, 0, 0);
    }
}
