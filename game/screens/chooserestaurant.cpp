#include "game/screens/chooserestaurant.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/button.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/showwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/cursor.h"
#include "game/screens/mapmarkers.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"
#include "game/settings/unlockmanager.h"

namespace {

constexpr int kLevelsPerRestaurant = 10;
constexpr int kBonusRestaurant = 5;
constexpr int kFirstBonusLevel = 50;

struct TRestaurantLayout {
    TPoint first, step, sparkle;
};
const TRestaurantLayout kLayout[TChooseRestaurant::kRestaurants] = {
    {{95, 305}, {27, -18}, {32, 26}},   {{445, 145}, {27, 18}, {408, 55}}, {{665, 350}, {-27, 18}, {489, 372}},
    {{360, 510}, {-27, -18}, {4, 433}}, {{397, 303}, {0, -22}, {430, 50}}, {{0, 0}, {0, 0}, {458, 308}},
};
const TPoint kBonusPositions[5] = {{530, 260}, {548, 288}, {558, 322}, {558, 357}, {540, 389}};
const char kButtonPrefix[] = "levelbutton";

TSettings& Settings() { return *TSettings::GetInstance(); }
bool Career() { return Settings().GetCurrentGameModeInt() == 0; }

using qm::lua::Method;
const qm::lua::TBinding kLuaFunctions[] = {
    {"SetupGame", Method<&TChooseRestaurant::SetupGame>},
    {"FlashRestaurant", Method<&TChooseRestaurant::FlashRestaurant>},
    {"ReleaseMapAssets", Method<&TChooseRestaurant::ReleaseMapAssets>},
};

// The map's own markers ("levelbutton%d", "lockedbutton%d") are made by
// its code; these the script builds.
constexpr auto kEndlessshift = contract::Child<TWindow>("endlessshift");
constexpr auto kEndlessinfo = contract::Child<TWindow>("endlessinfo");
constexpr auto kQuessascareer = contract::Child<TWindow>("quessascareer");
constexpr auto kCareerinfo = contract::Child<TWindow>("careerinfo");
constexpr auto kPlay = contract::Child<TWindow>("play");
constexpr auto kBestscoreimage = contract::Child<TWindow>("bestscoreimage");
constexpr auto kBestscore = contract::Child<TText>("bestscore");
constexpr auto kLockedlevels = contract::Child<TWindow>("lockedlevels");
const contract::TChildSpec kMapChildren[] = {
    kEndlessshift,
    kEndlessinfo,
    kQuessascareer,
    kCareerinfo,
    kPlay,
    kBestscoreimage,
    kBestscore,
    kLockedlevels,
};

}  // namespace

const contract::TScreenSpec TChooseRestaurant::kContract{"TChooseRestaurant", "ChooseRestaurant",
                                                         "scripts/chooserestaurant.lua", kLuaFunctions, kMapChildren};

TChooseRestaurant::TChooseRestaurant()
{
    for (int i = 0; i < kRestaurants; ++i) {
        const int k = i + 1;
        TRestaurant& r = mRestaurants[i];
        r.sparkle = TTexture::Get(str::getFormatted("map/restaurantsparkle_%d", k));
        r.animation.Init(str::getFormatted("map/rest%d", k), "", "");
        if (auto texture = r.animation.GetAnimatedTexture()) {
            int x = 0, y = 0;
            texture->GetRegistrationPoint(&x, &y);
            r.position = TVec2{static_cast<float>(x), static_cast<float>(y)};
        }
        r.overlay = TTexture::Get(str::getFormatted("map/overlay%d", k));
        r.overlayPosition = k == 2 ? TVec2{339, 7} : TVec2{264, 243};
    }
    PublishFunctions();
    TSettings& settings = Settings();
    const int newest = settings.GetNumUnlockedLevels() - 1;
    if (newest > 0) {
        int restaurant = 0, level = 0;
        TSettings::LevelToRestaurantAndLevel(newest, &restaurant, &level);
        settings.SetCurrentRestaurant(restaurant);
        settings.SetCurrentLevel(level);
    }
    mFlashSound = TSound::Get("audio/sfx/upgrade_flash.ogg", false, TSoundManager::kEffects);
}

TChooseRestaurant::~TChooseRestaurant() = default;

TPoint TChooseRestaurant::LevelPosition(int n)
{
    const int restaurant = n / kLevelsPerRestaurant;
    const int level = n % kLevelsPerRestaurant;
    if (restaurant == kBonusRestaurant)
        return level < 5 ? kBonusPositions[level] : TPoint{};
    const TRestaurantLayout& layout = kLayout[restaurant];
    return {layout.first.x + level * layout.step.x, layout.first.y + level * layout.step.y};
}

