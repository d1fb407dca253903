// TEntertainer plays music to the tables: groups of notes (TNote) fly from
// it to every table, and each group that arrives cheers the seated party by
// one heart. A radio (kind 0) or stereo (kind 1) is switched on by the
// waitress walking to it and then needs the interval to pass before another
// visit counts; a performer (kind 2), called by phone or kept by an endless
// upgrade, sends notes by himself at every interval.
#pragma once

#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/floor/station.h"

#include <array>
#include <list>
#include <memory>
#include <vector>

class TEatingStation;
class TTexture;
class TXmlNode;

// One group of six notes flying along a straight, wobbling path to a table.
class TNote {
public:
    static constexpr int kNotes = 6;

    TNote(TEatingStation* table, TVec2 origin);
    // Moves the alive notes by step pixels; false when none moved (arrived).
    bool Move(float step);
    void Draw(const std::array<std::shared_ptr<TTexture>, kNotes>& pictures) const;

    TEatingStation* Table() const { return mTable; }
    bool IsAlive(int i) const { return mAlive[std::size_t(i)]; }
    float Scale(int i) const { return mScale[std::size_t(i)]; }
    float Alpha(int i) const { return mAlpha[std::size_t(i)]; }
    float Distance() const { return mDistance; }

private:
    TEatingStation* mTable;  // not owned
    std::array<float, kNotes> mX{}, mY{}, mDrawnX{}, mDrawnY{};
    bool mFlipped = false;
    float mAngle = 0, mDirY = 0, mDirX = 0, mDistance = 0;
    TVec2 mTarget;
    std::array<float, kNotes> mScale{}, mAlpha{};
    std::array<bool, kNotes> mAlive{};
};

class TEntertainer : public IStation {
public:
    enum EKind { kRadio = 0, kStereo = 1, kPerformer = 2 };

    // `globals`: the level's globals (`entertainerTime`, seconds; 5 without).
    explicit TEntertainer(TXmlNode* globals);
    ~TEntertainer() override;

    void SetTables(const std::vector<TEatingStation*>& tables) { mTables = tables; }
    void Reset();
    void EnableEntertainer(int kind, float interval);
    void Activate(float seconds);
    // The current restaurant has a performer to call.
    bool Available() const;
    // A second performer sings beside the first (the blimp's karaoke).
    bool HasSecondPerformer() const { return mSecondPerformer.GetAnimatedTexture() != nullptr; }
    void SetPositions();

    TPoint GetStandingSpot() override;
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;

    void LaunchNotes(const std::vector<TEatingStation*>& tables);
    void Update(float dt);
    void Draw();
    void DrawNotes();

    bool IsOn() const { return mOn; }
    int Kind() const { return mKind; }
    float Interval() const { return mInterval; }
    float TimeLeft() const { return mTimeLeft; }
    const std::list<TNote>& Notes() const { return mNotes; }
    const TAnimation& Performer() const { return mPerformer; }
    TVec2 StationPoint() const { return mStation; }
    bool IsPoofPlaying() const { return mPoof.IsPlaying(); }

private:
    const std::shared_ptr<TTexture>& Furniture() const;
    void PlayPoof(TVec2 at);

    bool mOn = false, mStarted = false;
    int mKind = kPerformer;
    float mInterval = 5, mDefaultInterval = 5, mIntervalTimer = 0, mTimeLeft = 0;
    bool mPermanent = false;
    std::list<TNote> mNotes;
    std::vector<TEatingStation*> mTables;  // not owned
    TAnimation mPerformer, mSecondPerformer;
    std::shared_ptr<TTexture> mStereo, mRadio, mKaraoke;
    std::array<std::shared_ptr<TTexture>, TNote::kNotes> mNotePictures;
    TVec2 mStation, mSecond, mOrigin;
    TAnimation mPoof;
    TVec2 mPoofPosition;
};
