// Drawing the floor in depth order, the layers above the HUD and the clock.
#include "game/play/game.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "game/floor/bar.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/play/floorbanner.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/screens/screenchildren.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

// A figure that overlaps a table and whose foot is between the table's top
// and its front edge is drawn just after it.
int SortValueForCharacter(TRect box, const std::vector<TRect>& tables)
{
    int value = box.y2;
    for (const TRect& table : tables)
        if (box.x1 <= table.x2 && table.x1 <= box.x2 && box.y2 >= table.y1 && box.y2 <= table.y2)
            value = std::max(value, table.y2 + 1);
    return value;
}

// The kitchen, the shelves and the waitress draw inside the caller's 2D pass.
template <typename Fn>
void In2d(Fn draw)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    draw();
    platform->End2d();
}

// Every object of the floor draws in a 2D pass of its own: joined, their
// sprites go to GL in a few calls instead of a call or more an object.
class TJoinedPasses {
public:
    TJoinedPasses()
    {
        if (TPlatform* platform = TPlatform::GetInstance())
            platform->JoinDrawPasses(true);
    }
    ~TJoinedPasses()
    {
        if (TPlatform* platform = TPlatform::GetInstance())
            platform->JoinDrawPasses(false);
    }
    TJoinedPasses(const TJoinedPasses&) = delete;
    TJoinedPasses& operator=(const TJoinedPasses&) = delete;
};

TGame* ParentGame(const TWindow* window)
{
    for (TWindow* w = window->GetParent(); w; w = w->GetParent())
        if (auto* game = ::GetCast<TGame>(w))
            return game;
    return nullptr;
}

}  // namespace

void TGame::Draw()
{
    if (!mGameData)
        return;
    mCache->Reset();
    DrawFloor(*mGameData, mCache.get(), mClosedSign.get(), mClosedLabel);
}

namespace {

void DrawClosedSign(const TGameData& floor, TTexture* sign, TTextGraphic* label)
{
    TPlatform* platform = TPlatform::GetInstance();
    const TVec2 at = floor.GetClosedSignPos();
    if (!sign || !platform || !platform->Begin2d())
        return;
    sign->DrawSprite(at.x, at.y, 1.0f, 1.0f, 0, 0);
    const int top = static_cast<int>(at.y) - sign->GetHeight() / 2;
    const int left = static_cast<int>(at.x) - sign->GetWidth() / 2;
    if (label) {
        TRect paper = kClosedSignPaper;
        paper.Offset(left, top);
        label->Draw(paper, 1.0f, 0, 1.0f);
    }
    platform->End2d();
}

void DrawQueue(TGameData& floor, TAnimatedTextureCache* cache);

// `newItems`: whether the stations a new level brings may show (they blink
// in after the decor choice); the podium shows otherwise only when the
// level before had one too.
void DrawEntry(TGameData& floor, const TFloorDrawEntry& entry, TAnimatedTextureCache* cache, bool newItems)
{
    TRestaurantStaff& staff = floor.GetStaff();
    switch (entry.kind) {
    case TFloorDrawEntry::kTable: {
        // The decor choice's chair option glows on the tables.
        TRestaurant& scene = staff.Restaurant();
        entry.table->Draw(cache, scene.HighlightChairs(), scene.ChairGlowAlpha());
        return;
    }
    case TFloorDrawEntry::kBar:
        entry.bar->Draw(cache);
        return;
    case TFloorDrawEntry::kPodium:
        if (newItems || floor.Between().GetPreviousLayoutStations().podium)
            In2d([&staff] { staff.Podium().Draw(); });
        return;
    case TFloorDrawEntry::kRobot:
    case TFloorDrawEntry::kWaitress:
        In2d([&floor, &entry] { floor.GetQuessa()->Draw(entry.kind == TFloorDrawEntry::kRobot); });
        return;
    case TFloorDrawEntry::kBusBoy:
        In2d([&staff] { staff.BusBoy().Draw(); });
        return;
    case TFloorDrawEntry::kDrinkServer:
        In2d([&staff] { staff.DrinkServer().Draw(); });
        return;
    case TFloorDrawEntry::kHostess:
        In2d([&staff] { staff.Hostess().Draw(); });
        return;
    }
}

}  // namespace

