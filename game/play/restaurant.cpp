#include "game/play/restaurant.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/drawtypes.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/sound/sound.h"
#include "game/floor/floorart.h"
#include "game/settings/levelnumbers.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMusicType = 1001, kAmbientType = 1002;
constexpr float kPi = 3.1415927f;
constexpr float kCometPeriod = 30.0f;
constexpr int kScreenWidth = 800, kScreenHeight = 600;

// The smallest box of the image holding every pixel that is not fully
// opaque; empty when there is none. A texture whose pixels cannot be read
// counts as see-through everywhere.
TRect SeeThroughBox(TTexture& image)
{
    const unsigned char* pixels = nullptr;
    int width = 0, height = 0, pitch = 0;
    if (!image.GetData() || !image.GetData()->ReadPixels(&pixels, &width, &height, &pitch))
        return {0, 0, image.GetWidth(), image.GetHeight()};
    width = std::min(width, image.GetWidth());
    height = std::min(height, image.GetHeight());
    TRect box{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = pixels + std::size_t(y) * std::size_t(pitch);
        for (int x = 0; x < width; ++x)
            if (row[x * 4 + 3] != 255) {
                box = {std::min(box.x1, x), std::min(box.y1, y), std::max(box.x2, x + 1), std::max(box.y2, y + 1)};
            }
    }
    return box.IsEmpty() ? TRect{} : box;
}

struct TMusicDef {
    int sets, piecesA, piecesB;
};
// By restaurant index 0-5: how many music sets, and pieces in set "a" and "b".
constexpr TMusicDef kMusicDefs[6] = {{1, 6, 1}, {1, 5, 1}, {1, 5, 1}, {1, 5, 1}, {1, 5, 1}, {1, 5, 1}};

struct TFishDef {
    float startX, y, leftBound, speed;
    int rank;
};
constexpr TFishDef kFishDefs[TRestaurant::kFish] = {
    {800, 15, -200, -35, 0}, {900, 20, -700, -13, 1}, {1050, 35, -900, -30, 3},
    {1200, 25, -300, -20, 4}, {1000, 40, -100, -25, 2}, {850, 30, -100, -10, 5}};

// Per second: how far the layer seen through the windows scrolls left.
constexpr float kAmbientSpeed[6] = {10, 50, 10, 10, 5, 0};

int Rand()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Rand() : 0;
}

std::unique_ptr<TAnimation> LoadAnim(const str& name)
{
    auto anim = std::make_unique<TAnimation>();
    floorart::InitGameAnimation(*anim, name);
    return anim;
}

bool HasImage(const std::unique_ptr<TAnimation>& anim) { return anim && anim->GetAnimatedTexture(); }

int Width(const std::shared_ptr<TTexture>& t) { return t ? t->GetWidth() : 0; }

}  // namespace

void TMusicCallBack::OnComplete(std::shared_ptr<TSound>, int, std::shared_ptr<TSound> nextSound, int nextStreamId)
{
    mRestaurant->MusicPieceStarted(std::move(nextSound), nextStreamId);
}

TRestaurant::TRestaurant() : mMusicCallBack(std::make_unique<TMusicCallBack>(this))
{
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::Publish(script->GetState(), "PauseMusic", "TRestaurant", this, mLifeline,
                         qm::lua::Method<&TRestaurant::PauseMusic>);
}

TRestaurant::~TRestaurant()
{
    mLifeline.Cut();
    if (mMusic) {
        mMusic->DetachCallBack(mMusicStream, mMusicCallBack.get());
        mMusic->Kill(-1);
    }
    if (mAmbientSound)
        mAmbientSound->Kill(-1);
}

str TRestaurant::Folder() const { return str::getFormatted("restaurants/%s/", Name().c_str()); }

str TRestaurant::Name() const { return game::RestaurantName(mRestaurant); }

int TRestaurant::PieceCount() const
{
    const TMusicDef& def = kMusicDefs[mRestaurant];
    return mMusicSet == 0 ? def.piecesA : def.piecesB;
}

str TRestaurant::MusicPath(int piece) const
{
    const str name = Name();
    return str::getFormatted("audio/music/%s/%s_music_%c%d.ogg", name.c_str(), name.c_str(),
                             mMusicSet == 0 ? 'a' : 'b', piece);
}

