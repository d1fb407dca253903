// Draws the restaurant floor's own pieces on the GL display from the game's
// data folder: the kitchen (ticket spike, food stations with a ready tray,
// the cook), the service shelves and the dish cart, the waitress of the game
// floor in the default outfit carrying two items with checkmarks on her
// queued stations, a second figure in another outfit and other colours, and
// the spaceship's waitress walking to the cart with her robot behind her. Writes the frame as a PNG and
// checks in the read-back that each figure shows her own colours.
//
//     xvfb-run -a build/tests/game/screenshots/floor_screenshot floor.png
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/floor/chef.h"
#include "game/floor/dishcart.h"
#include "game/floor/floorview.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/floor/shelves.h"
#include "game/floor/ticketstation.h"
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

std::string gOut;
int gResult = 1;

struct TShotFloor : IFloorView {
    IStation* FindStation(int id) override
    {
        for (IStation* s : stations)
            if (s->StationId() == id)
                return s;
        return nullptr;
    }
    std::vector<ITableView*> EatingStations() override { return {}; }
    std::vector<TFoodStation*> FoodStations() override { return food; }
    std::vector<IStation*> stations;
    std::vector<TFoodStation*> food;
};

// Where the figures stand (their feet).
const TVec2 kGameWaitress{250, 540};
const TVec2 kSecondFigure{430, 540};
// A pixel of the blouse's plain front, from her feet (the rig's torso).
const TPoint kBlouse{-6, -46};

// The colour a marked pixel of lightness l takes with a named colour.
Rgba Tinted(str colour, float lightness)
{
    const TColorEntry* entry = TQuessaColors::Find(colour);
    if (!entry)
        return Rgba{0, 0, 0, 255};
    return Rgba{std::uint8_t(lightness * entry->r * 255), std::uint8_t(lightness * entry->g * 255),
                std::uint8_t(lightness * entry->b * 255), 255};
}

bool Near(const Rgba& a, const Rgba& b)
{
    return std::abs(a.r - b.r) <= 16 && std::abs(a.g - b.g) <= 16 && std::abs(a.b - b.b) <= 16;
}

bool CheckBlouse(const std::vector<Rgba>& pixels, const char* who, TVec2 feet, str colour)
{
    const int x = int(feet.x) + kBlouse.x, y = int(feet.y) + kBlouse.y;
    const Rgba seen = pixels[std::size_t(y * 800 + x)];
    const Rgba want = Tinted(colour, 209.0f / 255.0f);
    std::printf("%s blouse at (%d, %d): %d %d %d, %s gives %d %d %d\n", who, x, y, seen.r, seen.g, seen.b,
                colour.c_str(), want.r, want.g, want.b);
    return Near(seen, want);
}

