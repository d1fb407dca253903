// The floor drawn where it changed, on GL (Mesa under Xvfb), while the
// waitress carries an order ticket and dirty dishes and while the decor
// choice offers its upgrades: the order wheel and the dish cart pulse a glow
// over themselves every frame, the tables and chairs show their upgraded
// look over the plain one. Each piece shows the pixels of its frames drawn
// from the animation's own surface, as it always has; frame after frame the
// floor is drawn only where it changed (nothing is written into a texture
// the frame already drew from), and every such frame has the pixels of the
// same frame drawn whole.
#include "floorbot.h"
#include "gameshot.h"

#include "engine/base/clock.h"
#include "engine/base/xml.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/glstats.h"
#include "engine/script/animation.h"
#include "game/floor/carryables.h"
#include "game/floor/dishcart.h"
#include "game/floor/floorart.h"
#include "game/floor/quessa.h"
#include "game/floor/ticketstation.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/play/restaurant.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using TShot = std::vector<testimages::Rgba>;

constexpr float kFrame = 1.0f / 60;
constexpr int kRecordedFrames = 24;

bool gDisplay = false;
bool gKeepsWindow = false;
TPlatform* gPlatform = nullptr;
TGLDisplayHandler* gHandler = nullptr;
TXmlNode* gGlobals = nullptr;
// Per restaurant and case, what the run found; checked by the test afterwards.
std::map<std::string, std::string> gFound;

bool Same(const TShot& a, const TShot& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
}

// One frame drawn by `draw` into the screen framebuffer, whole, and read back.
TShot Shoot(const std::function<void()>& draw)
{
    gPlatform->BeginDraw(false);
    gPlatform->Begin2d();
    draw();
    gPlatform->End2d();
    TShot shot = gameshot::ReadScreen(gHandler->GetScreenFramebuffer());
    gPlatform->EndDraw(true);
    return shot;
}

// A piece's glow as it was always drawn: the frame, then the frame after it
// over it, both from the animation's own surface.
void DrawFramesFromTheSurface(const char* file, int frame, TPoint at, float glowAlpha)
{
    TAnimation reference;
    reference.Init(file, "", "");
    reference.SetCurrentFrame(frame);
    reference.Draw(float(at.x), float(at.y), 1.0f, 1.0f, 0.0f, 0);
    reference.SetCurrentFrame(frame + 1);
    reference.Draw(float(at.x), float(at.y), glowAlpha, 1.0f, 0.0f, 0);
}

// The level the settings name, in play, its intro and tutorial skipped.
struct TFloor {
    TLevelEventLog host;
    TScoreManager score;
    TGameData floor{gGlobals, &score, &host.events};
    TAnimatedTextureCache cache{100, 120, 80};
    bool playing = PlayToFirstFrame(floor);
};

// Frames of the floor straight to the window, each after `step`, recorded
// and drawn where they changed: how many were drawn whole after the first
// two (the first draws everything, the second may still meet new pictures),
// and whether every frame drawn in part had the pixels of the same frame
// drawn whole.
std::string RecordedFrames(TFloor& f, const std::function<void()>& step)
{
    gHandler->SetStraightToWindow(true);
    const int mismatchesBefore = gHandler->GetPartialFrameMismatches();
    TGLDrawStats settled;
    std::int64_t redrawnFrames = 0;
    for (int n = 0; n < kRecordedFrames; ++n) {
        if (n == 2)
            settled = GLDrawStats();
        step();
        gPlatform->BeginDraw(false);
        f.cache.Reset();
        const std::int64_t redrawnBefore = GLDrawStats().redrawnPixels;
        DrawFloor(f.floor, &f.cache, nullptr, nullptr);
        gPlatform->EndDraw(true);
        redrawnFrames += n >= 2 && GLDrawStats().redrawnPixels > redrawnBefore;
    }
    gHandler->SetStraightToWindow(false);
    const std::int64_t whole = GLDrawStats().wholeFrames - settled.wholeFrames;
    const int mismatches = gHandler->GetPartialFrameMismatches() - mismatchesBefore;
    return std::to_string(whole) + " drawn whole, " + std::to_string(redrawnFrames) + " redrawn somewhere, " +
           std::to_string(mismatches) + " unlike whole";
}

