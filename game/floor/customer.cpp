#include "game/floor/customer.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/spritequad.h"
#include "engine/render/texture.h"
#include "game/floor/floorart.h"
#include "game/settings/settings.h"

using floorart::GameClock;
using floorart::RestaurantArt;

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTeleportHiddenTime = 0.75f;  // nothing shows before this
constexpr float kTeleportFadeStart = 0.5f;    // after the sparkles start

int Mirror(bool flipped)
{
    return flipped ? kSpriteMirrorX : 0;
}

}  // namespace

const char* CustomerColorWord(int colour)
{
    static const char* const kWords[kCustomerColorCount] = {"red", "blue", "green", "yellow", "purple"};
    return colour >= 0 && colour < kCustomerColorCount ? kWords[colour] : "red";
}

str CustomerPaletteWord(int colour, int look)
{
    const int n = look > 0 ? look % kCustomerLooks : 0;
    return n ? str::getFormatted("%s_look%d", CustomerColorWord(colour), n) : str(CustomerColorWord(colour));
}

bool InSpaceRestaurant()
{
    const TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentRestaurantName() == "spaceship";
}

void TCustomerAnimations::LoadAnimations(str typeFolder, str paletteWord)
{
    body.Init(typeFolder + "/anim.anm", "anim.png?palettized", "");
    palette = typeFolder + "/" + paletteWord + ".pal";
    legs = TTexture::Get(typeFolder + "/legs?palette=" + typeFolder + "/" + paletteWord + "_legs.pal", 0);
    angerSmoke.Init("ui/angersmoke.anm", "", "");
    heartGrow.Init("ui/heartgrow.anm", "", "");
    menu = TTexture::Get("accessories/menu_up", 0);
    cup = TTexture::Get(RestaurantArt("%sfood/cup%d"), 0);
    for (TAnimation* animation : {&body, &angerSmoke, &heartGrow})
        animation->SetClock(GameClock());
}

TCustomer::TCustomer(eCustomerColors colour, str typeFolder, int hearts, unsigned cosmeticSeed, int look)
    : mHearts(hearts), mColor(colour), mTypeFolder(typeFolder), mCosmetic(cosmeticSeed ? cosmeticSeed : 1)
{
    mTeleport = TTexture::Get("ui/teleport", 0);
    mBubble = TTexture::Get("ui/bubbles/request_bubble", 0);
    mThoughtIcons[kThoughtMop] = TTexture::Get("ui/bubbles/request_mop", 0);
    mThoughtIcons[kThoughtPicture] = TTexture::Get("ui/bubbles/request_camera", 0);
    mThoughtIcons[kThoughtDessert] = TTexture::Get(RestaurantArt("%srequests/request_dessert%d"), 0);
    mThoughtIcons[kThoughtSnack] = TTexture::Get(RestaurantArt("%srequests/request_snack%d"), 0);
    const str paletteWord = CustomerPaletteWord(colour, look);
    mAnims.LoadAnimations(typeFolder, paletteWord);
    StartAnimation(kStateWaitingInLine);

    const std::shared_ptr<TAnimatedTexture> art = mAnims.body.GetAnimatedTexture();
    if (!art)
        return;
    const TRect box = art->BoundingBox(mAnims.body.GetCurrentFrame());
    mHalfHeight = (box.y2 - box.y1) / 2;
    int x = 0, y = 0;
    if (art->GetAnchorPoint(0, "baby", &x, &y))
        mHoldingBaby = mCameWithBaby = true;
    if (art->GetAnchorPoint(0, "sit_offset", &x, &y))
        mSitOffset = {x, y};
    if (mHoldingBaby) {
        mBaby.Init(typeFolder + "/baby.anm",
                   str("baby.png?palette=") + typeFolder + "/" + paletteWord + "_baby.pal", "");
        mBaby.SetClock(GameClock());
        mBaby.Play("Sad", false);
        // The body started before the baby was known: give it the baby form.
        StartAnimation(kStateWaitingInLine);
    }
}

void TCustomer::SetLocation(const TPoint& p, bool flipped, bool walk)
{
    const TVec2 to{static_cast<float>(p.x), static_cast<float>(p.y)};
    if (!walk) {
        mPosition = mTarget = to;
        mFlipped = mTargetFlipped = flipped;
        return;
    }
    mTarget = to;
    mTargetFlipped = flipped;
    mTurnX = mPosition.x + (to.x - mPosition.x) * 0.5f;
}

void TCustomer::SetStandLocation(const TPoint& p)
{
    SetLocation({p.x, p.y - mHalfHeight}, false, false);
}