void TChooseRestaurant::PostChildrenInit()
{
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    const bool career = Career();
    const contract::TChildSpec endlessOnly[] = {kEndlessshift, kEndlessinfo};
    const contract::TChildSpec careerOnly[] = {kQuessascareer, kCareerinfo, kPlay, kBestscoreimage, kBestscore};
    for (const contract::TChildSpec& child : endlessOnly)
        screens::ShowChild(this, child, !career);
    for (const contract::TChildSpec& child : careerOnly)
        screens::ShowChild(this, child, career);
    TUnlockManager* unlocks = TUnlockManager::GetInstance();
    ShowWindow(Child(kLockedlevels), career && unlocks && unlocks->IsAnyLevelUnlocked());
    CreateButtons();
    TPlatform* platform = TPlatform::GetInstance();
    mLastTime = platform ? platform->Timer() : 0;
    StartWindowAnimation(20, true, true, false);
}

void TChooseRestaurant::CreateButtons()
{
    if (!Career())
        return;
    TSettings& settings = Settings();
    const int count = settings.GetNumUnlockedRestaurants() >= 5 ? 50 : 40;
    const int unlocked = settings.GetNumUnlockedLevels();
    for (int n = 0; n < count; ++n)
        CreateButton(n, n < unlocked, n > 39);
    const int bonus = settings.GetNumUnlockedBonusLevels();
    if (settings.IsBonusEnabled() && bonus > 0)
        for (int n = kFirstBonusLevel; n < kFirstBonusLevel + 5; ++n)
            CreateButton(n, n - kFirstBonusLevel < bonus, true);
    const int last = settings.GetLastCareerLevel();
    if (TButton* button = ::GetCast<TButton>(GetChildWindow(str::getFormatted("%s%d", kButtonPrefix, last), 1)))
        button->SetOn(true);
    SetBestScoreText(last);
}

void TChooseRestaurant::CreateButton(int n, bool unlocked, bool plain)
{
    TSettings& settings = Settings();
    int restaurant = 0, level = 0;
    TSettings::LevelToRestaurantAndLevel(n, &restaurant, &level);
    TWindow* window = nullptr;
    int offsetX = 0, offsetY = 0;
    const char* suffix = plain ? "_b" : "";
    if (unlocked) {
        const auto type = n == settings.GetLastCareerLevel() ? TAnimatedMapMarker::kStar
                          : settings.GotExpert(restaurant, level) ? TAnimatedMapMarker::kExpert
                                                                   : TAnimatedMapMarker::kDot;
        auto* marker = new TAnimatedMapMarker(type, suffix);
        marker->SetName(str::getFormatted("%s%d", kButtonPrefix, n));
        if (n == 0)
            marker->TButton::AddFlags(1);  // begins the radio group
        marker->SetSound(TButton::kPressed, "audio/sfx/sfx_food_ready_1_snd.ogg");
        offsetX = marker->GetOffsetX();
        offsetY = marker->GetOffsetY();
        window = marker;
    } else {
        auto* padlock = new TLockedAnimation(plain ? "map/locked_b" : "map/locked");
        padlock->SetName(str::getFormatted("lockedbutton%d", n));
        offsetX = padlock->GetOffsetX();
        offsetY = padlock->GetOffsetY();
        window = padlock;
    }
    AdoptChild(window, true);
    const TPoint at = LevelPosition(n);
    window->SetWindowPos(at.x + offsetX - window->GetWindowWidth() / 2, at.y + offsetY - window->GetWindowHeight() / 2);
}

void TChooseRestaurant::SetupGame()
{
    for (int n = 0; n < 60; ++n) {
        auto* button = ::GetCast<TButton>(GetChildWindow(str::getFormatted("%s%d", kButtonPrefix, n), 1));
        if (button && button->IsOn()) {
            Settings().SetCurrentRestaurant(n / kLevelsPerRestaurant);
            Settings().SetCurrentLevel(n % kLevelsPerRestaurant);
            return;
        }
    }
}

void TChooseRestaurant::FlashRestaurant()
{
    TSettings& settings = Settings();
    const int newest = settings.GetNumUnlockedRestaurants() - 1;
    if (settings.GetLastCareerLevel() == newest * kLevelsPerRestaurant && mFlashSound)
        mFlashSound->Play(false);
}

void TChooseRestaurant::ReleaseMapAssets()
{
    for (TRestaurant& r : mRestaurants) {
        r.sparkle.reset();
        r.overlay.reset();
        r.animation.Init("", "", "");
    }
}

