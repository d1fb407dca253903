// The floor as a newcomer meets it, drawn on the GL display from the game's
// own data with the game's own floor drawing (DrawFloor) and tutorial:
//
//   line_RESTAURANT.png  seven parties waiting in line in each restaurant's
//                        last level, each one's faces showing above the
//                        party in front
//   tutorial_NN.png      each shown step of the first level's tutorial,
//                        played through with the input it teaches
//   kitchen.png          a ticket on the wheel, the cook at work and a
//                        plate waiting on the pass
//   seated_N.png         parties seated on their chairs at every table of
//                        career level N (each restaurant's second and last)
//   dragged_over_hearts.png, dragged_trying_seats.png  a party in hand over
//                        a seated party's hearts, then trying a free
//                        table's seats: drawn over every other party
//
// Each picture is rendered only for the frame it checks; the checks read
// the frame back (a party's face differs from the empty floor, a bubble lies
// inside the window, a plate shows on the pass).
//
//     xvfb-run -a build/tests/game/screenshots/floorplay_screenshot build/tests/artefacts/floorplay
#include "floorbot.h"

#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "engine/window/stringtable.h"
#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/foodtray.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/floor/table.h"
#include "game/play/floorbanner.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testimages;

namespace {

constexpr float kFrame = 1.0f / 60;
std::filesystem::path gOut;
int gFailures = 0;
TXmlNode* gGlobals = nullptr;
TPlatform* gPlatform = nullptr;
TGLDisplayHandler* gHandler = nullptr;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++gFailures;
}

// Draws one frame with `draw` and answers its pixels; writes them to `name`
// (under the output folder) when a name is given.
std::vector<Rgba> Shoot(const std::function<void()>& draw, const std::string& name = "")
{
    TEvent event;
    for (;;) {
        gPlatform->GetEvent(&event);
        if (event.mType == TEvent::kQuit)
            return {};
        if (event.mType == TEvent::kIdle && gPlatform->BeginDraw(true))
            break;
    }
    draw();
    std::vector<Rgba> pixels = gameshot::ReadScreen(gHandler->GetScreenFramebuffer());
    if (!name.empty()) {
        const std::string path = (gOut / name).string();
        WritePng(path, 800, 600, PngKind::Rgb, pixels);
        std::printf("wrote %s\n", path.c_str());
    }
    gPlatform->EndDraw(true);
    return pixels;
}

// The share of pixels inside `r` that differ between two frames.
float Differs(const std::vector<Rgba>& a, const std::vector<Rgba>& b, TRect r)
{
    int total = 0, differ = 0;
    for (int y = std::max(r.y1, 0); y < std::min(r.y2, 600); ++y)
        for (int x = std::max(r.x1, 0); x < std::min(r.x2, 800); ++x) {
            const Rgba& p = a[std::size_t(y * 800 + x)];
            const Rgba& q = b[std::size_t(y * 800 + x)];
            ++total;
            differ += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 24;
        }
    return total ? float(differ) / float(total) : 0.0f;
}

// A level of the career on the headless floor, its intro skipped.
struct TLevel {
    TLevelEventLog host;
    TScoreManager score;
    std::unique_ptr<TGameData> floor;
    TAnimatedTextureCache cache{100, 120, 80};
    std::shared_ptr<TTexture> sign = TTexture::Get("ui/closed", 0);

    TLevel(int restaurant, int level, bool tutorial)
    {
        TSettings* settings = TSettings::GetInstance();
        settings->SetCurrentRestaurant(restaurant);
        settings->SetCurrentLevel(level);
        gPlatform->SeedRand(7u + unsigned(restaurant * 10 + level));
        floor = std::make_unique<TGameData>(gGlobals, &score, &host.events);
        floor->SetupStars();
        floor->SetupLevel();
        floor->StartIntro();
        if (!tutorial)
            floor->DoSkipTutorial();
        floor->GetStaff().Restaurant().Initialize();
    }
    void Run(float seconds, TFloorBot* bot = nullptr)
    {
        for (float t = 0; t < seconds; t += kFrame) {
            floor->Update(kFrame);
            if (bot)
                bot->Act();
        }
    }
    void Draw(bool withTutorial = false)
    {
        cache.Reset();
        DrawFloor(*floor, &cache, sign.get(), nullptr);
        if (withTutorial)
            floor->GetTutorial().Draw();
    }
};