void CheckRestaurant(int restaurant)
{
    TSettings* settings = TSettings::GetInstance();
    settings->SetCurrentRestaurant(restaurant);
    settings->SetCurrentLevel(0);
    gPlatform->SeedRand(11);
    TFloor f;
    TQuessa* her = f.floor.GetQuessa();
    TTicketStation& wheel = f.floor.GetTicketStation();
    TDishCart& cart = f.floor.GetDishCart();
    const std::string name = std::to_string(restaurant);
    gFound[name + " in play"] = f.playing ? "yes" : "no";
    const auto pulse = [&] {
        wheel.Update(kFrame, her);
        cart.Update(kFrame, her);
    };

    // A quarter second into the pulse: the glow at half strength.
    her->PickupItem(kCarryTicket, 0, 0);
    her->PickupItem(kCarryDishes, 1, 0);
    for (int n = 0; n < 15; ++n)
        pulse();
    const float glow = floorart::Pulse(wheel.GetTicketTime());
    const char* cartFile = restaurant == 4 ? "furniture/dishcart_fancy.anm" : "furniture/dishcart.anm";
    const TShot wheelNow = Shoot([&] { wheel.Draw(); });
    const TShot wheelBefore =
        Shoot([&] { DrawFramesFromTheSurface("furniture/ticketstation.anm", 0, wheel.GetStandingSpot(), glow); });
    gFound[name + " wheel"] = Same(wheelNow, wheelBefore) ? "same pixels" : "other pixels";
    const TShot cartNow = Shoot([&] { cart.Draw(); });
    const TShot cartBefore = Shoot([&] { DrawFramesFromTheSurface(cartFile, cart.GetFrame(), cart.GetStandingSpot(), glow); });
    gFound[name + " cart"] = Same(cartNow, cartBefore) ? "same pixels" : "other pixels";

    gFound[name + " carrying"] = RecordedFrames(f, pulse);

    her->DropItem(kCarryTicket, -1);
    her->DropItem(kCarryDishes, -1);
    TRestaurant& room = f.floor.GetStaff().Restaurant();
    room.EnterUpgradeMode();
    gFound[name + " decor offered"] = RecordedFrames(f, [&] {
        pulse();
        room.Update(kFrame);
    });
    room.LeaveUpgradeMode();
}

void FloorFramesMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    gPlatform = platform;
    gHandler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    if (!gDisplay || !gHandler)
        return;
    gKeepsWindow = gHandler->KeepsWindowAcrossSwaps();
    if (!gKeepsWindow)
        return;
    gHandler->SetCheckPartialFrames(true);
    TSettings::CreateSettings();
    TSettings* settings = TSettings::GetInstance();
    settings->CreateNewUser("Frames");
    settings->SetCurrentUser(0, true);
    // The game clock stands still: only the pulses the test steps move.
    settings->GetGameClock()->Start();
    settings->GetGameClock()->Pause();
    TXmlNode globals;
    globals.ParseString(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str());
    TXmlNode* root = globals.GetChild("dataroot");
    gGlobals = root ? root->GetChild("globals") : nullptr;
    for (int restaurant = 0; restaurant < 5; ++restaurant)
        CheckRestaurant(restaurant);
    TSettings::DeleteSettings();
}

TEST(FloorFramesGLTest, GlowingPiecesKeepTheirPixelsAndTheFloorIsDrawnOnlyWhereItChanged)
{
    char name[] = "floorframes_gl_test";
    char* argv[] = {name, nullptr};
    gameshot::RunOnGameData(1, argv, "qm-floorframes-gl-test", FloorFramesMain);
    ASSERT_TRUE(gDisplay);
    if (!gKeepsWindow)
        GTEST_SKIP() << "this GL's swap may not keep the back buffer: every frame is drawn whole";
    const std::string settled = "0 drawn whole, " + std::to_string(kRecordedFrames - 2) + " redrawn somewhere, 0 unlike whole";
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        const std::string r = std::to_string(restaurant);
        SCOPED_TRACE("restaurant " + r);
        EXPECT_EQ(gFound[r + " in play"], "yes");
        EXPECT_EQ(gFound[r + " wheel"], "same pixels");
        EXPECT_EQ(gFound[r + " cart"], "same pixels");
        EXPECT_EQ(gFound[r + " carrying"], settled);
        EXPECT_EQ(gFound[r + " decor offered"], settled);
    }
}

}  // namespace
