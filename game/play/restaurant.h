// TRestaurant: the current restaurant behind the floor. Its backdrop and the
// layer seen through its windows, the moving scenery (islands, fish and a
// ship, planets and a comet, the train's and blimp's foreground), the decor
// the player has picked and the choice of the next one, the night overlay,
// and the restaurant's ambient bed and music: an intro, then random pieces of
// the restaurant's set chained one to the next without end (TMusicCallBack).
#pragma once

#include "engine/base/lifeline.h"
#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/base/xml.h"
#include "engine/script/animation.h"
#include "engine/sound/soundcallback.h"

#include <array>
#include <memory>
#include <vector>

class IStation;
class TRestaurant;
class TSound;
class TTexture;

class TMusicCallBack : public TSoundCallBack {
public:
    explicit TMusicCallBack(TRestaurant* restaurant) : mRestaurant(restaurant) {}
    void OnComplete(std::shared_ptr<TSound> sound, int streamId, std::shared_ptr<TSound> nextSound,
                    int nextStreamId) override;

private:
    TRestaurant* mRestaurant;  // the owner
};

class TRestaurant {
public:
    static constexpr int kDecorSlots = 10;
    static constexpr int kIslands = 5, kFish = 6, kPlanets = 5;
    enum ERestaurant { kCruise = 0, kTrain = 1, kSub = 2, kBlimp = 3, kSpaceship = 4, kBeach = 5 };

    TRestaurant();
    ~TRestaurant();
    TRestaurant(const TRestaurant&) = delete;
    TRestaurant& operator=(const TRestaurant&) = delete;

    void Initialize();
    void LoadAssets();
    void ReleaseAssets();

    void StartMusic();
    void PauseMusic(bool pause);
    std::shared_ptr<TSound> GetNextMusicPiece();
    // What the call-back chains: the piece now playing, and the next after it.
    void MusicPieceStarted(std::shared_ptr<TSound> sound, int streamId);

    void Update(float dt);
    void Draw(bool flag);
    // The pass after everything on the floor, outside the turbulence shake;
    // no room draws anything in it.
    void DrawOverlay() {}

    // ---- decor
    void EnableUpgrade(int slot, int variant);
    int EnableSelectedUpgrade();
    void MarkCurrentUpgrades();
    bool HasUpgradesAvailable() const;
    void EnterUpgradeMode();
    void LeaveUpgradeMode();
    void FadeOutUpgradeMode();
    int PointToUpgrade(const TPoint& point, const std::vector<IStation*>& tables);
    int SetSelection(const TPoint& point, const std::vector<IStation*>& tables);
    int UpdateCurrentRollover(const TPoint& point, const std::vector<IStation*>& tables);
    float FadeAlpha(int slot) const;
    float GlowAlpha(int slot) const;
    float HighlightChairs() const;
    float ChairGlowAlpha() const;

    void EnableFlashlightMode(bool on);
    void TriggerTubeGlow();

    // ---- what tests and the editor read
    int Restaurant() const { return mRestaurant; }
    bool HasBackdrop() const { return mBackground != nullptr; }
    int ChairUpgradeLevel() const { return mChairUpgrade; }
    int ChairSlot() const { return mChairSlot; }
    bool HasDecorImage(int slot) const;
    bool HasOptionImage(int slot) const;
    int Selection() const { return mSelection; }
    int Rollover() const { return mRollover; }
    float AmbientScroll() const { return mAmbientX; }
    int SecondIsland() const { return mSecondIsland; }
    TVec2 IslandPosition(int which) const { return mIslandPos[std::size_t(which)]; }
    TVec2 FishPosition(int fish) const { return mFishPos[std::size_t(fish)]; }
    TVec2 ShipPosition() const { return mShipPos; }
    TVec2 PlanetPosition() const { return mPlanetPos; }
    float CometTimer() const { return mCometTimer; }
    TVec2 ForegroundPosition() const { return mForegroundPos; }
    bool IsTubeGlowOn() const { return mTubeGlowOn; }
    bool HasNightOverlay() const { return mNight != nullptr; }
    // Whether the backdrop and the decor were last drawn from the composed
    // room (see Draw); how many times the room has been composed.
    bool DrewFromRoomCache() const { return mDrewFromRoom; }
    int RoomCompositions() const { return mRoomCompositions; }
    // Tests turn the composed room off to draw the reference picture.
    void SetRoomCaching(bool on) { mRoomCaching = on; }
    int PieceCount() const;
    const std::shared_ptr<TSound>& CurrentMusic() const { return mMusic; }
    const std::shared_ptr<TSound>& Ambient() const { return mAmbientSound; }

private:
    struct TDecor {
        std::array<std::shared_ptr<TTexture>, 3> images;  // decor, option 1, option 2
        std::array<TVec2, 3> positions;
        int marked = -1, selected = -1;
        std::vector<unsigned char> mask;  // alpha bytes of option 1
        int maskWidth = 0, maskHeight = 0;
    };