// ---- seven parties in line

void ShootLine(int restaurant, int levelIndex)
{
    static const char* const kNames[] = {"cruise", "train", "sub", "blimp", "spaceship"};
    TLevel level(restaurant, levelIndex, false);
    TGameData& floor = *level.floor;
    while (floor.GetState() != kPlaying)
        level.Run(kFrame);
    while (floor.GetWaitingParties().size() < std::size_t(TGameData::kMaxActiveParties)) {
        if (!floor.AddNextGroup()) {
            Fail("the level has fewer than seven parties");
            return;
        }
        floor.GetLevelManager()->ScheduleNextGroup();
    }
    level.Run(2.0f);  // in space the parties materialise first
    const std::vector<Rgba> line =
        Shoot([&] { level.Draw(); }, std::string("line_") + kNames[restaurant] + ".png");
    // The same floor with the line stepped out of the picture.
    for (TParty* party : floor.GetWaitingParties())
        party->SetInLine({-400, -400}, false);
    const std::vector<Rgba> empty = Shoot([&] { level.Draw(); });
    floor.AdjustQueue();
    int place = 0;
    for (TParty* party : floor.GetWaitingParties()) {
        // The face of the party's first member: the middle of its head.
        const TRect box = party->MembersInBuildOrder().front()->BoundingBox();
        const TRect face{box.x1 + 30, box.y1 + 14, box.x2 - 30, box.y1 + 36};
        const float shown = Differs(empty, line, face);
        std::printf("party %d in line: %.0f %% of its face drawn\n", place, 100 * shown);
        if (shown < 0.5f)
            Fail("the face of party " + std::to_string(place) + " in line does not show");
        ++place;
    }
}

// ---- the first level's tutorial, played with the input it teaches

// The screen rectangle of the tutorial's box for step `step`.
TRect TutorialBox(int step)
{
    const std::shared_ptr<TTexture> box = TTexture::Get("ui/tutorialbox", 0);
    const TTutorialDef& def = gTutorialDefs[step];
    const int w = box ? box->GetWidth() : 0, h = box ? box->GetHeight() : 0;
    const int x = int(def.boxX) - w / 2, y = int(def.boxY) - h / 2;
    return {x, y, x + w, y + h};
}

