// TCustomer: one figure of a party. It owns its animation set, walks to the
// points the party gives it, picks the animation that fits the party's state
// and mood, and draws itself with its props (menu, cup, thought bubble,
// anger smoke, heart growth, a baby in the arms, legs, and the teleport of
// the space restaurant). The figure's art is data: the anchors it looks up
// ("baby", "sit_offset", "legs", "hide_legs", "menu", "cup", "smoke") are
// its contract with the customer rig.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/floor/customerstates.h"

#include <array>
#include <memory>
#include <random>

class TAnimatedTextureCache;
class TTexture;

// The animations and sprites one figure draws with.
class TCustomerAnimations {
public:
    // `paletteWord` names the palettes: colour and look (CustomerPaletteWord).
    void LoadAnimations(str typeFolder, str paletteWord);

    TAnimation body;
    str palette;
    TAnimation angerSmoke;
    TAnimation heartGrow;
    std::shared_ptr<TTexture> legs;
    std::shared_ptr<TTexture> menu;
    std::shared_ptr<TTexture> cup;
};

class TCustomer {
public:
    enum EThought : int { kThoughtNone = 0, kThoughtDessert = 1, kThoughtMop = 2, kThoughtSnack = 3, kThoughtPicture = 4 };
    static constexpr int kSparkles = 10;
    static constexpr float kWalkSpeed = 700.0f;  // pixels per second

    // The sparkle generator is the figure's own: drawing never moves the
    // game's random course. `look` picks one of the type's kCustomerLooks.
    TCustomer(eCustomerColors colour, str typeFolder, int hearts, unsigned cosmeticSeed = 1, int look = 0);
    TCustomer(const TCustomer&) = delete;
    TCustomer& operator=(const TCustomer&) = delete;

    void SetLocation(const TPoint& p, bool flipped, bool walk);
    void SetStandLocation(const TPoint& p);
    // False when the figure already stands on its target.
    bool UpdateMovement(float dt);

    void StartAnimation(eCustomerStates s);
    void PlayIdle();
    void PlayStandingAnimation(bool force);
    void StartScoringAnimation();
    bool DrawMenu(eCustomerStates s) const;
    void TriggerAngerSmoke(bool loop, int direction);
    void TriggerHeartGrow();
    void TriggerDrinkingAnimation();
    void SmileForCamera();
    void StopSmilingForCamera();
    void LeanIn();
    void StopLeaningIn();
    void StopDrinking();
    bool IsDrinking() const { return mDrinking; }
    bool IsPlayingAnim() const { return mAnims.body.IsPlaying(); }
    bool IsSmiling() const { return mSmiling; }
    bool IsLeaningIn() const { return mLeaningIn; }
    void PlayBabyAnim(bool happy);
    void SeatBaby();
    void TriggerWantCleanUp(bool want);
    void SetRollover(bool on);
    bool InRollover() const { return mRollover; }

    TPoint GetFlippedAnchorPoint(str name) const;
    TRect BoundingBox() const;
    bool CheckClick(const TPoint& p, bool withBubble) const;

    void DrawLegs();
    // Drawing only shows. What the looks decide (a drink whose animation
    // ended, anger smoke that starts again at one heart, the pose before the
    // food arrives) happens in UpdateLooks, which the party calls each update.
    void Draw(TAnimatedTextureCache* cache, eCustomerStates s, bool foodComing, EThought thought, float sinceArrival);
    void UpdateLooks(eCustomerStates s, bool foodComing);

    void SetHearts(int hearts) { mHearts = hearts; }
    int GetHearts() const { return mHearts; }
    eCustomerColors GetColor() const { return mColor; }
    TVec2 GetPosition() const { return mPosition; }
    TPoint GetSitOffset() const { return mSitOffset; }
    bool IsFlipped() const { return mFlipped; }
    bool IsHoldingBaby() const { return mHoldingBaby; }
    bool IsAngerShown() const { return mAngerShown; }
    const str& GetTypeFolder() const { return mTypeFolder; }
    void SetPartners(TCustomer* lead, TCustomer* follower)
    {
        mLeadPartner = lead;
        mFollower = follower;
    }
    TCustomer* GetLeadPartner() const { return mLeadPartner; }
    // The chair this figure sits on (-1: none).
    int chairIndex = -1;

private:
    void PlayBody(str function);
    str BabyForm(str function) const { return mHoldingBaby ? function + "_Baby" : function; }
    void DrawSprite(const std::shared_ptr<TTexture>& sprite, const TPoint& at);
    void DrawBody(TAnimatedTextureCache* cache, float sinceArrival);
    void DrawLovebirdFrame(eCustomerStates s);

    eCustomerStates mState = kStateWaitingInLine;
    int mHearts;
    bool mAngerShown = false;
    str mStandAnimation;
    eCustomerColors mColor;
    str mTypeFolder;
    TCustomerAnimations mAnims;
    TVec2 mPosition, mTarget;
    TPoint mSitOffset;
    bool mDrinking = false, mLeaningIn = false, mSmiling = false, mPreFoodShown = false;
    bool mFlipped = false, mTargetFlipped = false;
    bool mHoldingBaby = false, mCameWithBaby = false;
    float mTurnX = 0;
    bool mRollover = false;
    bool mStanding = true;
    int mHalfHeight = 0;
    str mLastAnimation;  // the body function last started (also without art)
    std::shared_ptr<TTexture> mBubble;
    std::array<std::shared_ptr<TTexture>, 5> mThoughtIcons;
    TAnimation mBaby;
    std::shared_ptr<TTexture> mTeleport;
    TCustomer* mLeadPartner = nullptr;  // not owned
    TCustomer* mFollower = nullptr;     // not owned
    std::array<std::array<int, kSparkles>, 3> mSparkles{};
    std::minstd_rand mCosmetic;
};