void TRestaurant::Initialize()
{
    // Read as the level is set up: the restaurant, and the decor picked in it.
    TSettings* settings = TSettings::GetInstance();
    mRestaurant = std::clamp(settings ? settings->GetCurrentRestaurant() : 0, 0, 5);
    mMusicSet = Rand() % kMusicDefs[mRestaurant].sets;
    mMusicPieces.clear();
    for (int piece = 1; piece <= PieceCount(); ++piece)
        mMusicPieces.push_back(TSound::GetStreamed(MusicPath(piece).c_str(), kMusicType));

    mGlowTimer = 0;
    mBackground.reset();
    LoadAssets();
    mAmbientX = mBob = 0;
    // A restaurant never shows what an earlier one left behind.
    ClearScenery();
    LoadScenery();

    mUpgrades.Clear();
    game::ReadConfigDocument(str::getFormatted("assets/%supgrades/upgrades.xml", Folder().c_str()), &mUpgrades, nullptr,
                             "the restaurant has no decor");
    mChairSlot = -1;
    if (TXmlNode* list = Sequence() ? Sequence()->GetChild("framelist") : nullptr) {
        list->ResetChildren();
        str name;
        TXmlNode* child = nullptr;
        while (list->GetNextChild(&name, &child))
            mChairSlot = std::max(mChairSlot, child->GetAttribute("name").to_int());
    }
    ReadRegistration();
    mChairUpgrade = 0;
    for (int slot = 0; slot < kDecorSlots; ++slot) {
        TDecor& decor = mDecor[std::size_t(slot)];
        decor = TDecor{};
        mPicked[std::size_t(slot)] = settings && settings->IsDecorUpgradeSelected(slot);
        if (mPicked[std::size_t(slot)]) {
            if (slot == mChairSlot)
                mChairUpgrade = 1;
            else
                EnableUpgrade(slot, 0);
        }
    }
    if (mRestaurant == kBeach)
        mChairUpgrade = 3;
    MarkCurrentUpgrades();
}

void TRestaurant::LoadAssets()
{
    const str folder = Folder();
    mBackground = TTexture::GetMerged(folder + "background", folder + "mask", 0);
    if (!mBackground)
        mBackground = TTexture::Get(folder + "background", 0);
    mAmbient = TTexture::Get(folder + "ambient", 0);
    mSeeThrough = mBackground ? SeeThroughBox(*mBackground) : TRect{};
}

void TRestaurant::ReleaseAssets()
{
    mBackground.reset();
    mAmbient.reset();
}

void TRestaurant::ClearScenery()
{
    mIslands = {};
    mFirstIsland = 0;
    mSecondIsland = -1;
    mShip.reset();
    for (auto& fish : mFishAnims)
        fish.reset();
    mPlanets = {};
    mPlanet = 0;
    mComet.reset();
    mCometTimer = 0;
    mTubeGlowOn = false;
    mTubeGlow = 0;
    mTubeGlowTexture.reset();
    mForeground.reset();
    mNight.reset();
    mWave.reset();
    mWaveBackground.reset();
}

