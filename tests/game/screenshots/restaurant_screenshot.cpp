// Each career restaurant mid-level on the GL display: a level of the
// restaurant played for a while by the floor bot (parties seated, eating,
// waiting in line), with the restaurant's room and scenery behind the floor,
// and the phone's staff at work: the busboy and drink server walking, the
// hostess at the podium, the performer sending notes to the tables. Writes
// one PNG per restaurant (PREFIX_NAME.png).
//
//     xvfb-run -a build/tests/game/screenshots/restaurant_screenshot shots/restaurant
#include "floorbot.h"

#include "engine/base/clock.h"
#include "engine/base/task.h"
#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/floor/bar.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/floor/table.h"
#include "game/play/restaurant.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "game/settings/levelnumbers.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

using namespace testimages;

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr float kPlaySeconds = 40;   // parties seated and eating by then
constexpr float kStaffSeconds = 2.5f;  // the staff called a little before the picture
constexpr int kMaxSettlePasses = 600;  // ten seconds of game time
std::string gPrefix;
int gResult = 1;

// The floor's own pieces draw in two conventions: the kitchen, shelves,
// waitress and staff inside a 2D pass of the caller's, the dining floor
// (tables, bar, bench, parties) each in a pass of its own.
void DrawFloor(TPlatform* platform, TGameData& floor, TRestaurantStaff& staff, TAnimatedTextureCache* cache)
{
    platform->Begin2d();
    floor.GetChef().Draw();
    floor.GetTicketStation().Draw();
    floor.GetDishCart().Draw();
    for (TShelfStation* shelf : std::initializer_list<TShelfStation*>{
             &floor.GetDrinkStation(), &floor.GetDessertStation(), &floor.GetSnackStation(),
             &floor.GetHighChairStation(), &floor.GetMopStation()})
        if (shelf->IsEnabled())
            shelf->Draw();
    for (const auto& food : floor.GetFoodStationList())
        food->Draw();
    staff.Podium().Draw();
    staff.Phone().Draw();
    staff.Entertainer().Draw();
    platform->End2d();
    if (floor.GetBench().shown)
        floor.GetBench().Draw();
    for (const auto& table : floor.GetTables())
        table->Draw(cache, 0, 0);
    if (TBar* bar = floor.GetBar())
        bar->Draw(cache);
    int shown = 0;
    for (TParty* party : floor.GetWaitingParties()) {
        if (shown++ >= TGameData::kMaxActiveParties)
            break;
        party->Draw(cache, false);
        party->DrawHearts();
    }
    platform->Begin2d();
    staff.Hostess().Draw();
    staff.BusBoy().Draw();
    staff.DrinkServer().Draw();
    floor.GetQuessa()->Draw(true);
    floor.GetQuessa()->Draw(false);
    staff.DrawNotes();
    platform->End2d();
}

// The middle of decor picture `name` ("N_1.png") of the restaurant, as its
// upgrades.xml places it, offset into the picture by (dx, dy).
TPoint DecorPoint(int restaurant, const char* name, int dx, int dy)
{
    const str file = str("assets/restaurants/") + game::RestaurantName(restaurant) + "/upgrades/upgrades.xml";
    TXmlNode doc;
    doc.ParseString(TSettings::ReadEncryptedFile(file).c_str());
    // The document holds `sequence` at its top or under its root element.
    TXmlNode* sequence = doc.GetChild("sequence");
    str tag;
    TXmlNode* root = nullptr;
    doc.ResetChildren();
    while (!sequence && doc.GetNextChild(&tag, &root))
        sequence = root->GetChild("sequence");
    TXmlNode* frames = sequence ? sequence->GetChild("framelist") : nullptr;
    TXmlNode* frame = nullptr;
    if (frames)
        frames->ResetChildren();
    while (frames && frames->GetNextChild(&tag, &frame))
        if (frame->GetAttribute("name") == str(name))
            return TPoint{dx - frame->GetAttribute("regx").to_int(), dy - frame->GetAttribute("regy").to_int()};
    return TPoint{-100, -100};
}

// The room alone while the player chooses decor: nothing picked yet.
bool ShootDecorChoice(TPlatform* platform, TGLDisplayHandler* handler, int restaurant)
{
    TRestaurant room;
    room.Initialize();
    room.EnterUpgradeMode();
    const int picked = room.SetSelection(DecorPoint(restaurant, "2_1.png", 40, 40), {});
    const int under = room.UpdateCurrentRollover(DecorPoint(restaurant, "4_1.png", 32, 42), {});
    std::printf("decor choice: selected %d, under the mouse %d\n", picked, under);
    room.Update(0.6f);  // the offers have faded in
    TEvent event;
    for (int frame = 0; frame < 3;) {
        platform->GetEvent(&event);
        if (event.mType == TEvent::kQuit)
            return false;
        if (event.mType != TEvent::kIdle || !platform->BeginDraw(true))
            continue;
        ++frame;
        room.Draw(false);
        if (frame == 3) {
            const std::string out = gPrefix + "_" + game::RestaurantName(restaurant).c_str() + "_decor.png";
            WritePng(out, 800, 600, PngKind::Rgb, gameshot::ReadScreen(handler->GetScreenFramebuffer()));
            std::printf("wrote %s\n", out.c_str());
        }
        platform->EndDraw(true);
    }
    room.LeaveUpgradeMode();
    return true;
}

