// The phone of a blimp level played through the game's own entry, scripts
// and art on the headless engine, by events as a player gives them: a party
// dragged to a table with the grabbing hand, the waitress sent to the phone
// with the pointing hand's click, the staff bubble over the phone, the
// busboy's button; then the busboy works: he takes the check and carries the
// dishes to the cart.
#include "floorbot.h"
#include "gameapp_fixture.h"

#include "engine/platform/event.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/screens/cursor.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

}  // namespace

class PhoneScreen : public GameAppTest {
protected:
    void SetUp() override
    {
        GameAppTest::SetUp();
        // The game's whole data folder: its scripts, strings, levels and art.
        const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
        const fs::path assets = scratch.Path() / "assets";
        for (const fs::directory_entry& entry : fs::directory_iterator(data))
            if (entry.is_directory())
                fs::create_directory_symlink(entry.path(), assets / entry.path().filename());
        fs::copy_file(data / "strings.xml", assets / "strings.xml", fs::copy_options::overwrite_existing);
        fs::copy_file(data / "font.mvec", assets / "font.mvec");
    }

    TModalWindow* Top() { return manager->GetTopModalWindow(); }
    str TopName() { return Top() ? Top()->GetName() : str(); }
    bool WaitForTop(const char* name, int turns = 400)
    {
        for (int i = 0; i < turns && TopName() != str(name); ++i)
            Idle(16);
        return TopName() == str(name);
    }
    void Press(const char* name)
    {
        TWindow* w = Top()->GetChildWindow(name, -1);
        ASSERT_NE(w, nullptr) << name;
        ClickThroughGame(w);
        Idle(16);
    }
    TCursor::eCursorState Cursor() { return TCursor::GetInstance()->GetState(); }
    // A point on the screen that sends her to `station`.
    TPoint PointOn(TGameData& floor, IStation* station)
    {
        int kind = 0;
        for (int y = 0; y < 600; y += 2)
            for (int x = 0; x < 800; x += 2)
                if (floor.StationAt({x, y}, &kind) == station)
                    return {x, y};
        ADD_FAILURE() << "no point hits the station";
        return {};
    }
};