std::vector<TFloorDrawEntry> FloorDrawOrder(TGameData& floor)
{
    std::vector<TRect> tableBoxes;
    std::vector<TFloorDrawEntry> list;
    for (const auto& table : floor.GetTables()) {
        tableBoxes.push_back(table->BoundingBox());
        list.push_back({table->BoundingBox().y2, TFloorDrawEntry::kTable, table.get(), nullptr});
    }
    if (TBar* bar = floor.GetBar()) {
        tableBoxes.push_back(bar->BoundingBox());
        list.push_back({bar->BoundingBox().y2, TFloorDrawEntry::kBar, nullptr, bar});
    }
    TRestaurantStaff& staff = floor.GetStaff();
    list.push_back({staff.Podium().BoundingBox().y2, TFloorDrawEntry::kPodium});
    TQuessa* her = floor.GetQuessa();
    list.push_back({SortValueForCharacter(her->BoundingBox(true), tableBoxes), TFloorDrawEntry::kRobot});
    list.push_back({SortValueForCharacter(her->BoundingBox(false), tableBoxes), TFloorDrawEntry::kWaitress});
    list.push_back({SortValueForCharacter(staff.BusBoy().BoundingBox(), tableBoxes), TFloorDrawEntry::kBusBoy});
    list.push_back(
        {SortValueForCharacter(staff.DrinkServer().BoundingBox(), tableBoxes), TFloorDrawEntry::kDrinkServer});
    list.push_back({static_cast<int>(staff.Hostess().Position().y), TFloorDrawEntry::kHostess});
    std::stable_sort(list.begin(), list.end(),
                     [](const TFloorDrawEntry& a, const TFloorDrawEntry& b) { return a.sortValue < b.sortValue; });
    return list;
}

void DrawFloor(TGameData& floor, TAnimatedTextureCache* cache, TTexture* closedSign, TTextGraphic* closedLabel)
{
    TPlatform* platform = TPlatform::GetInstance();
    const TJoinedPasses joined;
    const bool shaking = floor.IsTurbulenceShaking() && platform;
    if (shaking) {
        const int dx = 3 - platform->Rand() % 6, dy = 3 - platform->Rand() % 6;
        platform->PushViewport(dx, dy, dx + kScreenW, dy + kScreenH);
    }
    TRestaurantStaff& staff = floor.GetStaff();
    // While the new items blink in, the decor just chosen blinks with them.
    staff.Restaurant().Draw(floor.GetState() == kNewItem && !floor.Between().IsBlinkOn());
    // A station the new level brings shows only once it may blink in.
    const bool newItems = floor.DrawNewItems();
    const TLayoutStations& before = floor.Between().GetPreviousLayoutStations();
    // The train's performer plays on the platform outside: he belongs to the room.
    const bool performerOutside = staff.Restaurant().Restaurant() == TRestaurant::kTrain;
    In2d([&floor, &staff, performerOutside] {
        floor.GetChef().Draw();
        floor.GetKitchenPass().Draw();
        floor.GetTicketStation().Draw();
        if (performerOutside)
            staff.Entertainer().Draw();
    });
    DrawClosedSign(floor, closedSign, closedLabel);
    In2d([&floor, newItems, &before] {
        floor.GetDishCart().Draw();
        const std::pair<TShelfStation*, bool> shelves[] = {
            {&floor.GetDrinkStation(), before.drink},     {&floor.GetDessertStation(), before.dessert},
            {&floor.GetSnackStation(), before.snack},     {&floor.GetHighChairStation(), before.highChair},
            {&floor.GetMopStation(), before.mop}};
        for (const auto& [shelf, hadIt] : shelves)
            if (shelf->IsEnabled() && (newItems || hadIt))
                shelf->Draw();
        const auto& foods = floor.GetFoodStationList();
        for (auto it = foods.rbegin(); it != foods.rend(); ++it)
            (*it)->Draw();
    });
    if (floor.GetBench().shown && (newItems || before.bench))
        floor.GetBench().Draw();
    if (newItems || before.phone)
        In2d([&staff] { staff.Phone().Draw(); });

    for (const TFloorDrawEntry& entry : FloorDrawOrder(floor))
        DrawEntry(floor, entry, cache, newItems);

    DrawQueue(floor, cache);
    TQuessa* her = floor.GetQuessa();
    In2d([her, &staff, performerOutside] {
        if (!performerOutside)
            staff.Entertainer().Draw();
        her->DrawDestinations();
        staff.DrawNotes();
    });
    for (const auto& ring : floor.GetNoiseRings())
        ring->Draw();
    // The party in the player's hand goes over everything on the floor, over
    // the seated parties' hearts too, also while it tries a table's seats
    // (its legs are then under the table, drawn with it) or the bench's.
    if (TParty* dragged = floor.GetDraggedParty()) {
        if (!dragged->IsPickingSeats() || dragged->IsOnBench())
            dragged->DrawLegs();
        dragged->Draw(cache, false);
        dragged->DrawHearts();
    }
    if (shaking)
        platform->PopViewport();
    // The room's own 2D pass over everything, outside the shake.
    staff.Restaurant().DrawOverlay();
}

