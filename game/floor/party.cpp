#include "game/floor/party.h"
#include "game/floor/seatgroup.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/sound/sound.h"
#include "game/floor/floorart.h"
#include "game/floor/noisering.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"

#include <algorithm>
#include <map>
#include <string>
#include <cstring>

namespace {

enum ESound { kGainHeart, kPhone1, kPhone2, kBaby, kSmooch, kMenuDown, kTip1, kTip2, kTip3, kSpaceship };
const char* const kSoundFiles[] = {
    "audio/sfx/sfx_gain_heart_1.ogg", "audio/sfx/cellphone_noise_1.ogg", "audio/sfx/cellphone_noise_2.ogg",
    "audio/sfx/baby_cry.ogg",         "audio/sfx/bothsmooching1.ogg",    "audio/sfx/sfx_menu_down.ogg",
    "audio/sfx/tip_1.ogg",            "audio/sfx/tip_2.ogg",             "audio/sfx/tip_3.ogg",
    "audio/sfx/spaceship_customers_appear.ogg"};
constexpr float kSpaceSoundAge = 0.75f;
constexpr float kHeartFlipStagger = 0.2f;

int Rand()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Rand() : 0;
}

bool Chance(float c)
{
    return Rand() % 100 < static_cast<int>(100.0f * c);
}

float RandomFraction()
{
    return static_cast<float>(Rand() % 100) / 100.0f;
}

}  // namespace

TParty::TParty(int id, int size, const int* colours, const TCustomerDef& def, int snackChance)
    : mDef(def), mId(id), mSnackChance(snackChance)
{
    mDef.graphicType[kCustomerGraphicNameSize - 1] = 0;
    size = std::max(size, 1);  // every party has at least one member
    TCustomer* previous = nullptr;
    std::map<std::string, int> looks;  // members of each figure so far: the next one's look
    for (int i = 1; i <= size; ++i) {
        const int slot = std::min(i, kCustomerGraphicOverrides) - 1;
        mDef.graphicOverride[slot][kCustomerGraphicNameSize - 1] = 0;
        const str figure = mDef.graphicOverride[slot];
        const eCustomerColors colour = static_cast<eCustomerColors>(colours ? colours[i - 1] : 0);
        auto member = std::make_unique<TCustomer>(colour, str("customers/") + figure, mHearts,
                                                  static_cast<unsigned>(id * 16 + i), looks[figure.c_str()]++);
        if ((i == 2 || i == 4 || i == 6) && previous && figure.find("lovebird") >= 0) {
            member->SetPartners(previous, nullptr);
            previous->SetPartners(previous->GetLeadPartner(), member.get());
            mLovebirds = true;
        }
        previous = member.get();
        mMembers.push_front(std::move(member));
    }
    if (size > 2)
        mLovebirds = false;
    SortDrawList();
    mHeartImages = {TTexture::Get("accessories/heart1", 0), TTexture::Get("accessories/heart2", 0),
                    TTexture::Get("accessories/heart3", 0)};
    for (size_t i = 0; i < mSounds.size(); ++i)
        mSounds[i] = floorart::LoadSound(kSoundFiles[i]);
    ResetStateTimer();
}

TParty::~TParty() = default;

std::list<TCustomer*> TParty::MembersInBuildOrder() const
{
    std::list<TCustomer*> members;
    for (const auto& member : mMembers)
        members.push_front(member.get());
    return members;
}

bool TParty::AnyMemberNamed(const char* text, bool exact) const
{
    for (const auto& name : mDef.graphicOverride) {
        if (exact ? std::strcmp(name, text) == 0 : std::strstr(name, text) != nullptr)
            return true;
    }
    return false;
}

int TParty::RandomMember() const
{
    return Rand() % static_cast<int>(mMembers.size());
}

void TParty::PlaySound(int which)
{
    floorart::Play(mSounds[which]);
}

void TParty::EachMember(void (TCustomer::*action)())
{
    for (const auto& member : mMembers)
        (member.get()->*action)();
}

void TParty::RestartMembers()
{
    for (const auto& member : mMembers)
        member->StartAnimation(mState);
}

void TParty::SortDrawList()
{
    mDrawList.clear();
    for (const auto& member : mMembers)
        mDrawList.push_back(member.get());
    mDrawList.sort([](const TCustomer* a, const TCustomer* b) {
        return static_cast<int>(a->GetPosition().y) < static_cast<int>(b->GetPosition().y);
    });
}