void DrawScene(TPlatform* platform, std::vector<IStation*>& stations, TChef& cook, TQuessa& game, TQuessa& second,
               TQuessa& robotWaitress)
{
    platform->Begin2d();
    TColor floor{0.93f, 0.86f, 0.74f, 1};
    platform->FillRect(0, 0, 800, 600, &floor);
    TColor counter{0.55f, 0.42f, 0.33f, 1};
    platform->FillRect(0, 0, 800, 150, &counter);
    cook.Draw();  // between the back wall and the counter's stations
    for (IStation* station : stations) {
        if (auto* s = dynamic_cast<TTicketStation*>(station))
            s->Draw();
        else if (auto* f = dynamic_cast<TFoodStation*>(station))
            f->Draw();
        else if (auto* shelf = dynamic_cast<TShelfStation*>(station))
            shelf->Draw();
        else if (auto* cart = dynamic_cast<TDishCart*>(station))
            cart->Draw();
    }
    game.DrawDestinations();
    game.Draw(false);
    second.Draw(false);
    robotWaitress.Draw(true);  // its ground point lies above her feet: behind her
    robotWaitress.Draw(false);
    platform->End2d();
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
    settings->GetGameClock()->Start();
    {
        // The spaceship's waitress first: her props and robot come from there.
        settings->SetCurrentRestaurant(4);
        TQuessa robotWaitress(nullptr);
        robotWaitress.Reset();
        settings->SetCurrentRestaurant(0);

        TShotFloor shotFloor;
        TTicketStation spike;
        spike.SetFloor(&shotFloor);
        std::vector<std::unique_ptr<TFoodStation>> counter;
        for (int i = 0; i < 5; ++i)
            counter.push_back(std::make_unique<TFoodStation>(1.0f, 0.0f, 1.0f, TPoint{360 + 50 * i, 150}));
        counter[0]->PlaceOrder(2, 0);
        counter[1]->PlaceOrder(100, 0);
        counter[4]->PlaceOrder(5, 0);
        counter[0]->Update(1.0f, nullptr);
        counter[1]->Update(1.0f, nullptr);
        TChef cook;
        TDessertStation desserts;
        TSnackStation snacks;
        TDrinkStation drinks;
        THighChairStation chairs;
        TMopStation mop;
        TDishCart cart({80, 330});
        for (TShelfStation* shelf : std::initializer_list<TShelfStation*>{&desserts, &snacks, &drinks, &chairs, &mop})
            shelf->SetEnabled(true);
        drinks.ForceActive();
        cart.DropOffDishes(1);
        std::vector<IStation*> stations{&spike, &desserts, &snacks, &drinks, &chairs, &mop, &cart};
        for (auto& f : counter) {
            stations.push_back(f.get());
            shotFloor.food.push_back(f.get());
        }
        shotFloor.stations = stations;

        TQuessa game(nullptr);
        game.SetFloor(&shotFloor);
        game.Reset();
        game.SetPosition(kGameWaitress);
        game.PickupItem(kCarryTicket, 3, 0);
        game.PickupItem(kCarryFood, 2, 0);
        game.AddDestination(&spike, 0, -35);
        game.AddDestination(counter[0].get(), 0, -35);
        game.AddDestination(counter[0].get(), 0, -35);

        TQuessa second(nullptr);
        second.Reset();
        second.SetPosition(kSecondFigure);
        second.PutOnClothing(TQuessa::kTop, "assets/quessa/top1.anm", "red");
        second.PutOnClothing(TQuessa::kBottom, "assets/quessa/bottom1.anm", "black");
        second.PutOnClothing(TQuessa::kShoes, "assets/quessa/shoes1.anm", "white");
        second.PutOnClothing(TQuessa::kApron, "<off>", "");
        second.PutOnClothing(TQuessa::kAccessory, "assets/quessa/bow1.anm", "pink");

        // From her place at the level's start she sets off for the dish
        // cart, seen mirrored on the way left; the robot follows her.
        TShotFloor robotFloor;
        robotFloor.stations = {&cart};
        robotWaitress.SetFloor(&robotFloor);
        robotWaitress.AddDestination(&cart, 0, -35);
        robotWaitress.PickupItem(kCarryDessert, 0, 0);
        robotWaitress.PickupItem(kCarryDrink, 1, 0);
        robotWaitress.PickupItem(kCarryDishes, 4, 0);
        robotWaitress.PickupItem(kCarrySnack, 0, 0);

        TEvent event;
        for (int frame = 0; frame < 12;) {
            platform->GetEvent(&event);
            if (event.mType == TEvent::kQuit)
                break;
            if (event.mType != TEvent::kIdle || !platform->BeginDraw(false))
                continue;
            ++frame;
            cook.Update(0.1f, shotFloor.food);
            if (frame <= 8)  // halfway along her way left
                robotWaitress.Update(0.05f, {});
            desserts.Update(0.1f, {}, nullptr);
            DrawScene(platform, stations, cook, game, second, robotWaitress);
            if (frame == 12) {
                const std::vector<Rgba> pixels = gameshot::ReadScreen(handler->GetScreenFramebuffer());
                WritePng(gOut, 800, 600, PngKind::Rgb, pixels);
                std::printf("wrote %s\n", gOut.c_str());
                const bool first = CheckBlouse(pixels, "game floor waitress", kGameWaitress, "default_top");
                const bool other = CheckBlouse(pixels, "second figure", kSecondFigure, "red");
                gResult = first && other ? 0 : 1;
            }
            platform->EndDraw(true);
        }
    }
    colours.reset();
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = argc > 1 ? std::filesystem::absolute(argv[1]).string() : std::filesystem::absolute("floor.png").string();
    gameshot::RunOnGameData(argc, argv, "qm-floor-screenshot", ShotMain);
    return gResult;
}