bool TCustomer::UpdateMovement(float dt)
{
    for (auto& row : mSparkles)
        for (int& n : row)
            n = static_cast<int>(mCosmetic() & 0x7fffffff);
    if (mPosition.x == mTarget.x && mPosition.y == mTarget.y)
        return false;
    const float step = kWalkSpeed * dt;
    if (mTarget.x < mPosition.x) {
        mPosition.x = mPosition.x - mTarget.x < step ? mTarget.x : mPosition.x - step;
        if (mTargetFlipped != mFlipped && mTurnX > mPosition.x)
            mFlipped = mTargetFlipped;
    } else if (mTarget.x > mPosition.x) {
        mPosition.x = mTarget.x - mPosition.x < step ? mTarget.x : mPosition.x + step;
        if (mTargetFlipped != mFlipped && mTurnX < mPosition.x)
            mFlipped = mTargetFlipped;
    }
    if (mTarget.y < mPosition.y)
        mPosition.y = mPosition.y - mTarget.y < step ? mTarget.y : mPosition.y - step;
    else if (mTarget.y > mPosition.y)
        mPosition.y = mTarget.y - mPosition.y < step ? mTarget.y : mPosition.y + step;
    return true;
}

void TCustomer::PlayBody(str function)
{
    // A drink, a smile for the camera and a kiss hold the party until their
    // own animation ends: another one in its place (the tip's idle loop when
    // the bill is paid mid-kiss) would hold it for ever, so it ends them.
    mDrinking = mLeaningIn = mSmiling = false;
    mLastAnimation = function;
    mAnims.body.Play(function, false);
}

void TCustomer::StartAnimation(eCustomerStates s)
{
    mAnims.body.Stop();
    mState = s;
    mDrinking = mLeaningIn = mSmiling = mPreFoodShown = false;
    switch (s) {
    case kStateWaitingInLine:
        mStanding = true;
        PlayStandingAnimation(true);
        break;
    case kStateDeciding:
        mStanding = false;
        PlayBody(BabyForm("ReadMenu"));
        break;
    case kStateEating:
    case kStateEatingDessert:
        mStanding = false;
        PlayBody(BabyForm("Eat"));
        break;
    case kStateReadyToOrder:
    case kStateWantsDessert:
    case kStateWantsCheck:
    case kStateWantsSnack:
    case kStateWantsPicture:
        mStanding = false;
        PlayBody(BabyForm("CallWaiter"));
        break;
    case kStateLeaving:
        mStanding = true;
        PlayBody("Leave2");
        break;
    case kStateLeavingAngry:
        mStanding = true;
        PlayBody("Ditch1");
        break;
    default:
        mStanding = false;
        PlayIdle();
        break;
    }
    mAnims.angerSmoke.Stop();
    mAngerShown = false;
}

void TCustomer::PlayIdle()
{
    PlayBody(BabyForm(mHearts >= 4 ? "Idle" : "IdleSad"));
}

void TCustomer::PlayStandingAnimation(bool force)
{
    if (mRollover)
        return;
    const str name = mHearts >= 5 ? "Stand" : mHearts >= 2 ? "StandUnhappy" : "StandMad";
    if (name != mStandAnimation || force) {
        PlayBody(name);
        // The follower of a pair copies its lead's frame while drawing.
        if (mLeadPartner && name == "Stand")
            mAnims.body.Stop();
    }
    mStandAnimation = name;
}

void TCustomer::StartScoringAnimation()
{
    if (mHearts >= 8)
        PlayBody("Leave1");
    else
        PlayIdle();
}

bool TCustomer::DrawMenu(eCustomerStates s) const
{
    return (mLastAnimation == "ReadMenu" && s == kStateDeciding) || mLastAnimation == "ReadMenu_Baby";
}

void TCustomer::TriggerAngerSmoke(bool loop, int direction)
{
    mAnims.angerSmoke.Play(loop ? "LoopAnim" : "DoAnim", false);
    if (direction < 0)
        PlayBody(BabyForm("SitAngry"));
    else if (direction == 0)
        PlayBody(mFlipped ? "BuzzRightMad" : "BuzzLeftMad");
    else if (direction == 1)
        PlayBody(mFlipped ? "BuzzLeftMad" : "BuzzRightMad");
    else if (direction == 2)
        PlayBody("BuzzUpMad");
    else if (direction == 3)
        PlayBody("BuzzDownMad");
    mAngerShown = true;
}

void TCustomer::TriggerHeartGrow()
{
    mAnims.heartGrow.Play("DoAnim", false);
}

void TCustomer::TriggerDrinkingAnimation()
{
    if (mTypeFolder.find("kid_") >= 0)
        return;
    PlayBody(BabyForm("Drink"));
    mDrinking = true;
}