namespace {

void DrawQueue(TGameData& floor, TAnimatedTextureCache* cache)
{
    DrawWaitingLine(floor.GetWaitingParties(), floor.GetDraggedParty(), cache);
}

}  // namespace

void DrawWaitingLine(const std::list<TParty*>& parties, const TParty* dragged, TAnimatedTextureCache* cache)
{
    // Only the first seven in line are drawn, back to front so the head of
    // the line stands in front; a party standing in line shows its legs.
    std::vector<TParty*> shown;
    for (TParty* party : parties) {
        if (static_cast<int>(shown.size()) >= TGameData::kMaxActiveParties)
            break;
        shown.push_back(party);
    }
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if ((*it)->IsOnBench() && *it != dragged) {
            (*it)->DrawLegs();
            (*it)->Draw(cache, false);
            (*it)->DrawHearts();
        }
    for (auto it = shown.rbegin(); it != shown.rend(); ++it)
        if (!(*it)->IsOnBench() && *it != dragged && !(*it)->IsPickingSeats()) {
            (*it)->DrawLegs();
            (*it)->Draw(cache, false);
            (*it)->DrawHearts();
        }
}

float TGame::FlashlightAlpha() const
{
    TPlatform* platform = TPlatform::GetInstance();
    const float t = platform ? static_cast<float>(platform->Timer() - mStartTimer) / 1000.0f : 1.0f;
    const int state = mGameData->GetState();
    if (state == kLevelIntro)
        return t < 0.5f ? 2 * t : 1.0f;
    if (state == kLevelOver)
        return t < 0.5f ? 1 - 2 * t : 0.0f;
    return 1.0f;
}

void TGame::DrawUI()
{
    if (!mGameData)
        return;
    mScore->Draw();
    const int state = mGameData->GetState();
    const bool lit = state == kPlaying || state == kLevelIntro || state == kIntroFadeUp || state == kLevelOver;
    // The level's flag, not the room's night: the light fades out over the
    // level-over screen after the night has lifted.
    const bool flashlightLevel = mGameData->GetLevelManager()->GetFlashLight();
    TPlatform* platform = TPlatform::GetInstance();
    if (!flashlightLevel || !lit || !mFlashlight || !platform || !platform->Begin2d())
        return;
    const float alpha = FlashlightAlpha();
    const int mx = mGameData->GetMousePos().x, my = mGameData->GetMousePos().y;
    const int w = mFlashlight->GetWidth(), h = mFlashlight->GetHeight();
    const int left = mx - w / 2, top = my - h / 2;
    mFlashlight->DrawSprite(static_cast<float>(mx), static_cast<float>(my), alpha, 1.0f, 0, 0);
    if (mFlashlightFill) {
        // The dark fill covers the screen around the light.
        const TRect bands[] = {{0, 0, kScreenW, top}, {0, top + h, kScreenW, kScreenH},
                               {0, top, left, top + h}, {left + w, top, kScreenW, top + h}};
        for (const TRect& band : bands)
            if (band.x2 > band.x1 && band.y2 > band.y1)
                mFlashlightFill->DrawSprite(TVec2((band.x1 + band.x2) / 2.0f, (band.y1 + band.y2) / 2.0f), alpha,
                                            static_cast<float>(band.x2 - band.x1) / mFlashlightFill->GetWidth(),
                                            static_cast<float>(band.y2 - band.y1) / mFlashlightFill->GetHeight(),
                                            0, nullptr, nullptr, 0, nullptr);
    }
    platform->End2d();
}