    str Folder() const;
    str Name() const;
    str MusicPath(int piece) const;
    void ClearScenery();
    void LoadScenery();
    void UpdateScenery(float dt);
    void UpdateIslands(float dt);
    void UpdateFish(float dt);
    void UpdatePlanets(float dt);
    // One still layer of the room: an image and where it is drawn.
    struct TRoomLayer {
        std::shared_ptr<TTexture> image;  // held, so a new image never takes its address
        TVec2 at;
        bool operator==(const TRoomLayer& other) const
        {
            return image == other.image && at.x == other.at.x && at.y == other.at.y;
        }
    };
    // The backdrop and the decor as drawn outside the decor choice, in order.
    std::vector<TRoomLayer> StillLayers() const;
    // Whether this frame may draw the room from its composition, which is
    // made again first when its layers changed; false draws layer by layer.
    bool RoomFromCache(bool flag);
    bool ComposeRoom();
    void DrawBackdropAndDecor(bool flag);
    // The composed room copied as it is wherever the backdrop is opaque.
    void DrawComposedRoom();
    void DrawLayer(const std::shared_ptr<TTexture>& layer, float x, float y) const;
    void DrawScenery();
    // The layers behind the backdrop, drawn only where it lets them show.
    void DrawBehindBackdrop();
    void DrawBehindLayers();
    bool BackdropCoversScreen() const;
    void DrawDecor(bool flag);
    // Where the slot's image (decor, option 1 or 2) is centred.
    TVec2 DecorCentre(const TDecor& decor, int image) const;
    TXmlNode* Sequence() const;
    bool FramePosition(const str& imageName, TVec2* position) const;
    void ReadRegistration();
    bool LoadOption(int slot, int option);
    void PlaceNewIslands(float firstX);
    bool PausedClock();
    void RestoreClock(bool wasPaused);

    int mRestaurant = kCruise;
    // Which decor slots the player has picked: read from the settings as the
    // level is set up, and as the decor choice keeps one.
    std::array<bool, kDecorSlots> mPicked{};
    int mChairUpgrade = 0, mChairSlot = -1;
    std::shared_ptr<TTexture> mBackground, mAmbient;
    // Where the backdrop is not opaque (its own pixels): the layers behind it
    // show only there. Empty when it hides them all.
    TRect mSeeThrough;
    // The backdrop and decor composed into one screen-sized picture, drawn
    // each frame without blending in place of the layers it was made of
    // (they change only with the level and the decor); mRoomLayers says
    // which. The layers behind the backdrop move, so its see-through part
    // is still drawn layer by layer.
    std::shared_ptr<TTexture> mRoom;
    std::vector<TRoomLayer> mRoomLayers;
    bool mRoomCaching = true, mDrewFromRoom = false;
    int mRoomCompositions = 0;
    float mAmbientX = 0, mBob = 0;
    TXmlNode mUpgrades;
    TVec2 mSequenceReg;
    std::array<TDecor, kDecorSlots> mDecor;
    int mSelection = -1, mRollover = -1;
    bool mUpgradeMode = false, mFading = false;
    float mGlowTimer = 0, mFadeTimer = 0;

    std::array<std::shared_ptr<TTexture>, kIslands> mIslands;
    std::array<TVec2, 2> mIslandPos;
    int mFirstIsland = 0, mSecondIsland = -1;

    std::shared_ptr<TTexture> mShip;
    TVec2 mShipPos;
    std::array<std::unique_ptr<TAnimation>, kFish> mFishAnims;
    std::array<bool, kFish> mFishFast{};
    std::array<TVec2, kFish> mFishPos;

    std::array<std::shared_ptr<TTexture>, kPlanets> mPlanets;
    int mPlanet = 0, mFifthPlanetCount = 0;
    TVec2 mPlanetPos;
    std::unique_ptr<TAnimation> mComet;
    TVec2 mCometPos;
    float mCometTimer = 0;
    bool mTubeGlowOn = false;
    float mTubeGlow = 0;
    std::shared_ptr<TTexture> mTubeGlowTexture;

    std::shared_ptr<TTexture> mForeground;
    TVec2 mForegroundPos;
    std::shared_ptr<TTexture> mNight;
    std::unique_ptr<TAnimation> mWave;
    std::shared_ptr<TTexture> mWaveBackground;

    std::shared_ptr<TSound> mAmbientSound, mMusic;
    int mMusicStream = -1;
    std::unique_ptr<TMusicCallBack> mMusicCallBack;
    int mMusicSet = 0;
    std::vector<std::shared_ptr<TSound>> mMusicPieces;  // keeps the set's files at hand
    TLifeline mLifeline;  // last: cut before the rest goes
};