float TParty::GetAdjustedTimeForState(eCustomerStates state, bool happy) const
{
    if (state < 0 || state >= kCustomerStates)
        return mDef.minStatePeriodMS / 1000.0f;
    const TCustomerStateTimes& times = mDef.states[state];
    const float base = times.timed ? std::abs(happy ? times.happyMS : times.madMS) : times.durationMS;
    float t = base * mTimeMultiplier / 1000.0f;
    switch (state) {
    case kStateReadyToOrder:
    case kStateWaitingForFood:
    case kStateWantsDessert:
    case kStateWantsCheck:
    case kStateWantsSnack:
    case kStateWantsPicture:
        t *= mServiceMultiplier;
        break;
    case kStateWaitingInLine:
        t *= mLineMultiplier;
        break;
    default:
        break;
    }
    return std::max(t, mDef.minStatePeriodMS / 1000.0f);
}

void TParty::ResetStateTimer()
{
    mPeriod = GetAdjustedTimeForState(mState, false);
}

void TParty::SetState(eCustomerStates state)
{
    if (mDrinking) {
        for (const auto& member : mMembers)
            if (member->IsDrinking())
                member->StopDrinking();
        mDrinking = false;
        HeartBoost(mDrinkValue, true);
    }
    if (mState >= kStateDeciding && IsWaitState(mState) && GetAdjustedTimeForState(mState, true) > mStateTime)
        HeartBoost(static_cast<int>(mDef.timeMood), true);

    mState = state;
    mPeriodTime = mStateTime = 0;
    mLeaveWait = 0;
    mSnackScheduled = mSmoochScheduled = mPictureScheduled = mSnackWanted = mPictureWanted = false;
    mRequestTime = mRequestTimeLeft = mRequestDelay = 0;

    for (const auto& member : mMembers) {
        if (state == kStatePaying)
            member->StartScoringAnimation();
        else
            member->StartAnimation(state);
    }
    if (state == kStateWantsDessert)
        mThoughtMember = RandomMember();
    if (state == kStatePaying) {
        for (int i = 0; i < mHearts / 2 && i < kHeartSlots; ++i)
            mHeartFlips[i].Start(static_cast<float>(i) * kHeartFlipStagger);
        PlaySound(mHearts < 6 ? kTip1 : mHearts <= 8 ? kTip2 : kTip3);
    }
    mMopWanted = false;
    mSpillTime = 0;
    mPeriod = GetAdjustedTimeForState(state, false);
    ScheduleRequests();
    SmoochCheck();
}

void TParty::ScheduleRequests()
{
    if ((mState == kStateDeciding || mState == kStateEating) && Rand() % 100 < mSnackChance) {
        mSnackScheduled = true;
        mThoughtMember = RandomMember();
        mRequestDelay = RandomFraction() * mPeriod;
        mRequestTime = mRequestTimeLeft = GetAdjustedTimeForState(kStateWantsSnack, false);
    }
    if (!mSnackScheduled && (mState == kStateDeciding || mState == kStateWantsCheck) && !mPictureTaken &&
        AnyMemberNamed("tourist", false) && Chance(mDef.specialChance)) {
        mPictureScheduled = mPictureTaken = true;
        mThoughtMember = RandomMember();
        mRequestDelay = RandomFraction() * mPeriod;
        mRequestTime = mRequestTimeLeft = GetAdjustedTimeForState(kStateWantsPicture, false);
    }
}

void TParty::SmoochCheck()
{
    if (mState == kStateWaitingInLine || mOnBench || !IsWaitState(mState) || !AnyMemberNamed("lovebird", false))
        return;
    if (Chance(mDef.specialChance)) {
        mSmoochDelay = RandomFraction() * std::max(1.0f, mPeriod - 2.0f);
        mSmoochScheduled = true;
    }
}

bool TParty::Leaving() const
{
    return mState == kStatePaying || mState == kStateLeaving || mState == kStateLeavingAngry;
}

bool TParty::IsAngry() const
{
    for (const auto& member : mMembers)
        if (member->IsAngerShown())
            return true;
    return false;
}

bool TParty::HasHandHolders() const
{
    return AnyMemberNamed("lovebird", false) && mLovebirds;
}

float TParty::GetStagePercent() const
{
    return mPeriod == 0 ? 0.0f : mPeriodTime / mPeriod;
}

bool TParty::DoSpill() const
{
    return Chance(mDef.spillChance);
}

void TParty::ApplyPatience(float factor)
{
    for (int s = 0; s < kCustomerStates; ++s) {
        if (!IsWaitState(s))
            continue;
        mDef.states[s].happyMS *= factor;
        mDef.states[s].madMS *= factor;
        mDef.states[s].durationMS *= factor;
    }
}