bool PuffsPlaying(TRestaurantStaff& staff)
{
    return staff.BusBoy().IsPoofPlaying() || staff.DrinkServer().IsPoofPlaying() ||
           staff.Hostess().IsPoofPlaying() || staff.Entertainer().IsPoofPlaying();
}

bool Shoot(TPlatform* platform, TGLDisplayHandler* handler, TXmlNode* globals, int restaurant)
{
    TSettings* settings = TSettings::GetInstance();
    settings->SetCurrentRestaurant(restaurant);
    settings->SetCurrentLevel(4);
    if (!ShootDecorChoice(platform, handler, restaurant))
        return false;
    // The four decor items picked at earlier levels: they stand in the room.
    settings->SetCurrentLevel(2);
    for (int slot = 0; slot < 4; ++slot)
        settings->SelectDecorUpgrade(slot);
    settings->SetCurrentLevel(4);
    platform->SeedRand(unsigned(11 + restaurant));
    TLevelEventLog host;
    TScoreManager score;
    TGameData floor(globals, &score, &host.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.DoSkipTutorial();
    // The picture shows every helper, whatever the layout holds.
    TRestaurantStaff& staff = floor.GetStaff();
    staff.Podium().SetEnabled(true);
    staff.Phone().SetPresent(true);
    floor.GetDrinkStation().SetEnabled(true);
    floor.BuildStationList();
    TFloorBot bot(floor);
    // The figures' animations run on the game clock: it follows the played
    // time, so the picture shows the floor as it is after kPlaySeconds
    // (the staff's arrival puffs over) however fast this machine plays it.
    TClock* clock = TSettings::GetInstance()->GetGameClock();
    clock->Pause();
    const std::uint32_t clockStart = clock->GetTime();
    for (float t = 0; t < kPlaySeconds; t += kFrame) {
        clock->SetTime(clockStart + std::uint32_t(t * 1000));
        if (t >= kPlaySeconds - kStaffSeconds && !staff.BusBoy().IsActive()) {
            staff.BusBoy().Activate(720, 200, 60);
            staff.DrinkServer().Activate(600, 200, 60);
            staff.Hostess().Activate(60);
            staff.Entertainer().Activate(60);
            staff.Entertainer().LaunchNotes(floor.GetEatingStations());
        }
        floor.Update(kFrame);
        bot.Act();
    }
    TAnimatedTextureCache cache(100, 120, 80);
    TEvent event;
    // The animations' scripts step in the platform's task passes: a pass
    // per frame of game time (no drawing) until the puffs end, then two
    // frames, the second read back. The passes are run directly, not through
    // GetEvent, whose idle pass sleeps longer and longer while the window has
    // no focus (as under a shared X server).
    std::uint32_t played = std::uint32_t(kPlaySeconds * 1000);
    for (int pass = 0; pass < kMaxSettlePasses && PuffsPlaying(staff); ++pass) {
        clock->SetTime(clockStart + (played += std::uint32_t(kFrame * 1000)));
        platform->GetTaskList()->DoAll(TTask::kEventContext);
    }
    if (PuffsPlaying(staff))
        std::fprintf(stderr, "%s: the staff's puffs still play\n", game::RestaurantName(restaurant).c_str());
    constexpr int kFrames = 2;
    for (int frame = 0; frame < kFrames;) {
        platform->GetEvent(&event);
        if (event.mType == TEvent::kQuit)
            return false;
        if (event.mType != TEvent::kIdle || !platform->BeginDraw(true))
            continue;
        ++frame;
        cache.Reset();
        staff.Restaurant().Draw(false);
        DrawFloor(platform, floor, staff, &cache);
        if (frame == kFrames) {
            const std::vector<Rgba> pixels = gameshot::ReadScreen(handler->GetScreenFramebuffer());
            const std::string out = gPrefix + "_" + game::RestaurantName(restaurant).c_str() + ".png";
            WritePng(out, 800, 600, PngKind::Rgb, pixels);
            std::printf("wrote %s (%zu tables, %zu in line)\n", out.c_str(), floor.GetTables().size(),
                        floor.GetWaitingParties().size());
        }
        platform->EndDraw(true);
    }
    return true;
}

void ShotMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false) || !platform->GetDisplayHandler()) {
        std::fprintf(stderr, "no display\n");
        return;
    }
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TSettings::CreateSettings();
    TSettings* settings = TSettings::GetInstance();
    auto colours = std::make_unique<TQuessaColors>();  // as the game's start-up reads them
    settings->CreateNewUser("Shots");
    settings->SetCurrentUser(0, true);
    settings->GetGameClock()->Start();
    TXmlNode doc;
    doc.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = doc.GetChild("dataroot");
    TXmlNode* globals = root ? root->GetChild("globals") : nullptr;
    bool ok = true;
    for (int restaurant = 0; restaurant < 5 && ok; ++restaurant)
        ok = Shoot(platform, handler, globals, restaurant);
    gResult = ok ? 0 : 1;
    colours.reset();
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path prefix = std::filesystem::absolute(argc > 1 ? argv[1] : "restaurant");
    std::filesystem::create_directories(prefix.parent_path());
    gPrefix = prefix.string();
    gameshot::RunOnGameData(argc, argv, "qm-restaurant-screenshot", ShotMain);
    return gResult;
}