void TRestaurant::LoadScenery()
{
    const str folder = Folder();
    switch (mRestaurant) {
    case kCruise:
        for (int i = 0; i < kIslands; ++i)
            mIslands[std::size_t(i)] = TTexture::Get(str::getFormatted("%sextra/island_%c", folder.c_str(), 'a' + i), 0);
        mFirstIsland = Rand() % kIslands;
        mIslandPos[0] = {500, 0};
        mSecondIsland = Rand() % kIslands;
        if (mSecondIsland == mFirstIsland)
            mSecondIsland = -1;
        else
            mIslandPos[1] = {500 + float(Width(mIslands[std::size_t(mFirstIsland)]) + Rand() % 300 + 100), 0};
        break;
    case kTrain:
    case kBlimp:
        mForeground = TTexture::Get(str::getFormatted("%sextra/ambient_foreground.png", folder.c_str()), 0);
        mForegroundPos = {0, mRestaurant == kTrain ? 47.0f : 0.0f};
        break;
    case kSub:
        mShip = TTexture::Get(folder + "extra/ship", 0);
        mShipPos = {1600, 0};
        for (int i = 0; i < kFish; ++i) {
            mFishAnims[std::size_t(i)] = LoadAnim(str::getFormatted("%sextra/fish%d.anm", folder.c_str(), i + 1));
            mFishAnims[std::size_t(i)]->Play("DoAnim", false);
            mFishPos[std::size_t(i)] = {kFishDefs[i].startX, kFishDefs[i].y};
            mFishFast[std::size_t(i)] = Rand() % 2 == 0;
        }
        break;
    case kSpaceship:
        for (int i = 0; i < kPlanets; ++i)
            mPlanets[std::size_t(i)] = TTexture::Get(str::getFormatted("%sextra/planet%d", folder.c_str(), i + 1), 0);
        mPlanet = Rand() % kPlanets;
        mPlanetPos = {800, 0};
        if (mPlanet == kPlanets - 1)
            ++mFifthPlanetCount;
        mComet = LoadAnim(str::getFormatted("%sextra/comet.anm", folder.c_str()));
        if (auto art = mComet->GetAnimatedTexture()) {
            int x = 0, y = 0;
            art->GetRegistrationPoint(&x, &y);
            mCometPos = {float(x), float(y)};
            mCometTimer = kCometPeriod;
        }
        mTubeGlowTexture = TTexture::Get(folder + "extra/tubeglow", 0);
        break;
    case kBeach:
        mWaveBackground = TTexture::Get(folder + "extra/wave_bg", 0);
        mWave = LoadAnim(folder + "extra/wave");
        mWave->Play("DoAnim", false);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- music

std::shared_ptr<TSound> TRestaurant::GetNextMusicPiece()
{
    const int count = std::max(PieceCount(), 1);
    return TSound::GetStreamed(MusicPath(Rand() % count + 1).c_str(), kMusicType);
}

void TRestaurant::StartMusic()
{
    if (mMusic) {
        mMusic->DetachCallBack(mMusicStream, mMusicCallBack.get());
        mMusic->Kill(-1);
    }
    if (mAmbientSound)
        mAmbientSound->Kill(-1);
    const str name = Name();
    mAmbientSound = TSound::Get(str::getFormatted("audio/ambient/%s_ambient.ogg", name.c_str()).c_str(), false,
                                kAmbientType);
    if (mAmbientSound)
        mAmbientSound->Play(true);
    mMusic = TSound::GetStreamed(
        str::getFormatted("audio/music/%s/%s_music_intro.ogg", name.c_str(), name.c_str()).c_str(), kMusicType);
    if (!mMusic)
        mMusic = GetNextMusicPiece();
    if (!mMusic)
        return;
    mMusicStream = mMusic->Play(false);
    mMusic->SetCompleteAction(mMusicStream, mMusicCallBack.get(), GetNextMusicPiece());
}

void TRestaurant::MusicPieceStarted(std::shared_ptr<TSound> sound, int streamId)
{
    mMusic = std::move(sound);
    mMusicStream = streamId;
    if (mMusic)
        mMusic->SetCompleteAction(mMusicStream, mMusicCallBack.get(), GetNextMusicPiece());
}

void TRestaurant::PauseMusic(bool pause)
{
    if (mMusic)
        mMusic->Pause(pause, -1);
    if (mAmbientSound)
        mAmbientSound->Pause(pause, -1);
}

// ---------------------------------------------------------------- scenery

void TRestaurant::Update(float dt)
{
    mGlowTimer += dt;
    mFadeTimer += dt;
    if (const int width = Width(mAmbient)) {
        mAmbientX -= kAmbientSpeed[mRestaurant] * dt;
        if (mAmbientX < -float(width))
            mAmbientX += float(width);
        if (mRestaurant == kTrain)
            mBob = std::sin(8 * kPi * mAmbientX / float(width));
        else if (mRestaurant == kBlimp)
            mBob = -std::fabs(5 * std::sin(4 * kPi * mAmbientX / float(width)));
    }
    if (const int width = Width(mForeground)) {
        mForegroundPos.x -= (mRestaurant == kTrain ? 70.0f : 25.0f) * dt;
        if (mForegroundPos.x < -float(width))
            mForegroundPos.x += float(width);
        mForegroundPos.y = (mRestaurant == kTrain ? 47.0f : 0.0f) + mBob;
    }
    UpdateScenery(dt);
}

void TRestaurant::UpdateScenery(float dt)
{
    switch (mRestaurant) {
    case kCruise: UpdateIslands(dt); break;
    case kSub: UpdateFish(dt); break;
    case kSpaceship: UpdatePlanets(dt); break;
    default: break;
    }
}

void TRestaurant::PlaceNewIslands(float firstX)
{
    mFirstIsland = Rand() % kIslands;
    mIslandPos[0] = {firstX, 0};
    mSecondIsland = Rand() % kIslands;
    if (mSecondIsland == mFirstIsland)
        mSecondIsland = -1;
    else if (mIslands[std::size_t(mFirstIsland)])
        mIslandPos[1] = {firstX + float(Width(mIslands[std::size_t(mFirstIsland)]) + Rand() % 300 + 100), 0};
}

void TRestaurant::UpdateIslands(float dt)
{
    const float step = 10 * dt;
    bool secondMoved = false;
    if (mFirstIsland >= 0)
        mIslandPos[0].x -= step;
    if (mSecondIsland >= 0 && mIslands[std::size_t(mSecondIsland)]) {
        mIslandPos[1].x -= step;
        secondMoved = true;
    }
    int deciding = -1;
    if (secondMoved)
        deciding = 1;
    else if (mFirstIsland >= 0 && mIslands[std::size_t(mFirstIsland)])
        deciding = 0;
    if (deciding < 0)
        return;
    const int island = deciding == 1 ? mSecondIsland : mFirstIsland;
    if (mIslandPos[std::size_t(deciding)].x < -float(Width(mIslands[std::size_t(island)])))
        PlaceNewIslands(800);
}

void TRestaurant::UpdateFish(float dt)
{
    mShipPos.x -= 10 * dt;
    if (mShipPos.x < -800)
        mShipPos.x = 1600;
    for (int i = 0; i < kFish; ++i) {
        auto& anim = mFishAnims[std::size_t(i)];
        if (!HasImage(anim))
            continue;
        TVec2& pos = mFishPos[std::size_t(i)];
        pos.x += kFishDefs[i].speed * dt * (mFishFast[std::size_t(i)] ? 3.0f : 1.0f);
        if (pos.x < kFishDefs[i].leftBound) {
            pos.x = 800 + float(anim->GetAnimatedTexture()->GetWidth());
            mFishFast[std::size_t(i)] = Rand() % 2 == 0;
        }
    }
}

void TRestaurant::UpdatePlanets(float dt)
{
    mPlanetPos.x -= 15 * dt;
    const auto& planet = mPlanets[std::size_t(mPlanet)];
    if (planet && mPlanetPos.x < -float(planet->GetWidth())) {
        mPlanetPos.x = 800;
        const int n = mFifthPlanetCount < 2 ? 5 : 4;
        int r = Rand() % n;
        if (r == mPlanet && ++r == n)
            r = 0;
        mPlanet = r;
    }
    mCometTimer -= dt;
    if (mCometTimer < 0 && mComet) {
        mCometPos.x = float(Rand() % 400 + 100);
        mComet->Play("DoAnim", false);
        mCometTimer = kCometPeriod;
    }
    if (mTubeGlowOn) {
        mTubeGlow -= dt;
        if (mTubeGlow < 0)
            mTubeGlowOn = false;
    }
}

void TRestaurant::EnableFlashlightMode(bool on)
{
    if (mRestaurant != kBlimp && mRestaurant != kTrain)
        return;
    if (on)
        mNight = TTexture::Get(Folder() + "extra/ambient_nighttime", 0);
    else
        mNight.reset();
}

void TRestaurant::TriggerTubeGlow()
{
    mTubeGlowOn = true;
    mTubeGlow = 1;
}

// ---------------------------------------------------------------- drawing

void TRestaurant::DrawLayer(const std::shared_ptr<TTexture>& layer, float x, float y) const
{
    if (!layer)
        return;
    const float width = float(layer->GetWidth());
    const TVec2 origin(0, 0);
    layer->DrawSprite(TVec2(x, y), 1.0f, 1.0f, 1.0f, 0.0f, &origin, nullptr, 0, nullptr);
    layer->DrawSprite(TVec2(x + width, y), 1.0f, 1.0f, 1.0f, 0.0f, &origin, nullptr, 0, nullptr);
    if (x + 2 * width < 800)
        layer->DrawSprite(TVec2(x + 2 * width, y), 1.0f, 1.0f, 1.0f, 0.0f, &origin, nullptr, 0, nullptr);
}

void TRestaurant::Draw(bool flag)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return;
    // Inside a caller's 2D pass or in one of its own.
    const bool ownPass = !platform->In2d();
    mDrewFromRoom = RoomFromCache(flag);
    if (ownPass && !platform->Begin2d())
        return;
    if (mDrewFromRoom) {
        DrawComposedRoom();
        // Behind the windows the scenery moves: that part is drawn as before,
        // held to the see-through box.
        if (!mSeeThrough.IsEmpty()) {
            TRect viewport;
            platform->GetViewport(&viewport);
            const TRect bounds{viewport.x1 + mSeeThrough.x1, viewport.y1 + mSeeThrough.y1,
                               viewport.x1 + mSeeThrough.x2, viewport.y1 + mSeeThrough.y2};
            platform->SetDrawBounds(&bounds);
            DrawBehindLayers();
            DrawBackdropAndDecor(flag);
            platform->SetDrawBounds(nullptr);
        }
    } else {
        DrawBehindBackdrop();
        DrawBackdropAndDecor(flag);
    }
    if (ownPass)
        platform->End2d();
}

void TRestaurant::DrawBackdropAndDecor(bool flag)
{
    const TVec2 origin(0, 0);
    if (mBackground)
        mBackground->DrawSprite(400, 300, 1.0f, 1.0f, 0.0f, 0);
    if (mRestaurant == kSpaceship && mTubeGlowOn && mTubeGlowTexture) {
        const float alpha = mTubeGlow <= 0.5f ? 2 * mTubeGlow : 2 - 2 * mTubeGlow;
        mTubeGlowTexture->DrawSprite(TVec2(0, 0), alpha, 1.0f, 0.0f, &origin, 0);
    }
    DrawDecor(flag);
}

bool TRestaurant::BackdropCoversScreen() const
{
    return mBackground && mBackground->GetWidth() == kScreenWidth && mBackground->GetHeight() == kScreenHeight;
}

std::vector<TRestaurant::TRoomLayer> TRestaurant::StillLayers() const
{
    std::vector<TRoomLayer> layers{{mBackground, {400, 300}}};
    for (const TDecor& decor : mDecor)
        if (const auto& image = decor.images[0])
            layers.push_back({image, DecorCentre(decor, 0)});
    return layers;
}

bool TRestaurant::RoomFromCache(bool flag)
{
    TPlatform* platform = TPlatform::GetInstance();
    // The composition holds the room as it looks outside the decor choice
    // and without the tube's glow (drawn between the backdrop and decor).
    const bool still = !flag && !mUpgradeMode && !(mRestaurant == kSpaceship && mTubeGlowOn && mTubeGlowTexture);
    if (!mRoomCaching || !still || !BackdropCoversScreen() || !platform->GetDisplayHandler())
        return false;
    // A handler that could not compose these layers is not asked again
    // every frame: only once they change.
    if (mRoomLayers == StillLayers())
        return mRoom != nullptr;
    return ComposeRoom();
}

bool TRestaurant::ComposeRoom()
{
    TPlatform* platform = TPlatform::GetInstance();
    mRoomLayers = StillLayers();
    // A new picture each time: it starts as the frame does, cleared to nothing.
    mRoom = TTexture::CreateRenderTargetTexture(kScreenWidth, kScreenHeight);
    if (!mRoom || !platform->BeginRenderTarget(mRoom)) {
        mRoom.reset();
        return false;
    }
    const bool ownPass = !platform->In2d();
    if (ownPass)
        platform->Begin2d();
    // Drawn as the screen draws it: the backdrop's top left on the screen's.
    platform->PushViewport(0, 0, kScreenWidth, kScreenHeight);
    platform->SetBlendMode(kBlendAlpha);
    platform->SetFilteringMode(kFilterLinear);
    DrawBackdropAndDecor(false);
    platform->PopViewport();
    if (ownPass)
        platform->End2d();
    platform->EndRenderTarget();
    ++mRoomCompositions;
    return true;
}

void TRestaurant::DrawComposedRoom()
{
    TPlatform* platform = TPlatform::GetInstance();
    TRect viewport;
    platform->GetViewport(&viewport);
    // Placed as the backdrop is, its top left on the viewport's; copied as
    // it is (DrawFast), nothing blended.
    auto copy = [&](const TRect& part) {
        if (!part.IsEmpty())
            mRoom->DrawFast(viewport.x1 + part.x1, viewport.y1 + part.y1, &part);
    };
    // Every pixel but the see-through box's: above, below, left and right of it.
    const TRect& box = mSeeThrough;
    if (box.IsEmpty()) {
        copy({0, 0, kScreenWidth, kScreenHeight});
    } else {
        copy({0, 0, kScreenWidth, box.y1});
        copy({0, box.y2, kScreenWidth, kScreenHeight});
        copy({0, box.y1, box.x1, box.y2});
        copy({box.x2, box.y1, kScreenWidth, box.y2});
    }
}

void TRestaurant::DrawBehindBackdrop()
{
    TPlatform* platform = TPlatform::GetInstance();
    // A backdrop of the screen's size covers the whole viewport it is drawn
    // in (its top left on the viewport's); what it covers opaquely would be
    // drawn over at once, so only its see-through part is drawn behind it.
    const bool covers = BackdropCoversScreen();
    if (covers) {
        TRect viewport;
        platform->GetViewport(&viewport);
        const TRect bounds{viewport.x1 + mSeeThrough.x1, viewport.y1 + mSeeThrough.y1, viewport.x1 + mSeeThrough.x2,
                           viewport.y1 + mSeeThrough.y2};
        platform->SetDrawBounds(&bounds);
    }
    DrawBehindLayers();
    if (covers)
        platform->SetDrawBounds(nullptr);
}

void TRestaurant::DrawBehindLayers()
{
    const TVec2 origin(0, 0);
    DrawLayer(mAmbient, mAmbientX, mBob);
    DrawLayer(mForeground, mForegroundPos.x, mForegroundPos.y);
    if (mNight && mNight->GetWidth() > 0 && mNight->GetHeight() > 0)
        mNight->DrawSprite(TVec2(0, 0), 1.0f, 800.0f / float(mNight->GetWidth()), 150.0f / float(mNight->GetHeight()),
                           0.0f, &origin, nullptr, 0, nullptr);
    DrawScenery();
}

void TRestaurant::DrawScenery()
{
    const TVec2 origin(0, 0);
    auto topLeft = [&](const std::shared_ptr<TTexture>& t, TVec2 at) {
        if (t)
            t->DrawSprite(at, 1.0f, 1.0f, 0.0f, &origin, 0);
    };
    switch (mRestaurant) {
    case kCruise:
        if (mFirstIsland >= 0)
            topLeft(mIslands[std::size_t(mFirstIsland)], mIslandPos[0]);
        if (mSecondIsland >= 0)
            topLeft(mIslands[std::size_t(mSecondIsland)], mIslandPos[1]);
        break;
    case kSub:
        topLeft(mShip, mShipPos);
        for (int rank = 0; rank < kFish; ++rank) {
            int row = 0;
            for (int i = 0; i < kFish; ++i)
                if (kFishDefs[i].rank == rank) {
                    row = i;
                    break;
                }
            if (HasImage(mFishAnims[std::size_t(row)]))
                mFishAnims[std::size_t(row)]->Draw(mFishPos[std::size_t(row)].x, mFishPos[std::size_t(row)].y, 1.0f,
                                                   1.0f, 0.0f, mFishFast[std::size_t(row)] ? 0 : 1);
        }
        break;
    case kSpaceship:
        topLeft(mPlanets[std::size_t(mPlanet)], mPlanetPos);
        if (mComet && mComet->IsPlaying())
            mComet->Draw(mCometPos.x, mCometPos.y, 1.0f, 1.0f, 0.0f, 0);
        break;
    case kBeach:
        topLeft(mWaveBackground, {0, 0});
        if (HasImage(mWave)) {
            int x = 0, y = 0;
            mWave->GetAnimatedTexture()->GetRegistrationPoint(&x, &y);
            mWave->Draw(float(x), float(y), 1.0f, 1.0f, 0.0f, 0);
        }
        break;
    default: break;
    }
}