void TParty::HeartBoost(int n, bool sound)
{
    if (Leaving() || n < 1)
        return;
    const int before = mHearts;
    mHearts = std::min(mHearts + n, kMaxHearts);
    if (mHearts != before) {
        if (sound)
            PlaySound(kGainHeart);
        for (const auto& member : mMembers) {
            member->TriggerHeartGrow();
            if (mState == kStateWaitingInLine && !mSeatedLook)
                member->PlayStandingAnimation(false);
            if (mOnBench)
                member->PlayBabyAnim(mHearts >= 4);
        }
    }
    for (const auto& member : mMembers)
        member->SetHearts(mHearts);
}

bool TParty::LoseHeart(int n, int direction, TNoiseRingList& rings)
{
    if (Leaving())
        return true;
    mHearts -= n;
    for (const auto& member : mMembers)
        member->SetHearts(mHearts);
    if (mHearts > 0) {
        for (const auto& member : mMembers) {
            if (mSeatedLook || mOnBench)
                member->TriggerAngerSmoke(mHearts == 1 && direction == -1, direction);
            if (mOnBench)
                member->PlayBabyAnim(mHearts >= 4);
            if (mState == kStateWaitingInLine && !mSeatedLook)
                member->PlayStandingAnimation(false);
        }
        if (mState == kStateWaitingInLine) {
            SmoochCheck();
            return true;
        }
        if (IsMom() && !BabyWaitsForChair()) {
            EmitRing(rings, false);
            PlaySound(kBaby);
        }
        SmoochCheck();
        return true;
    }
    if (mState == kStateWaitingInLine)
        return false;
    SetState(kStateLeavingAngry);
    return true;
}

void TParty::TakeDrink(int value)
{
    if (Leaving())
        return;
    mDrinking = true;
    mDrinkValue = value;
    EachMember(&TCustomer::TriggerDrinkingAnimation);
}

void TParty::DeliverSnack()
{
    if (GetAdjustedTimeForState(kStateWantsSnack, true) > mRequestTime - mRequestTimeLeft)
        HeartBoost(static_cast<int>(mDef.timeMood), false);
    HeartBoost(1, true);
    mSnackWanted = mSnackScheduled = false;
    RestartMembers();
}

void TParty::TakePicture()
{
    if (GetAdjustedTimeForState(kStateWantsPicture, true) > mRequestTime - mRequestTimeLeft)
        HeartBoost(static_cast<int>(mDef.timeMood), false);
    HeartBoost(1, true);
    mPictureWanted = mPictureScheduled = false;
    RestartMembers();
    EachMember(&TCustomer::SmileForCamera);
}

void TParty::ColorSeats(TEatingStation* table, TScoreManager* score)
{
    ISeatGroup* station = SeatsOf(table);
    int coloured = 0;
    for (const auto& member : mMembers)
        if (station->ColorSeat(member->chairIndex, member->GetColor(), score))
            ++coloured;
    if (coloured > 0)
        HeartBoost(coloured * static_cast<int>(mDef.colorMood), true);
}

bool TParty::AllColorsMatch(TEatingStation* table) const
{
    const ISeatGroup* station = SeatsOf(table);
    for (const auto& member : mMembers) {
        const int chair = station->GetChairColor(member->chairIndex);
        if (chair != member->GetColor() && chair < kColorGrey)
            return false;
    }
    return true;
}

int TParty::NumHighChairsWanted() const
{
    int n = 0;
    for (const auto& member : mMembers)
        if (member->IsHoldingBaby())
            ++n;
    return n;
}

void TParty::SeatBaby()
{
    for (TCustomer* member : mDrawList)
        if (member->IsHoldingBaby()) {
            member->SeatBaby();
            return;
        }
}

eCustomerColors TParty::GetBabyColor() const
{
    for (const TCustomer* member : mDrawList)
        if (member->IsHoldingBaby())
            return member->GetColor();
    return kColorGrey;
}

void TParty::TriggerNoiseReaction(TPoint source, bool smooch)
{
    mPendingHit = true;
    mPendingAmount = smooch ? mDef.loveEffect : mDef.noiseEffect;
    mPendingSource = source;
}

bool TParty::DrawMenuDown() const
{
    if (mState == kStateReadyToOrder)
        return true;
    if (mState != kStateDeciding)
        return false;
    for (const auto& member : mMembers)
        if (member->DrawMenu(mState))
            return false;
    return true;
}