void TCustomer::SmileForCamera()
{
    PlayBody("CameraSmile");
    mSmiling = true;
}

void TCustomer::StopSmilingForCamera()
{
    mSmiling = false;
    StartAnimation(mState);
}

void TCustomer::LeanIn()
{
    PlayBody("LeanIn");
    mLeaningIn = true;
}

void TCustomer::StopLeaningIn()
{
    mLeaningIn = false;
    StartAnimation(mState);
}

void TCustomer::StopDrinking()
{
    mDrinking = false;
    StartAnimation(mState);
}

void TCustomer::PlayBabyAnim(bool happy)
{
    if (mHoldingBaby)
        mBaby.Play(happy ? "Happy" : "Sad", false);
}

void TCustomer::SeatBaby()
{
    if (!mHoldingBaby)
        return;
    mHoldingBaby = false;
    StartAnimation(mState);
}

void TCustomer::TriggerWantCleanUp(bool want)
{
    if (want)
        PlayBody(BabyForm("CallWaiter"));
    else
        StartAnimation(mState);
}

void TCustomer::SetRollover(bool on)
{
    if (on == mRollover)
        return;
    mRollover = on;
    if (on) {
        PlayBody("StandRollover");
        mStanding = true;
        return;
    }
    StartAnimation(mState);
    for (TCustomer* partner : {mLeadPartner, mFollower})
        if (partner && !partner->mRollover)
            partner->StartAnimation(partner->mState);
}

TPoint TCustomer::GetFlippedAnchorPoint(str name) const
{
    TPoint p{static_cast<int>(mPosition.x), static_cast<int>(mPosition.y)};
    const std::shared_ptr<TAnimatedTexture> art = mAnims.body.GetAnimatedTexture();
    int ax = 0, ay = 0;
    if (art && art->GetAnchorPoint(mAnims.body.GetCurrentFrame(), name, &ax, &ay)) {
        p.x = mFlipped ? p.x - ax : p.x + ax;
        p.y += ay;
    }
    return p;
}

TRect TCustomer::BoundingBox() const
{
    const int x = static_cast<int>(mPosition.x), y = static_cast<int>(mPosition.y);
    const std::shared_ptr<TAnimatedTexture> art = mAnims.body.GetAnimatedTexture();
    if (!art)
        return {x, y, x, y};
    TRect box = art->BoundingBox(mAnims.body.GetCurrentFrame());
    box.Offset(x, y);
    return box;
}

bool TCustomer::CheckClick(const TPoint& p, bool withBubble) const
{
    TRect box = BoundingBox();
    if (withBubble && mBubble) {
        const TPoint at = GetFlippedAnchorPoint("smoke");
        const int w = mBubble->GetWidth() / 2, h = mBubble->GetHeight() / 2;
        box = TRect::Union(box, TRect{at.x - w, at.y - h, at.x + w, at.y + h});
    }
    return box.Contains(p);
}

void TCustomer::DrawSprite(const std::shared_ptr<TTexture>& sprite, const TPoint& at)
{
    if (sprite)
        sprite->DrawSprite(static_cast<float>(at.x), static_cast<float>(at.y), 1.0f, 1.0f, 0, Mirror(mFlipped));
}

void TCustomer::DrawLegs()
{
    const std::shared_ptr<TAnimatedTexture> art = mAnims.body.GetAnimatedTexture();
    if (!mAnims.legs)
        return;
    int ax = 0, ay = 0;
    if (art && art->GetAnchorPoint(mAnims.body.GetCurrentFrame(), "hide_legs", &ax, &ay))
        return;
    const TPoint at = GetFlippedAnchorPoint("legs");
    if (at.x == 0 && at.y == 0)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    DrawSprite(mAnims.legs, at);
    platform->End2d();
}

void TCustomer::UpdateLooks(eCustomerStates s, bool foodComing)
{
    if (s == kStateWaitingForFood) {
        if (foodComing && !mPreFoodShown) {
            PlayBody(BabyForm("PreFood"));
            mPreFoodShown = true;
            mDrinking = false;
        } else if (!foodComing && mPreFoodShown) {
            PlayIdle();
            mPreFoodShown = false;
        }
    }
    if (mDrinking && !mAnims.body.IsPlaying()) {
        mDrinking = false;
        StartAnimation(mState);
    }
    if (mAngerShown && !mAnims.angerSmoke.IsPlaying()) {
        if (mHearts == 1 && mState != kStateDeciding && mState != kStateEating && mState != kStateEatingDessert) {
            TriggerAngerSmoke(true, -1);
        } else {
            mAngerShown = false;
            StartAnimation(mState);
        }
    }
}