TEST_F(PhoneScreen, TheWaitressCallsTheBusBoyByPhoneAndHeClearsTheCheckAndTheDishes)
{
    // A player who has reached the blimp's fourth level, which has the phone.
    Start();
    Idle();
    ASSERT_TRUE(WaitForTop("scripts/entername.lua"));
    for (char c : std::string("Ada"))
        Send(TEvent::kChar, static_cast<unsigned char>(c));
    Idle(16);
    Press("enterok");
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    TSettings* settings = TSettings::GetInstance();
    settings->UnlockLevel(3, 3);
    settings->SetLastCareerLevel(33);
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    ASSERT_EQ(settings->GetCurrentRestaurant(), 3);
    ASSERT_EQ(settings->GetCurrentLevel(), 3);
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    for (int i = 0; i < 200 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    auto* game = GetCast<TGame>(Find("maingamewindow"));
    ASSERT_NE(game, nullptr);
    TGameData& floor = *game->GetGameData();
    for (int i = 0; i < 200 && floor.GetState() != kPlaying; ++i)
        Idle(16);
    ASSERT_EQ(floor.GetState(), kPlaying);
    TPhoneStation& phone = floor.GetStaff().Phone();
    ASSERT_TRUE(phone.IsPresent());
    for (int n = 2; n <= 4; ++n)
        EXPECT_FALSE(Find(("phonebox" + std::to_string(n)).c_str())->IsVisible()) << "the bubble waits for the phone";

    // The first party is dragged to a table: the hand grabs it at once.
    for (int i = 0; i < 60 * 60 && floor.GetWaitingParties().empty(); ++i)
        Idle(16);
    ASSERT_FALSE(floor.GetWaitingParties().empty());
    TParty* party = floor.GetWaitingParties().front();
    TTable* table = nullptr;
    for (const auto& t : floor.GetTables())
        if (!table && t->GetEndSeat() - t->GetFirstSeat() >= party->GetSize())
            table = t.get();
    ASSERT_NE(table, nullptr);
    const TPoint grab = Centre(party->MembersInBuildOrder().front()->BoundingBox());
    const TPoint drop = Centre(table->GetChair(0)->BoundingBox());
    Send(TEvent::kMouseMove, 0, grab.x, grab.y);
    EXPECT_EQ(Cursor(), TCursor::kOpen) << "an open hand over a party";
    Send(TEvent::kMouseDown, 0, grab.x, grab.y);
    EXPECT_EQ(Cursor(), TCursor::kGrab) << "the hand grabs the party";
    Send(TEvent::kMouseMove, 0, (grab.x + drop.x) / 2, (grab.y + drop.y) / 2);
    Send(TEvent::kMouseMove, 0, drop.x, drop.y);
    Send(TEvent::kMouseUp, 0, drop.x, drop.y);
    ASSERT_EQ(table->GetParty(), party);
    EXPECT_EQ(Cursor(), TCursor::kArrow);

    // She serves it (the bot clicks for her) until it eats. Only this party:
    // a neighbour the bot seated and then left to itself can grow noisy (a
    // baby with no high chair cries whatever the mood) and drive it out
    // before its check.
    TFloorBot bot(floor);
    bot.SeatNoMore();
    for (int i = 0; i < 60 * 60 && table->PartyState() < kStateEating; ++i) {
        Idle(16);
        bot.Act();
    }
    ASSERT_GE(table->PartyState(), kStateEating);
    for (int i = 0; i < 300 && !floor.GetQuessa()->GetQueue().empty(); ++i)
        Idle(16);

    // The phone: the pointing hand clicks, she walks there and picks it up.
    const TPoint call = PointOn(floor, &phone);
    Send(TEvent::kMouseMove, 0, call.x, call.y);
    EXPECT_EQ(Cursor(), TCursor::kClick) << "a pointing hand over the phone";
    Send(TEvent::kMouseDown, 0, call.x, call.y);
    EXPECT_EQ(Cursor(), TCursor::kClick2) << "it presses as she is sent";
    Send(TEvent::kMouseUp, 0, call.x, call.y);
    TWindow* bubble = Find("phonebox4");  // busboy, drink server, hostess and the blimp's singer
    ASSERT_NE(bubble, nullptr);
    for (int i = 0; i < 400 && !bubble->IsVisible(); ++i)
        Idle(16);
    ASSERT_TRUE(bubble->IsVisible());
    EXPECT_FALSE(Find("phonebox2")->IsVisible());
    EXPECT_FALSE(Find("phonebox3")->IsVisible());
    TWindow* busser = bubble->GetChildWindow("phone1", -1);
    ASSERT_NE(busser, nullptr);
    ASSERT_TRUE(busser->IsVisible());
    for (const char* name : {"phone2", "phone3", "phone4"})
        EXPECT_TRUE(bubble->GetChildWindow(name, -1)->IsVisible()) << name;

    ClickThroughGame(busser);
    Idle(16);
    TBusBoy& busBoy = floor.GetStaff().BusBoy();
    EXPECT_TRUE(busBoy.IsActive()) << "the busboy came";
    EXPECT_FALSE(phone.IsPresent()) << "the phone is gone for the level";
    EXPECT_FALSE(bubble->IsVisible());
    EXPECT_EQ(floor.GetState(), kPlaying);

    // He takes the check when the party asks for it (she brings the dessert
    // they want first), and carries the dishes it leaves to the cart.
    const int checks = floor.GetScoreManager()->GetChecksCollected();
    const int loads = floor.GetDishCart().GetLoadCount();
    bool dessertSent = false, paid = false;
    for (int i = 0; i < 60 * 70 && floor.GetDishCart().GetLoadCount() == loads; ++i) {
        Idle(16);
        if (table->PartyState() == kStateWantsDessert && !dessertSent) {
            dessertSent = true;
            for (IStation* station : {static_cast<IStation*>(&floor.GetDessertStation()), static_cast<IStation*>(table)}) {
                const TPoint at = PointOn(floor, station);
                Send(TEvent::kMouseMove, 0, at.x, at.y);
                Send(TEvent::kMouseDown, 0, at.x, at.y);
                Send(TEvent::kMouseUp, 0, at.x, at.y);
            }
        }
        paid = paid || table->PartyState() == kStatePaying;
    }
    EXPECT_TRUE(paid) << "the check was taken";
    EXPECT_EQ(floor.GetScoreManager()->GetChecksCollected(), checks) << "by him, not by her";
    EXPECT_GT(floor.GetDishCart().GetLoadCount(), loads) << "he carried the dishes to the cart";
    EXPECT_FALSE(table->HasDishes());
}