void TParty::EmitRing(TNoiseRingList& rings, bool smooch)
{
    rings.push_back(std::make_unique<TNoiseRing>(
        TVec2{static_cast<float>(mNoiseLocation.x), static_cast<float>(mNoiseLocation.y)}, mDef.noiseRangeX,
        mDef.noiseRangeY, mRingYFactor, smooch));
}

bool TParty::Update(float dt, TPlayRules rules, TNoiseRingList& rings, bool spillAtTable, bool dessertAvailable)
{
    if (mState == kStateWaitingInLine) {
        if (mWaveDelay > 0 && (mWaveDelay -= dt) <= 0) {
            for (const auto& member : mMembers)
                member->SetRollover(true);
        } else if (mWaveDelay <= 0 && mWaveTime > 0 && (mWaveTime -= dt) <= 0) {
            for (const auto& member : mMembers)
                member->SetRollover(false);
        }
    }
    for (THeartFlip& flip : mHeartFlips)
        flip.Update(dt);
    if (!mSpaceSoundPlayed && InSpaceRestaurant() && mAge + dt > kSpaceSoundAge) {
        mSpaceSoundPlayed = true;
        PlaySound(kSpaceship);
    }
    mAge += dt;

    bool spillStep = true, done = false;
    if (!UpdateHolds(dt, rings, &spillStep, &done)) {
        if (!UpdateTimers(dt, rules, rings, dessertAvailable, &done))
            return false;
    }
    if (done)
        return false;
    if (!UpdateSpill(spillStep ? dt : -1.0f, spillAtTable, rings))
        return false;

    bool moved = false;
    for (const auto& member : mMembers) {
        moved = member->UpdateMovement(dt) || moved;
        member->UpdateLooks(mState, false);
    }
    if (moved)
        SortDrawList();
    UpdateNoise(dt, rings);
    return true;
}

// The holds of step 4.1 to 4.7: true when one of them took the update.
bool TParty::UpdateHolds(float dt, TNoiseRingList& rings, bool* spillStep, bool* done)
{
    for (const auto& member : mMembers) {
        if (member->IsSmiling() || member->IsLeaningIn()) {
            for (const auto& m : mMembers) {
                if (m->IsSmiling() && !m->IsPlayingAnim())
                    m->StopSmilingForCamera();
                if (m->IsLeaningIn() && !m->IsPlayingAnim())
                    m->StopLeaningIn();
            }
            return true;
        }
    }
    *spillStep = false;
    if (mDrinking) {
        bool anyDrinking = false;
        for (const auto& member : mMembers)
            anyDrinking = anyDrinking || member->IsDrinking();
        if (!anyDrinking) {
            mDrinking = false;
            HeartBoost(mDrinkValue, true);
        }
        return true;
    }
    if (mPendingHit) {
        mPendingHit = false;
        const int dx = mPendingSource.x - mLocation.x, dy = mPendingSource.y - mLocation.y;
        const int direction = std::abs(dx) > std::abs(dy) ? (dx > 0 ? 1 : 0) : (dy > 0 ? 3 : 2);
        *done = !LoseHeart(mPendingAmount, direction, rings);
        return true;
    }
    if (mSnackWanted) {
        mRequestTimeLeft -= dt;
        if (mRequestTimeLeft < 0) {
            RestartMembers();
            *done = !LoseHeart(1, -1, rings);
            mSnackWanted = false;
        }
        return true;
    }
    if (mPictureWanted) {
        mRequestTimeLeft -= dt;
        if (mRequestTimeLeft < 0) {
            RestartMembers();
            mPictureWanted = false;
        }
        return true;
    }
    *spillStep = true;
    return mMopWanted;
}

