// The career screens drawn by the real engine on GL from the game's data
// folder, each written as a PNG: the restaurant map of a player part-way
// through the second restaurant, the first page of the first comic, the
// closing comic, the wardrobe and the credits. The run fails when a picture is blank or one colour.
#include "engine/base/task.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glheaders.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/screen.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/screens/quessascloset.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace testimages;

namespace {

std::string gOutDir;
int gResult = 0;

void Frame(TPlatform* platform, TWindowManager* manager)
{
    // The platform's tasks (animations), run directly: GetEvent's idle pass
    // sleeps longer and longer while the window has no focus.
    platform->GetTaskList()->DoAll(TTask::kEventContext);
    manager->GetScreen()->InvalidateRect(nullptr);
    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);
}

void Shoot(TPlatform* platform, TWindowManager* manager, GLuint framebuffer, const char* name)
{
    // Two frames: the first lays the screen out and starts what it runs,
    // the second is the one read back. (Drawing more only costs time: the
    // software renderer is most of this program's run.)
    for (int i = 0; i < 2; ++i)
        Frame(platform, manager);
    const std::vector<Rgba> pixels = gameshot::ReadScreen(framebuffer);
    const std::string path = gOutDir + "/" + name + ".png";
    WritePng(path, 800, 600, PngKind::Rgb, pixels);
    std::set<unsigned> colours;
    for (const Rgba& p : pixels)
        colours.insert(unsigned(p.r) << 16 | unsigned(p.g) << 8 | p.b);
    std::printf("wrote %s (%zu colours)\n", path.c_str(), colours.size());
    if (colours.size() < 50)
        gResult = 1;
}

void ShotMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false) || !platform->GetDisplayHandler()) {
        std::fprintf(stderr, "no display\n");
        gResult = 1;
        return;
    }
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TWindowManager* manager = platform->GetWindowManager();
    TWindowScript* script = TWindowScript::Get();
    TSettings* settings = TSettings::CreateSettings();
    if (!handler || !manager || !script || !settings) {
        gResult = 1;
        return;
    }
    game::RegisterWindowTypes();
    // The clothing colours, which the game's start-up reads before its first
    // screen (no cursor: the pictures show none).
    TQuessaColors colours;
    settings->CreateNewUser("Ann");
    settings->UnlockLevel(0, 0);
    for (int n = 0; n < 13; ++n) {
        settings->RecordLevelScore(n / 10, n % 10, 4000 + 150 * n, n % 3 == 0);
        settings->UnlockLevel((n + 1) / 10, (n + 1) % 10);
    }
    settings->SetLastCareerLevel(13);
    const GLuint fb = handler->GetScreenFramebuffer();
    script->RunLuaText("PushModal('map') ReadFile('scripts/chooserestaurant.lua')");
    Shoot(platform, manager, fb, "map");
    script->RunLuaText("DoPopModal()");
    settings->SetCurrentRestaurant(0);
    script->RunLuaText("PushModal('comic') ReadFile('scripts/comic_1_1.lua')");
    Shoot(platform, manager, fb, "comic");
    script->RunLuaText("DoPopModal()");
    settings->SetCurrentRestaurant(5);
    script->RunLuaText("PushModal('finale') ReadFile('scripts/comic_6_1.lua')");
    Shoot(platform, manager, fb, "comic_finale");
    script->RunLuaText("DoPopModal()");
    settings->AddNewClothing("top2");
    settings->SetClothing(2, "assets/quessa/top2.anm", "teal");
    settings->SetClothing(4, "assets/quessa/accessory1.anm", "red");
    script->RunLuaText("PushModal('closet') ReadFile('scripts/quessascloset.lua')");
    Shoot(platform, manager, fb, "wardrobe");
    // The wardrobe offers the tops she owns, in the colours of the list.
    TWindow* closetScreen = manager->GetTopModalWindow()->GetChildWindow("closetscreen", -1);
    auto* closet = closetScreen ? ::GetCast<TQuessasCloset>(closetScreen->GetChildWindow("closet", -1)) : nullptr;
    if (!closet || closet->GetSlot(TQuessa::kTop).items.empty()) {
        std::fprintf(stderr, "the wardrobe offers no top\n");
        gResult = 1;
    }
    script->RunLuaText("DoPopModal()");
    // The whole career won: every restaurant has dressed her in something,
    // the last piece coming with the last level.
    for (int n = 13; n < 50; ++n) {
        settings->RecordLevelScore(n / 10, n % 10, 4000 + 150 * n, false);
        if (n + 1 < 50)
            settings->UnlockLevel((n + 1) / 10, (n + 1) % 10);
    }
    settings->SetLastCareerLevel(49);
    script->RunLuaText("PushModal('map') ReadFile('scripts/chooserestaurant.lua')");
    Shoot(platform, manager, fb, "map_career_won");
    script->RunLuaText("DoPopModal()");
    settings->AddNewClothing("accessory3");
    settings->SetClothing(0, "assets/quessa/shoes3.anm", "red");
    settings->SetClothing(1, "assets/quessa/bottom3.anm", "navy");
    settings->SetClothing(2, "assets/quessa/top3.anm", "pink");
    settings->SetClothing(3, "assets/quessa/apron3.anm", "white");
    settings->SetClothing(4, "assets/quessa/accessory3.anm", "yellow");
    script->RunLuaText("PushModal('closet') ReadFile('scripts/quessascloset.lua')");
    Shoot(platform, manager, fb, "wardrobe_career_won");
    closetScreen = manager->GetTopModalWindow()->GetChildWindow("closetscreen", -1);
    closet = closetScreen ? ::GetCast<TQuessasCloset>(closetScreen->GetChildWindow("closet", -1)) : nullptr;
    for (int slot = 0; slot < 5; ++slot)
        if (!closet || closet->GetSlot(TQuessa::EClothingItems(slot)).items.size() < 3) {
            std::fprintf(stderr, "the won career leaves slot %d without its third item\n", slot);
            gResult = 1;
        }
    script->RunLuaText("DoPopModal()");
    script->RunLuaText("PushModal('credits') ReadFile('scripts/credits.lua')");
    Shoot(platform, manager, fb, "credits");
    script->RunLuaText("DoPopModal()");
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOutDir = std::filesystem::absolute(argc > 1 ? argv[1] : ".").string();
    std::filesystem::create_directories(gOutDir);
    gameshot::RunOnGameData(argc, argv, "qm-career-screenshot", ShotMain);
    return gResult;
}