TPoint Middle(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

// Drags the head of the line as the tutorial teaches: press on it, move
// (`halfway` is called with the party in hand) and let go over the table the
// step asks for (any free one when it names none).
void DragHeadOfLine(TGameData& floor, int table, const std::function<void()>& halfway)
{
    TParty* party = floor.GetWaitingParties().front();
    // Tables first, then the bar.
    std::vector<TEatingStation*> stations;
    for (const auto& t : floor.GetTables())
        stations.push_back(t.get());
    for (TEatingStation* station : floor.GetEatingStations())
        if (std::find(stations.begin(), stations.end(), station) == stations.end())
            stations.push_back(station);
    TEatingStation* target = nullptr;
    for (TEatingStation* station : stations)
        if (!station->GetParty() && !station->HasDishes() &&
            station->GetEndSeat() - station->GetFirstSeat() >= party->GetSize() &&
            (table < 0 || station->GetTableNumber() == table))
            target = target ? target : station;
    if (!target)
        return;
    const TPoint grab = Middle(party->MembersInBuildOrder().front()->BoundingBox());
    const TPoint drop = Middle(target->GetChair(target->GetFirstSeat())->BoundingBox());
    floor.MouseDown(grab);
    floor.MouseMove({(grab.x + drop.x) / 2, (grab.y + drop.y) / 2});
    halfway();
    floor.MouseMove(drop);
    floor.MouseUp(drop);
}

void ShootTutorial()
{
    TLevel level(0, 0, true);
    TGameData& floor = *level.floor;
    TTutorial& tutorial = floor.GetTutorial();
    if (!tutorial.IsActive()) {
        Fail("the first level runs no tutorial");
        return;
    }
    int shown = -1, pictures = 0;
    // A picture of each step that shows a box, the first time it shows.
    auto shootNewStep = [&] {
        const int step = tutorial.GetStep();
        if (step == shown || !tutorial.IsShowing())
            return;
        shown = step;
        char name[32];
        std::snprintf(name, sizeof name, "tutorial_%02d.png", step);
        Shoot([&] { level.Draw(true); }, name);
        ++pictures;
        const TRect box = TutorialBox(step);
        if (box.x1 < 0 || box.y1 < 0 || box.x2 > 800 || box.y2 > 600)
            Fail(std::string(name) + ": the box leaves the window");
    };
    TFloorBot bot(floor);
    for (float t = 0; t < 600 && tutorial.IsActive(); t += kFrame) {
        level.Run(kFrame);
        shootNewStep();
        const TTutorialDef& def = gTutorialDefs[tutorial.GetStep()];
        if (def.action == kTutorialPickUpParty && !floor.GetWaitingParties().empty()) {
            const int table = gTutorialDefs[tutorial.GetStep() + 1].param;
            DragHeadOfLine(floor, table, shootNewStep);
        } else {
            bot.Act();
        }
        shootNewStep();
    }
    std::printf("tutorial: %d steps shown, %s\n", pictures,
                tutorial.IsActive() ? "still running" : "played to its end");
    if (tutorial.IsActive())
        Fail("the tutorial did not reach its end");
}

// ---- the kitchen: a plate waiting on the pass, an order cooking, a ticket
// in her hand for the wheel

// Seats every party in line at free tables (as many as there are).
void SeatWholeLine(TGameData& floor)
{
    while (!floor.GetWaitingParties().empty()) {
        const std::size_t before = floor.GetWaitingParties().size();
        DragHeadOfLine(floor, -1, [] {});
        if (floor.GetWaitingParties().size() == before)
            return;
    }
}

void FillLine(TGameData& floor, int parties)
{
    while (int(floor.GetWaitingParties().size()) < parties && floor.AddNextGroup())
        floor.GetLevelManager()->ScheduleNextGroup();
}

void ShootKitchen()
{
    TLevel level(0, 4, false);
    TGameData& floor = *level.floor;
    while (floor.GetState() != kPlaying)
        level.Run(kFrame);
    FillLine(floor, 3);
    SeatWholeLine(floor);
    const std::vector<Rgba> idle = Shoot([&] { level.Draw(); });
    std::vector<TFoodStation*> plates = floor.FoodStations();
    plates[0]->PlaceOrder(0, 0);
    level.Run(floor.GetFoodStationList().front()->IsOrderReady() ? 0 : 2.5f);
    plates[1]->PlaceOrder(1, 1);
    floor.GetQuessa()->PickupItem(kCarryTicket, 2, 0);
    level.Run(1.0f);
    if (!plates[0]->IsOrderReady() || !plates[1]->IsCooking())
        Fail("the kitchen scene did not come about");
    const std::vector<Rgba> busy = Shoot([&] { level.Draw(); }, "kitchen.png");
    TRect tray = TFoodTray().BoundingBox();
    const TPoint at = plates[0]->GetStandingSpot();
    tray.Offset(at.x, at.y);
    const float shown = Differs(idle, busy, tray);
    std::printf("kitchen: %.0f %% of the waiting plate's box drawn over the pass\n", 100 * shown);
    if (shown < 0.3f)
        Fail("the plate waiting on the pass does not show");
}

// ---- parties seated at every table of a restaurant's level

void ShootSeated(int restaurant, int levelIndex)
{
    TLevel level(restaurant, levelIndex, false);
    TGameData& floor = *level.floor;
    while (floor.GetState() != kPlaying)
        level.Run(kFrame);
    const std::vector<Rgba> empty = Shoot([&] { level.Draw(); });
    FillLine(floor, int(floor.GetEatingStations().size()));
    level.Run(2.0f);  // in space a party cannot be picked up while it materialises
    SeatWholeLine(floor);
    level.Run(0.5f);
    const std::string name =
        "seated_" + std::to_string(restaurant * 10 + levelIndex + 1) + ".png";  // by career level number
    const std::vector<Rgba> seated = Shoot([&] { level.Draw(); }, name);
    // A face behind the waitress (she may stand in front of a stool) is not counted.
    const TRect her = floor.GetQuessa()->BoundingBox(false);
    int figures = 0, shown = 0;
    for (TEatingStation* station : floor.GetEatingStations())
        if (TParty* party = station->GetParty())
            for (const TCustomer* member : party->MembersInBuildOrder()) {
                const TRect box = member->BoundingBox();
                const TRect face{box.x1 + 30, box.y1 + 14, box.x2 - 30, box.y1 + 36};
                if (!TRect::Intersect(face, her).IsEmpty())
                    continue;
                ++figures;
                shown += Differs(empty, seated, face) > 0.5f;
            }
    std::printf("%s: %d of %d seated faces drawn\n", name.c_str(), shown, figures);
    if (figures == 0 || shown < figures)
        Fail(name + ": a seated figure does not show");
}

// ---- a party dragged over the hearts of a seated one

// Every table but the last taken, then the next party in line is held over
// a seated party's hearts, and then over the free table (trying its seats).
void ShootDraggedOverHearts(int restaurant, int levelIndex)
{
    TLevel level(restaurant, levelIndex, false);
    TGameData& floor = *level.floor;
    while (floor.GetState() != kPlaying)
        level.Run(kFrame);
    FillLine(floor, int(floor.GetTables().size()) - 1);
    level.Run(2.0f);
    SeatWholeLine(floor);
    FillLine(floor, 1);
    level.Run(2.0f);
    if (floor.GetWaitingParties().empty())
        return Fail("no party left in line to drag");
    TParty* party = floor.GetWaitingParties().front();
    const TPoint grab = Middle(party->MembersInBuildOrder().front()->BoundingBox());
    floor.MouseDown(grab);
    for (TEatingStation* station : floor.GetEatingStations()) {
        if (!station->GetParty())
            continue;
        const TPoint hearts = Middle(station->GetParty()->HeartsBox());
        floor.MouseMove({(grab.x + hearts.x) / 2, (grab.y + hearts.y) / 2});
        floor.MouseMove(hearts);
        Shoot([&] { level.Draw(); }, "dragged_over_hearts.png");
        break;
    }
    for (const auto& table : floor.GetTables())
        if (!table->GetParty()) {
            const TPoint seat = Middle(table->GetChair(table->GetFirstSeat())->BoundingBox());
            floor.MouseMove(seat);
            Shoot([&] { level.Draw(); }, "dragged_trying_seats.png");
            break;
        }
    floor.MouseUp({-1, -1});
}

// ---- closing time: the closed sign on the wall, the clock nearly empty,
// the big words on their ribbon

// The share of pixels in r whose colour passes `test`.
template <typename Test>
float Share(const std::vector<Rgba>& pixels, TRect r, Test test)
{
    int total = 0, passing = 0;
    for (int y = std::max(r.y1, 0); y < std::min(r.y2, 600); ++y)
        for (int x = std::max(r.x1, 0); x < std::min(r.x2, 800); ++x) {
            ++total;
            passing += test(pixels[std::size_t(y * 800 + x)]);
        }
    return total ? float(passing) / float(total) : 0.0f;
}

void ShootClosing()
{
    TLevel level(0, 1, false);
    TGameData& floor = *level.floor;
    TFloorBot bot(floor);
    for (float t = 0; t < 900 && !(floor.GetLevelManager()->IsClosed() && floor.GetClosedSignPos().x >= TGameData::kClosedSignStop); t += kFrame)
        level.Run(kFrame, &bot);
    TPlatform* platform = TPlatform::GetInstance();
    TTextGraphic* label = TTextGraphic::Create(platform->GetStringTable()->GetString("closed", "", "", "", "", ""),
                                               kClosedSignPaper.Width(), kClosedSignPaper.Height(),
                                               TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                               "assets/fonts/corona.mvec", kClosedLabelSize,
                                               TColor(0.78f, 0.16f, 0.23f, 1));
    TFloorBanner banner;
    const std::shared_ptr<TAnimatedTexture> clock = TAnimatedTexture::Get("ui/ui_globe.anm");
    const str words = platform->GetStringTable()->GetString("closingtimestatus", "", "", "", "", "");
    const std::vector<Rgba> pixels = Shoot(
        [&] {
            level.cache.Reset();
            DrawFloor(floor, &level.cache, level.sign.get(), label);
            banner.Draw(words, {0, 0, 800, 600});
            if (clock && platform->Begin2d()) {
                clock->SetCurrentFrame(clock->GetNumFrames() * 7 / 8);
                clock->DrawSprite(766.0f, 30.0f, 1.0f, 1.0f, 0, 0);
                platform->End2d();
            }
        },
        "closing.png");
    TTextGraphic::Destroy(label);
    const TVec2 at = floor.GetClosedSignPos();
    TRect paper = kClosedSignPaper;
    paper.Offset(int(at.x) - level.sign->GetWidth() / 2, int(at.y) - level.sign->GetHeight() / 2);
    const float word = Share(pixels, paper, [](const Rgba& p) { return p.r > 150 && p.g < 110 && p.b < 120; });
    const float letters = Share(pixels, {160, 270, 640, 330}, [](const Rgba& p) { return p.r > 235 && p.g > 225 && p.b > 210; });
    std::printf("closing: the sign's word fills %.0f %% of its paper, the banner's letters %.0f %% of its face\n",
                100 * word, 100 * letters);
    if (word < 0.08f)
        Fail("the closed sign's word does not show");
    if (letters < 0.08f)
        Fail("the closing-time words do not show on their ribbon");
}

void ShotMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false) || !platform->GetDisplayHandler()) {
        std::fprintf(stderr, "no display\n");
        gFailures = 1;
        return;
    }
    gPlatform = platform;
    gHandler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TSettings::CreateSettings();
    TSettings* settings = TSettings::GetInstance();
    auto colours = std::make_unique<TQuessaColors>();
    settings->CreateNewUser("Shots");
    settings->SetCurrentUser(0, true);
    settings->GetGameClock()->Start();
    TXmlNode doc;
    doc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = doc.GetChild("dataroot");
    gGlobals = root ? root->GetChild("globals") : nullptr;
    for (int restaurant = 0; restaurant < 5; ++restaurant)
        ShootLine(restaurant, 9);
    ShootTutorial();
    ShootKitchen();
    // Each restaurant's second level and its last, the fullest floor.
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        ShootSeated(restaurant, 1);
        ShootSeated(restaurant, 9);
    }
    ShootClosing();
    ShootDraggedOverHearts(0, 9);
    colours.reset();
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = std::filesystem::absolute(argc > 1 ? argv[1] : "floorplay");
    std::filesystem::create_directories(gOut);
    gameshot::RunOnGameData(argc, argv, "qm-floorplay-screenshot", ShotMain);
    if (gFailures)
        std::fprintf(stderr, "%d check(s) failed\n", gFailures);
    return gFailures ? 1 : 0;
}