bool TParty::UpdateTimers(float dt, TPlayRules rules, TNoiseRingList& rings, bool dessertAvailable, bool* done)
{
    mPeriodTime += dt;
    mStateTime += dt;
    if (mSnackScheduled && mStateTime > mRequestDelay) {
        mSnackScheduled = false;
        mSnackWanted = true;
        for (const auto& member : mMembers)
            member->StartAnimation(kStateWantsSnack);
        return true;
    }
    if (mSmoochScheduled && mPeriodTime > mSmoochDelay) {
        mSmoochScheduled = false;
        EmitRing(rings, true);
        PlaySound(kSmooch);
        EachMember(&TCustomer::LeanIn);
        return true;
    }
    if (mPictureScheduled && mStateTime > mRequestDelay) {
        mPictureScheduled = false;
        mPictureWanted = true;
        for (const auto& member : mMembers)
            member->StartAnimation(kStateWantsSnack);
        return true;
    }
    if (mState == kStateLeaving || mState == kStateLeavingAngry) {
        // Wait for the leave animation, but never longer than kMaxLeaveWait.
        mLeaveWait += dt;
        const bool playing = !mDrawList.empty() && mDrawList.front()->IsPlayingAnim();
        mPeriodTime = playing && mLeaveWait < kMaxLeaveWait ? 0.0f : mPeriod;
    }
    if (IsWaitState(mState)) {
        if (rules.tutorial && rules.tutorial->IsActive())
            return true;
        if (mPeriodTime > mPeriod) {
            mPeriod = GetAdjustedTimeForState(mState, false);
            mPeriodTime = 0;
            if (mDef.states[std::clamp<int>(mState, 0, kCustomerStates - 1)].madMS < 0)
                HeartBoost(1, true);
            else if (!LoseHeart(1, -1, rings))
                *done = true;
        }
        return true;
    }
    if (mPeriodTime >= mPeriod && !EndDurationState(rules, dessertAvailable))
        *done = true;
    return true;
}

// A duration state ran out: false when the party is finished.
bool TParty::EndDurationState(TPlayRules rules, bool dessertAvailable)
{
    const bool tutorialActive = rules.tutorial && rules.tutorial->IsActive();
    switch (mState) {
    case kStateDeciding:
        SetState(kStateReadyToOrder);
        PlaySound(kMenuDown);
        if (rules.tutorial)
            rules.tutorial->AdvanceState(kTutorialReadyToOrder, mTableId);
        break;
    case kStateEating:
        if (!tutorialActive && dessertAvailable && mHearts > mDef.dessertMood) {
            SetState(kStateWantsDessert);
        } else {
            SetState(kStateWantsCheck);
            if (rules.tutorial)
                rules.tutorial->AdvanceState(kTutorialWantsCheck, mTableId);
        }
        break;
    case kStateEatingDessert:
        SetState(kStateWantsCheck);
        break;
    case kStatePaying: {
        const int tip = static_cast<int>(static_cast<float>(mMembers.size()) * mDef.baseTip +
                                         static_cast<float>(mHearts) * mDef.moodTip);
        SetState(kStateLeaving);
        if (rules.score)
            rules.score->Tip(tip, static_cast<float>(mLocation.x), static_cast<float>(mLocation.y));
        break;
    }
    case kStateLeaving:
        if (rules.tutorial)
            rules.tutorial->AdvanceState(kTutorialPartyLeaves, mTableId);
        return false;
    case kStateLeavingAngry:
        return false;
    default:
        break;
    }
    return true;
}

// dt below 0: the step that ran has no spill step. False when the party is finished.
bool TParty::UpdateSpill(float dt, bool spillAtTable, TNoiseRingList& rings)
{
    if (!spillAtTable) {
        if (mMopWanted) {
            mMopWanted = false;
            mSpillTime = 0;
            for (const auto& member : mMembers)
                member->TriggerWantCleanUp(false);
            HeartBoost(1, true);
        }
        return true;
    }
    if (dt < 0 || mState > kStateWantsCheck)
        return true;
    mSpillTime += dt;
    if (mMopWanted && mSpillTime > mDef.states[kStateWantsSnack].madMS / 1000.0f) {
        mMopWanted = false;
        mSpillTime = 0;
        for (const auto& member : mMembers)
            member->TriggerWantCleanUp(false);
        return LoseHeart(1, -1, rings);
    }
    if (!mMopWanted && mSpillTime > mDef.spillTimer) {
        mMopWanted = true;
        mThoughtMember = RandomMember();
        mSpillTime = 0;
        for (const auto& member : mMembers)
            member->TriggerWantCleanUp(true);
    }
    return true;
}

void TParty::UpdateNoise(float dt, TNoiseRingList& rings)
{
    const bool babyWaits = BabyWaitsForChair();
    if (IsMom() && !babyWaits)
        return;
    if (mState == kStateWaitingInLine || Leaving())
        return;
    mNoiseTimer += dt;
    if (mNoiseTimer < mDef.noiseRate)
        return;
    mNoiseTimer = 0;
    if (!babyWaits && mHearts > mDef.noiseMood)
        return;
    EmitRing(rings, false);
    if (std::strcmp(mDef.graphicOverride[0], "cellphone_male") == 0)
        PlaySound(Rand() & 1 ? kPhone2 : kPhone1);
    else if (IsMom() && babyWaits)
        PlaySound(kBaby);
}