void TCustomer::DrawLovebirdFrame(eCustomerStates s)
{
    if (s != kStateWaitingInLine || mStandAnimation != "Stand")
        return;
    if (mLeadPartner && !mRollover) {
        if (!mLeadPartner->mRollover) {
            mAnims.body.SetCurrentFrame(mLeadPartner->mAnims.body.GetCurrentFrame());
        } else {
            mAnims.body.SetCurrentFrame(0);
            mAnims.body.Stop();
        }
    }
    if (mFollower && mFollower->mRollover) {
        mAnims.body.SetCurrentFrame(0);
        mAnims.body.Stop();
    }
}

void TCustomer::Draw(TAnimatedTextureCache* cache, eCustomerStates s, bool foodComing, EThought thought,
                     float sinceArrival)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    if (const std::shared_ptr<TAnimatedTexture> art = mAnims.body.GetAnimatedTexture())
        art->LoadPalette(mAnims.palette);
    DrawLovebirdFrame(s);
    const bool menu = DrawMenu(s);
    if (!mCameWithBaby && menu)
        DrawSprite(mAnims.menu, GetFlippedAnchorPoint("menu"));
    if (mDrinking && mAnims.body.IsPlaying())
        DrawSprite(mAnims.cup, GetFlippedAnchorPoint("cup"));
    const TPoint smoke = GetFlippedAnchorPoint("smoke");
    if (thought != kThoughtNone && thought < static_cast<int>(mThoughtIcons.size())) {
        DrawSprite(mBubble, smoke);
        DrawSprite(mThoughtIcons[thought], smoke);
    }
    // Every customer's smoke and heart come from one animation each, played
    // out of step: through the cache each draws its own frame without
    // copying it into the shared surface after another customer drew from it.
    if (mAnims.angerSmoke.IsPlaying())
        mAnims.angerSmoke.Draw(cache, static_cast<float>(smoke.x), static_cast<float>(smoke.y), 1.0f, 1.0f, 0,
                               Mirror(mFlipped));
    if (mAnims.heartGrow.IsPlaying())
        mAnims.heartGrow.Draw(cache, static_cast<float>(smoke.x), static_cast<float>(smoke.y), 1.0f, 1.0f, 0,
                              Mirror(mFlipped));
    DrawBody(cache, sinceArrival);
    if (mCameWithBaby && menu)
        DrawSprite(mAnims.menu, GetFlippedAnchorPoint("menu"));
    if (mHoldingBaby && !mStanding && mBaby.GetAnimatedTexture()) {
        const TPoint at = GetFlippedAnchorPoint("baby");
        mBaby.Draw(static_cast<float>(at.x), static_cast<float>(at.y), 1.0f, 1.0f, 0, Mirror(mFlipped));
    }
    platform->End2d();
    (void)foodComing;  // the pose it asks for was started by UpdateLooks
}

void TCustomer::DrawBody(TAnimatedTextureCache* cache, float sinceArrival)
{
    const bool materialising = InSpaceRestaurant() && sinceArrival < SPACE_TOTAL_MATERIALIZE_TIME &&
                               mAnims.body.GetAnimatedTexture() && mTeleport;
    if (!materialising) {
        mAnims.body.Draw(cache, mPosition.x, mPosition.y, 1.0f, 1.0f, 0, Mirror(mFlipped));
        return;
    }
    if (sinceArrival < kTeleportHiddenTime)
        return;
    const float t = sinceArrival - kTeleportHiddenTime;
    auto extent = [](float v, int* half) {
        const int n = static_cast<int>(v);
        if (n < 2) {
            *half = 1;
            return 2;
        }
        *half = n >> 1;
        return n;
    };
    int halfW = 0, halfH = 0;
    const int w = extent(t * 50.0f, &halfW), h = extent(t * 120.0f, &halfH);
    const float alpha = t <= kTeleportFadeStart ? 0.0f : std::min(1.0f, (t - kTeleportFadeStart) * 2.0f);
    mAnims.body.Draw(cache, mPosition.x, mPosition.y, alpha, 1.0f, 0, Mirror(mFlipped));
    for (int i = 0; i < kSparkles; ++i) {
        const float x = mPosition.x + static_cast<float>(mSparkles[0][i] % w - halfW);
        const float y = mPosition.y + static_cast<float>(mSparkles[1][i] % h - halfH);
        const float rotation = static_cast<float>(mSparkles[2][i] % 100) / 100.0f * 2.0f * kPi;
        mTeleport->DrawSprite(x, y, 1.0f - alpha, 1.0f, rotation, Mirror(mFlipped));
    }
}