void TChooseRestaurant::SetBestScoreText(int n)
{
    ShowWindow(Child(kBestscoreimage), n < kFirstBonusLevel);
    TText* text = Child(kBestscore);
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    if (!text || !table)
        return;
    int restaurant = 0, level = 0;
    TSettings::LevelToRestaurantAndLevel(n, &restaurant, &level);
    text->SetText(table->GetString("bestscore", str::getFormatted("%d", n + 1),
                                   str::getFormatted("%d", Settings().GetLevelScore(restaurant, level)), "", "",
                                   ""));
}

bool TChooseRestaurant::OnMessage(TMessage* message)
{
    const str& name = message->GetName();
    const int at = name.find(str(kButtonPrefix));
    if (message->GetType() != 3 || at < 0)
        return false;
    SetBestScoreText(name.substr(at + static_cast<int>(sizeof kButtonPrefix) - 1).to_int());
    return true;
}

bool TChooseRestaurant::OnTaskAnimate()
{
    if (!mAnimsStarted) {
        mAnimsStarted = true;
        for (TRestaurant& r : mRestaurants)
            r.animation.Play("DoAnim", false);
    }
    TPlatform* platform = TPlatform::GetInstance();
    const std::uint32_t now = platform ? platform->Timer() : mLastTime;
    mTotalTime += now - mLastTime;
    mLastTime = now;
    InvalidateRect(nullptr);
    return true;
}

bool TChooseRestaurant::IsRestaurantShown(int restaurant)
{
    if (restaurant == kBonusRestaurant)
        return Settings().GetNumUnlockedBonusLevels() > 0;
    return restaurant < Settings().GetNumUnlockedRestaurants();
}

void TChooseRestaurant::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    for (int i = 4; i >= 0; --i)
        if (IsRestaurantShown(i))
            mRestaurants[i].animation.Draw(mRestaurants[i].position.x, mRestaurants[i].position.y, 1, 1, 0, 0);
    for (int i = 4; i >= 0; --i)
        if (mRestaurants[i].overlay)
            mRestaurants[i].overlay->Draw(mRestaurants[i].overlayPosition.x, mRestaurants[i].overlayPosition.y);
    if (IsRestaurantShown(kBonusRestaurant))
        mRestaurants[kBonusRestaurant].animation.Draw(mRestaurants[kBonusRestaurant].position.x,
                                                      mRestaurants[kBonusRestaurant].position.y, 1, 1, 0, 0);
    const int hovered = Career() ? -1 : PointToRestaurant(mMouse);
    if (hovered >= 0 && mRestaurants[hovered].sparkle) {
        const float t = 2.0f * static_cast<float>(mTotalTime % 1000) / 1000.0f;
        const TPoint& at = kLayout[hovered].sparkle;
        mRestaurants[hovered].sparkle->Draw(static_cast<float>(at.x), static_cast<float>(at.y),
                                            t <= 1.0f ? t : 2.0f - t);
    }
    platform->End2d();
}

int TChooseRestaurant::PointToRestaurant(const TPoint& p)
{
    for (int i = kRestaurants - 1; i >= 0; --i) {
        if (!IsRestaurantShown(i))
            continue;
        auto texture = mRestaurants[i].animation.GetAnimatedTexture();
        if (!texture || mRestaurants[i].animation.IsPlaying())
            continue;
        TRect box = texture->BoundingBox();
        const int dx = static_cast<int>(mRestaurants[i].position.x);
        const int dy = static_cast<int>(mRestaurants[i].position.y);
        if (TRect{box.x1 + dx, box.y1 + dy, box.x2 + dx, box.y2 + dy}.Contains(p))
            return i;
    }
    return -1;
}

bool TChooseRestaurant::OnMouseMove(const TPoint& p)
{
    if (Career())
        return false;
    mMouse = p;
    if (mPressed < 0 && PointToRestaurant(p) >= 0) {
        TCursor::SetCurrent(TCursor::kClick);
        return true;
    }
    TCursor::SetCurrent(TCursor::kArrow);
    return false;
}

bool TChooseRestaurant::OnMouseDown(const TPoint& p)
{
    if (Career())
        return false;
    mPressed = PointToRestaurant(p);
    if (mPressed < 0)
        return false;
    TCursor::SetCurrent(TCursor::kClick2);
    return true;
}

bool TChooseRestaurant::OnMouseUp(const TPoint& p)
{
    if (Career())
        return false;
    const int pressed = mPressed;
    mPressed = -1;
    if (pressed < 0 || PointToRestaurant(p) != pressed)
        return false;
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return false;
    auto* modal = new TModalWindow;
    modal->SetName("scripts/choosedifficulty.lua");
    manager->PushModal(modal);
    manager->SetTopModalOnly(false);
    manager->RunScript(modal, "scripts/choosedifficulty.lua");
    Settings().SetCurrentRestaurant(pressed);
    return true;
}
