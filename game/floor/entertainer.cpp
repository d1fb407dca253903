#include "game/floor/entertainer.h"

#include "engine/render/texture.h"
#include "game/floor/eatingstation.h"
#include "game/floor/floorart.h"
#include "game/floor/globalskeys.h"
#include "game/floor/party.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kNoteSpeed = 250.0f;   // pixels per second
constexpr float kNoteSpacing = 50.0f;  // the notes of a group leave this far apart
constexpr float kWobbleLength = 40.0f, kWobbleWidth = 20.0f;
constexpr float kStartScale = 0.6f;
constexpr float kPi = 3.1415927f;
constexpr int kBlimp = 3;

struct TPoints {
    float x, y, x2, y2;
};

// Where the performer (and a second one) stand, by restaurant index.
TPoints PerformerPoints(int restaurant)
{
    switch (restaurant) {
    case 1: return {70, 177, 700, 500};
    case 2: return {740, 500, 700, 500};
    case 3: return {740, 500, 770, 500};
    case 4: return {740, 500, 750, 100};
    default: return {700, 500, 700, 500};
    }
}

}  // namespace

// ---------------------------------------------------------------- TNote

TNote::TNote(TEatingStation* table, TVec2 origin) : mTable(table)
{
    const TPoint target = table ? table->GetLocation() : TPoint{int(origin.x), int(origin.y)};
    mTarget = {float(target.x), float(target.y)};
    const float dx = mTarget.x - origin.x, dy = mTarget.y - origin.y;
    mDistance = std::sqrt(dx * dx + dy * dy);
    if (dx == 0) {
        mAngle = dy >= 0 ? 4.712389f : 1.5707964f;
    } else {
        mAngle = std::atan(dy / dx);
        if (dx > 0) {
            mAngle += kPi;
            mFlipped = true;
        }
    }
    mDirY = -std::sin(mAngle);
    mDirX = -std::cos(mAngle);
    mX.fill(origin.x);
    mY.fill(origin.y);
    mDrawnX = mX;
    mDrawnY = mY;
    mScale.fill(kStartScale);
    mAlpha.fill(1.0f);
    mAlive.fill(false);
    mAlive[0] = true;
}

bool TNote::Move(float step)
{
    bool moved = false;
    for (std::size_t i = 0; i < std::size_t(kNotes); ++i) {
        if (!mAlive[i])
            continue;
        const float ex = mTarget.x - mX[i], ey = mTarget.y - mY[i];
        const float d = std::sqrt(ex * ex + ey * ey);
        if (mDistance - d > kNoteSpacing && i + 1 < std::size_t(kNotes))
            mAlive[i + 1] = true;
        mScale[i] = (mDistance > 0 ? 1.0f - d / mDistance : 1.0f) * 0.4f + kStartScale;
        if (d < kNoteSpacing)
            mAlpha[i] = d / kNoteSpacing;
        if (step <= d) {
            mX[i] += step * mDirX;
            mY[i] += step * mDirY;
            const float s = std::sin((mDistance - d) / kWobbleLength) * kWobbleWidth;
            mDrawnX[i] = mX[i] - s * mDirY;
            mDrawnY[i] = mY[i] + s * mDirX;
            moved = true;
        } else {
            mAlive[i] = false;
        }
    }
    return moved;
}

void TNote::Draw(const std::array<std::shared_ptr<TTexture>, kNotes>& pictures) const
{
    const float rotation = mFlipped ? mAngle + kPi : mAngle;
    for (std::size_t i = 0; i < std::size_t(kNotes); ++i)
        if (mAlive[i] && pictures[i])
            pictures[i]->DrawSprite(mDrawnX[i], mDrawnY[i], mAlpha[i], mScale[i], rotation, 0);
}

// ---------------------------------------------------------------- TEntertainer

TEntertainer::TEntertainer(TXmlNode* globals)
{
    floorart::InitGameAnimation(mPerformer, floorart::RestaurantArt("%speople/entertainer.anm"));
    mPerformer.Play("DoAnim", false);
    // Only the blimp's performer sings with a partner, at the karaoke stand;
    // no other restaurant has a second performer to load.
    if (floorart::RestaurantIndex() == kBlimp) {
        floorart::InitGameAnimation(mSecondPerformer, floorart::RestaurantArt("%speople/entertainer2.anm"));
        mSecondPerformer.Play("DoAnim", false);
    }
    mStereo = TTexture::Get("furniture/stereo");
    mRadio = TTexture::Get("furniture/radio");
    mKaraoke = TTexture::Get("furniture/karaoke");
    for (int i = 0; i < TNote::kNotes; ++i)
        mNotePictures[std::size_t(i)] = TTexture::Get(str::getFormatted("ui/notes/music_boost_%c", 'a' + i));
    floorart::InitGameAnimation(mPoof, "ui/personpoof.anm");
    globalskeys::ReadFloat(globals, "entertainerTime", &mDefaultInterval);
    mInterval = mDefaultInterval;
}