void TGame::DrawBanner(const char* key, float t)
{
    if (!mBanner || t <= 0 || t >= 2.0f)
        return;
    TRect rect{0, -100, kScreenW, 500};
    if (t < 1.5f) {
        if (static_cast<int>(t / 0.2f) % 2 != 0)
            return;
    } else {
        const int d = static_cast<int>(std::floor(2 * (t - 1.5f) * 200)) + 100;
        rect = {0, -d, kScreenW, kScreenH - d};
    }
    ShowBanner(key, rect);
}

void TGame::ShowBanner(const char* key, const TRect& rect)
{
    mBanner->Draw(screens::Text(key), rect);
}

void TGame::DrawPostUI()
{
    if (!mGameData)
        return;
    if (!mGameData->IsEndless()) {
        DrawBanner("expertscorestatus", mGameData->GetExpertTime());
        DrawBanner("goalcompletedstatus", mGameData->GetGoalTime());
        const float idle = mGameData->GetIdleTime();
        if (!mGameData->GetTutorial().IsActive() && idle > 0 && idle < 1.0f && mBanner)
            ShowBanner("closingtimestatus", TRect{0, 0, kScreenW, kScreenH});
    }
    mGameData->GetTutorial().Draw();
}

// ---- companion windows ---------------------------------------------------------

// Parts of the play screen (scripts/game.lua) that draw for the game window.
const contract::TScreenSpec TGameUILayer::kContract{"TGameUILayer", "GameUILayer", "scripts/game.lua", {}, {}};
const contract::TScreenSpec TGamePostUILayer::kContract{"TGamePostUILayer", "GamePostUILayer", "scripts/game.lua",
                                                        {}, {}};
const contract::TScreenSpec TGameTimer::kContract{"TGameTimer", "GameTimer", "scripts/game.lua", {}, {}};

void TGameUILayer::Draw()
{
    if (TGame* game = ParentGame(this))
        game->DrawUI();
}

void TGamePostUILayer::Draw()
{
    if (TGame* game = ParentGame(this))
        game->DrawPostUI();
}

TGameTimer::TGameTimer() : mGlobe(TAnimatedTexture::Get("ui/ui_globe.anm")) {}
TGameTimer::~TGameTimer() = default;

void TGameTimer::Draw()
{
    TGame* game = ParentGame(this);
    TPlatform* platform = TPlatform::GetInstance();
    if (!game || !mGlobe || !platform || !platform->Begin2d())
        return;
    const int frames = mGlobe->GetNumFrames();
    const int frame = static_cast<int>((frames - 1) * game->GetClockAngle() / 6.2831855f);
    int rx = 0, ry = 0;
    mGlobe->GetRegistrationPoint(&rx, &ry);
    // Sprites are placed relative to the viewport, which the window system
    // sets to this window's part of the screen.
    TPoint at{rx, ry};
    ClientToScreen(&at);
    TRect viewport;
    platform->GetViewport(&viewport);
    at = {at.x - viewport.x1, at.y - viewport.y1};
    mGlobe->SetCurrentFrame(frame);
    mGlobe->DrawSprite(static_cast<float>(at.x), static_cast<float>(at.y), 1.0f, 1.0f, 0, 0);
    platform->End2d();
}
