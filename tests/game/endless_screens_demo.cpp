// The game with a stand-in for the play screen, so the upgrade screen and the
// hiscore screen can be driven from outside (tests/game/endless_e2e.sh) before
// the game window exists: SetupUpgradeScreen fills the picker from a
// recording game, whose effects are written to stderr as "applied: ...".
// The player "Ann" and one endless score are made on the first call.
// UPGRADE_DEMO_BOUGHT=N starts the run with N levels of every upgrade bought,
// so that the picker shows the later levels' offers.
#include "recording_game.h"

#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "game/app/gameapp.h"
#include "game/screens/upgradepicker.h"
#include "game/settings/settings.h"
#include "online/hiscores.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<RecordingGame> gGame;

void BuyEveryUpgrade(int levels)
{
    for (int i = 0; i < gGame->upgrades.Count(); ++i) {
        TUpgrade* upgrade = gGame->upgrades.GetUpgrade(i);
        upgrade->level = std::clamp(levels, 0, int(upgrade->levels.size()));
    }
}

void PrepareEndlessRun()
{
    TSettings* settings = TSettings::GetInstance();
    if (settings->GetNumUsers() == 0)
        settings->CreateNewUser("Ann");
    settings->SetCurrentUser(0, true);
    settings->SetCurrentLevel(0);
    settings->SetCurrentGameMode(TSettings::kEndlessMode);
    settings->GetHiscores()->LogScore(12450, "rest:4", "", false);
    gGame = std::make_unique<RecordingGame>();
    gGame->listener = [](const std::string& effect) { std::fprintf(stderr, "applied: %s\n", effect.c_str()); };
    if (const char* bought = std::getenv("UPGRADE_DEMO_BOUGHT"))
        BuyEveryUpgrade(std::atoi(bought));
}

int LuaSetupUpgradeScreen(lua_State*)
{
    if (!gGame)
        PrepareEndlessRun();
    else
        ++gGame->shift;
    TWindow* found = TWindowManager::GetInstance()->GetTopModalWindow()->GetChildWindow("upgradepicker", -1);
    if (auto* picker = found ? found->GetCast<TUpgradePicker>() : nullptr)
        picker->PickUpgrades(gGame.get(), false);
    return 0;
}

void DemoMain(TPlatform* platform, const char* commandLine)
{
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::Publish(script->GetState(), "SetupUpgradeScreen", "upgrade demo", nullptr, LuaSetupUpgradeScreen);
    Main(platform, commandLine);
    gGame.reset();
}

}  // namespace

int main(int argc, char** argv)
{
    qm::InstallGLDisplayHost();
    qm::InstallSoundHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, DemoMain, false);
    return 0;
}
