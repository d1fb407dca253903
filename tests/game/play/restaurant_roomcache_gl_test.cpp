// The restaurant's composed room on GL (Mesa under Xvfb): drawn from its
// composition, every restaurant's room has the pixels of drawing it layer by
// layer; a decor picked or taken away composes it again before the next
// frame (a stale room would go on showing the old decor), and a frame
// without a change composes nothing.
#include "gameshot.h"

#include "engine/base/clock.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "game/play/restaurant.h"
#include "game/settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using TShot = std::vector<testimages::Rgba>;

bool gDisplay = false;
// Per restaurant, what each step found; checked by the test afterwards.
std::map<std::string, std::string> gFound;

bool Same(const TShot& a, const TShot& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
}

TShot DrawRoom(TPlatform* platform, TGLDisplayHandler* handler, TRestaurant& room, bool composed)
{
    room.SetRoomCaching(composed);
    platform->BeginDraw(false);
    room.Draw(false);
    TShot shot = gameshot::ReadScreen(handler->GetScreenFramebuffer());
    platform->EndDraw(true);
    return shot;
}

// The first decor slot with a picture of its own (the chairs have none).
int FirstDecorSlot(TRestaurant& room)
{
    for (int slot = 0; slot < TRestaurant::kDecorSlots; ++slot) {
        if (slot == room.ChairSlot())
            continue;
        room.EnableUpgrade(slot, 0);
        const bool has = room.HasDecorImage(slot);
        room.EnableUpgrade(slot, -1);
        if (has)
            return slot;
    }
    return -1;
}

void CheckRestaurant(TPlatform* platform, TGLDisplayHandler* handler, int restaurant)
{
    TSettings::GetInstance()->SetCurrentRestaurant(restaurant);
    TRestaurant room;
    room.Initialize();
    const std::string name = std::to_string(restaurant);
    const int slot = FirstDecorSlot(room);
    gFound[name + " decor slot"] = slot >= 0 ? "found" : "none";

    const TShot bare = DrawRoom(platform, handler, room, false);
    const TShot composed = DrawRoom(platform, handler, room, true);
    gFound[name + " bare room"] = std::string(room.DrewFromRoomCache() ? "composed" : "layers") +
                                  (Same(bare, composed) ? ", same pixels" : ", other pixels");
    const int first = room.RoomCompositions();

    room.EnableUpgrade(slot, 0);  // the decor choice's pick
    const TShot decorated = DrawRoom(platform, handler, room, false);
    const TShot composedDecor = DrawRoom(platform, handler, room, true);
    gFound[name + " decor picked"] = std::string(Same(decorated, bare) ? "decor unseen" : "decor seen") +
                                     (Same(decorated, composedDecor) ? ", same pixels" : ", other pixels");
    DrawRoom(platform, handler, room, true);
    gFound[name + " compositions"] = std::to_string(room.RoomCompositions() - first);

    room.EnableUpgrade(slot, -1);
    gFound[name + " decor taken away"] = Same(DrawRoom(platform, handler, room, true), bare) ? "bare" : "other";

    // While the player chooses, the room is drawn layer by layer.
    room.EnterUpgradeMode();
    DrawRoom(platform, handler, room, true);
    gFound[name + " choosing"] = room.DrewFromRoomCache() ? "composed" : "layers";
    room.LeaveUpgradeMode();
}

void RoomMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    if (!gDisplay || !handler)
        return;
    TSettings::CreateSettings();
    TSettings* settings = TSettings::GetInstance();
    settings->CreateNewUser("Rooms");
    settings->SetCurrentUser(0, true);
    settings->GetGameClock()->Start();
    for (int restaurant = 0; restaurant < 5; ++restaurant)
        CheckRestaurant(platform, handler, restaurant);
    TSettings::DeleteSettings();
}

TEST(RoomCacheGLTest, ComposedRoomMatchesTheLayersAndFollowsEveryDecorChange)
{
    char name[] = "roomcache_gl_test";
    char* argv[] = {name, nullptr};
    gameshot::RunOnGameData(1, argv, "qm-roomcache-gl-test", RoomMain);
    ASSERT_TRUE(gDisplay);
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        const std::string r = std::to_string(restaurant);
        SCOPED_TRACE("restaurant " + r);
        EXPECT_EQ(gFound[r + " decor slot"], "found");
        EXPECT_EQ(gFound[r + " bare room"], "composed, same pixels");
        EXPECT_EQ(gFound[r + " decor picked"], "decor seen, same pixels");
        EXPECT_EQ(gFound[r + " compositions"], "1");
        EXPECT_EQ(gFound[r + " decor taken away"], "bare");
        EXPECT_EQ(gFound[r + " choosing"], "layers");
    }
}

}  // namespace