TEntertainer::~TEntertainer() = default;

void TEntertainer::Reset()
{
    mOn = mPermanent = mStarted = false;
    mInterval = mDefaultInterval;
    mKind = kPerformer;
    mNotes.clear();
    mPoof.Stop();
}

void TEntertainer::EnableEntertainer(int kind, float interval)
{
    Reset();
    mInterval = mIntervalTimer = interval;
    mOn = mPermanent = true;
    mKind = std::clamp(kind, int(kRadio), int(kPerformer));
    SetPositions();
}

void TEntertainer::Activate(float seconds)
{
    Reset();
    mOn = true;
    mTimeLeft = seconds;
    mIntervalTimer = mInterval;
    SetPositions();
    PlayPoof({(mStation.x + mSecond.x) / 2, (mStation.y + mSecond.y) / 2});
}

bool TEntertainer::Available() const { return mPerformer.GetAnimatedTexture() != nullptr; }

void TEntertainer::SetPositions()
{
    if (mKind != kPerformer) {
        mStation = mSecond = mOrigin = {725, 525};
        return;
    }
    const int restaurant = floorart::RestaurantIndex();
    const TPoints p = PerformerPoints(restaurant);
    mStation = {p.x, p.y};
    mSecond = {p.x2, p.y2};
    mOrigin = restaurant == kBlimp ? mSecond : mStation;
}

TPoint TEntertainer::GetStandingSpot() { return {int(mStation.x), int(mStation.y - 30)}; }

const std::shared_ptr<TTexture>& TEntertainer::Furniture() const { return mKind == kRadio ? mRadio : mStereo; }

bool TEntertainer::HitTest(const TPoint& point, TTutorial*, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (!mOn || mKind == kPerformer)
        return false;
    return floorart::HitCentred(Furniture(), {int(mStation.x), int(mStation.y)}, point);
}

bool TEntertainer::ArrivedAtStation(TQuessa*, TPlayRules, int)
{
    if (!mOn || mKind == kPerformer || mStarted)
        return false;
    mStarted = true;
    LaunchNotes(mTables);
    mIntervalTimer = mInterval;
    return true;
}

void TEntertainer::LaunchNotes(const std::vector<TEatingStation*>& tables)
{
    for (TEatingStation* table : tables)
        mNotes.emplace_back(table, mOrigin);
}

void TEntertainer::PlayPoof(TVec2 at)
{
    mPoofPosition = at;
    mPoof.Play("DoAnim", false);
}

void TEntertainer::Update(float dt)
{
    if (!mOn)
        return;
    if (!mPermanent) {
        mTimeLeft -= dt;
        if (mTimeLeft < 0) {
            mNotes.clear();
            mOn = false;
            PlayPoof({(mStation.x + mSecond.x) / 2, (mStation.y + mSecond.y) / 2});
            return;
        }
    }
    mNotes.remove_if([this](const TNote& note) {
        return std::find(mTables.begin(), mTables.end(), note.Table()) == mTables.end();
    });
    const float step = kNoteSpeed * dt;
    bool first = true;
    for (auto it = mNotes.begin(); it != mNotes.end();) {
        if (it->Move(step)) {
            ++it;
            continue;
        }
        if (TParty* party = it->Table()->GetParty()) {
            party->HeartBoost(1, first);
            first = false;
        }
        it = mNotes.erase(it);
    }
    mIntervalTimer -= dt;
    if (mIntervalTimer < 0) {
        mStarted = false;
        if (mKind == kPerformer) {
            LaunchNotes(mTables);
            mIntervalTimer = mInterval;
        }
    }
}

void TEntertainer::Draw()
{
    if (mOn) {
        const float alpha = mStarted ? 0.25f : 1.0f;
        if (mKind != kPerformer) {
            if (const auto& furniture = Furniture())
                furniture->DrawSprite(mStation.x, mStation.y, alpha, 1.0f, 0.0f, 0);
        } else {
            if (floorart::RestaurantIndex() == kBlimp && mKaraoke)
                mKaraoke->DrawSprite(mSecond.x, mSecond.y, alpha, 1.0f, 0.0f, 0);
            mPerformer.Draw(mStation.x, mStation.y, alpha, 1.0f, 0.0f, 0);
            mSecondPerformer.Draw(mSecond.x, mSecond.y, alpha, 1.0f, 0.0f, 0);
        }
    }
    if (mPoof.IsPlaying())
        mPoof.Draw(mPoofPosition.x, mPoofPosition.y, 1.0f, 1.0f, 0.0f, 0);
}

void TEntertainer::DrawNotes()
{
    if (!mOn)
        return;
    for (const TNote& note : mNotes)
        note.Draw(mNotePictures);
}
