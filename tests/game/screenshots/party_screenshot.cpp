// Draws a dining floor from the game's data folder: every customer type
// seated at tables and the bar in the five party colours, in the states
// that show their props (menus, food, the number badge, a dessert thought,
// anger), a party waiting in line and one on the bench. Writes the frame as
// a PNG and checks in the read-back that every seated figure shows.
//
//     xvfb-run -a build/tests/game/screenshots/party_screenshot party.png
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/floor/bar.h"
#include "game/floor/bench.h"
#include "game/floor/noisering.h"
#include "game/floor/party.h"
#include "game/floor/table.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using namespace testimages;

namespace {

std::string gOut;
int gResult = 1;
const TColor kFloor{0.93f, 0.86f, 0.74f, 1};

struct TSeating {
    std::vector<const char*> figures;
    std::vector<int> colours;
    eCustomerStates state;
    int hearts;  // lost from the six it starts with: below 0 loses, above gains
};

// A party of these figures that stays in whatever state it is put in.
std::unique_ptr<TParty> MakeParty(int id, const TSeating& seating)
{
    const std::vector<const char*>& figures = seating.figures;
    TCustomerDef d{};
    std::strncpy(d.graphicType, figures[0], kCustomerGraphicNameSize - 1);
    for (int slot = 0; slot < kCustomerGraphicOverrides; ++slot)
        std::strncpy(d.graphicOverride[slot], figures[std::min<size_t>(slot, figures.size() - 1)],
                     kCustomerGraphicNameSize - 1);
    d.minStatePeriodMS = 600000;
    d.noiseMood = -100;
    for (int s = 0; s < kCustomerStates; ++s)
        d.states[s] = {s == 0 || s == 2 || s == 3 || s == 5 || s == 7, 0, 600000, 600000};
    return std::make_unique<TParty>(id, static_cast<int>(figures.size()), seating.colours.data(), d, 0);
}

void Seat(TEatingStation& station, std::unique_ptr<TParty> party, const TSeating& seating, TNoiseRingList& rings)
{
    TParty* p = party.get();
    p->SetInLine({100, 560}, true);
    const TRect member = p->MembersInBuildOrder().front()->BoundingBox();
    p->PickupParty({member.x1 + member.Width() / 2, member.y1 + member.Height() / 2});
    const TChair* first = station.GetChair(station.GetFirstSeat());
    const TRect chair = first ? first->BoundingBox() : TRect{};
    p->PickSeats({chair.x1 + chair.Width() / 2, chair.y1 + chair.Height() / 2}, &station);
    station.AdoptParty(std::move(party), nullptr);
    p->SetState(seating.state);
    if (seating.hearts > 0)
        p->HeartBoost(seating.hearts, false);
    else if (seating.hearts < 0)
        p->LoseHeart(-seating.hearts, -1, rings);
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
    settings->GetGameClock()->Start();
    settings->SetCurrentRestaurant(0);
    {
        const int chairs6[] = {kColorRed, kColorBlue, kColorGreen, kColorYellow, kColorPurple, kColorGrey};
        const int chairs4[] = {kColorGreen, kColorGreen, kColorYellow, kColorBlack};
        const int chairs2[] = {kColorPurple, kColorRed};
        const int stools[TBar::kStools] = {kColorRed, kColorBlue, kColorGreen, kColorYellow,
                                           kColorPurple, kColorGrey, kColorGrey, kColorBlack};
        TTable six("restaurants/cruise/", 0, 6, chairs6, {150, 200});
        TTable four("restaurants/cruise/", 1, 4, chairs4, {400, 170});
        TTable pair("restaurants/cruise/", 2, 2, chairs2, {400, 390});
        TTable tourists("restaurants/cruise/", 3, 2, chairs2, {170, 420});
        TBar bar(stools, {700, 300});
        TBench bench;
        bench.shown = true;
        bench.location = {560, 500};
        TNoiseRingList rings;

        const std::vector<TSeating> seatings = {
            {{"young_female", "old_male", "business_female", "bookworm_female", "cellphone_male", "fitness_female"},
             {kColorRed, kColorBlue, kColorGreen, kColorYellow, kColorPurple, kColorRed}, kStateEating, 2},
            {{"dad_male", "mom_female", "kid_male"}, {kColorGreen, kColorGreen, kColorYellow}, kStateDeciding, 0},
            {{"lovebird_female", "lovebird_male"}, {kColorPurple, kColorRed}, kStateWantsDessert, 3},
            {{"tourist_male", "tourist_female"}, {kColorBlue, kColorYellow}, kStateWaitingForFood, -4},
            {{"business_female", "young_female", "old_male"}, {kColorYellow, kColorBlue, kColorPurple}, kStateReadyToOrder, -1},
        };
        TEatingStation* stations[] = {&six, &four, &pair, &tourists, bar.Stations().front().get()};
        std::vector<TParty*> seated;
        for (size_t i = 0; i < seatings.size(); ++i) {
            auto party = MakeParty(static_cast<int>(i) + 1, seatings[i]);
            seated.push_back(party.get());
            Seat(*stations[i], std::move(party), seatings[i], rings);
        }
        bar.SplitEatingStation(stations[4]);

        auto line = MakeParty(10, {{"fitness_female", "cellphone_male"}, {kColorGreen, kColorPurple}, kStateWaitingInLine, 0});
        line->SetInLine({300, 560}, true);
        auto benched = MakeParty(11, {{"kid_male", "bookworm_female"}, {kColorRed, kColorBlue}, kStateWaitingInLine, 0});
        benched->SitOnBench(&bench, 0, 1.0f);

        TAnimatedTextureCache cache(128, 128, 32);
        TEvent event;
        for (int frame = 0; frame < 12;) {
            platform->GetEvent(&event);
            if (event.mType == TEvent::kQuit)
                break;
            if (event.mType != TEvent::kIdle || !platform->BeginDraw(false))
                continue;
            ++frame;
            for (TTable* table : {&six, &four, &pair, &tourists})
                table->Update(0.05f, nullptr, {}, rings, false, true, 0);
            for (const auto& station : bar.Stations())
                station->Update(0.05f, nullptr, {}, rings, false, true, 0);
            line->Update(0.05f, {}, rings, false, false);
            benched->Update(0.05f, {}, rings, false, false);
            platform->Begin2d();
            platform->FillRect(0, 0, 800, 600, &kFloor);
            platform->End2d();
            bench.Draw();
            benched->DrawLegs();
            benched->Draw(&cache, false);
            benched->DrawHearts();
            for (TTable* table : {&six, &four, &pair, &tourists})
                table->Draw(&cache, 0, 0);
            bar.Draw(&cache);
            line->DrawLegs();
            line->Draw(&cache, false);
            line->DrawHearts();
            if (frame == 12) {
                const std::vector<Rgba> pixels = gameshot::ReadScreen(handler->GetScreenFramebuffer());
                WritePng(gOut, 800, 600, PngKind::Rgb, pixels);
                std::printf("wrote %s\n", gOut.c_str());
                // Every seated figure covers its own position.
                int shown = 0, figures = 0;
                for (TParty* party : seated)
                    for (TCustomer* member : party->DrawList()) {
                        ++figures;
                        const int x = static_cast<int>(member->GetPosition().x);
                        const int y = static_cast<int>(member->GetPosition().y);
                        const Rgba seen = pixels[static_cast<size_t>(y * 800 + x)];
                        const bool floor = std::abs(seen.r - 237) < 4 && std::abs(seen.g - 219) < 4;
                        shown += floor ? 0 : 1;
                    }
                std::printf("%d of %d seated figures drawn\n", shown, figures);
                gResult = shown == figures ? 0 : 1;
            }
            platform->EndDraw(true);
        }
    }
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = argc > 1 ? std::filesystem::absolute(argv[1]).string() : std::filesystem::absolute("party.png").string();
    gameshot::RunOnGameData(argc, argv, "qm-party-screenshot", ShotMain);
    return gResult;
}
