// Draws the score pictures of a level in play on the GL display from the
// game's own data folder: score bubbles with chain captions, a colour-match
// bonus, a walk-out penalty and tip coins in flight, the coin jar flashing
// past the goal, and the tutorial's first step with its box and arrows;
// writes the frame as a PNG to look at.
//
//     xvfb-run -a build/tests/game/screenshots/play_screenshot play.png
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/rules/levelgoals.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"
#include "game/screens/coinjar.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace testimages;

namespace {

std::string gOut;
int gResult = 1;

struct TGoals : ILevelGoals {
    int GetCurrentGoal() const override { return 1000; }
    int GetCurrentExpert() const override { return 2000; }
};

void ShotMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false) || !platform->GetDisplayHandler()) {
        std::fprintf(stderr, "no display\n");
        return;
    }
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TSettings::CreateSettings();
    TSettings::GetInstance()->GetGameClock()->Start();
    {
        TScoreManager score;
        TCoinJar jar;
        jar.SetWindowPos(690, 470);
        jar.SetWindowSize(84, 104);
        TTutorial tutorial;
        tutorial.SetActive(true);
        tutorial.AdvanceState(kTutorialPartyArrives, -1);
        score.SetCoinJar(&jar);
        score.StartLevel();
        for (int i = 0; i < 3; ++i)
            score.ScoreAction(kScoreFood, 170 + 190.0f * i, 540);
        score.ChairBonus(3, 1, 600, 420);
        score.Penalize(-150, 200, 440);
        score.ScoreAction(kScoreCheck, 420, 420);
        score.Tip(15, 620, 300);
        score.Tip(20, 660, 330);
        score.SetScore(1600);
        TGoals goals;
        TEvent event;
        for (int frame = 0; frame < 10;) {
            platform->GetEvent(&event);
            if (event.mType == TEvent::kQuit)
                break;
            if (event.mType != TEvent::kIdle || !platform->BeginDraw(false))
                continue;
            ++frame;
            score.Update(0.02f);
            jar.Update(0.02f, &score, &goals);
            platform->Begin2d();
            TColor floor{0.55f, 0.7f, 0.8f, 1};
            platform->FillRect(0, 0, 800, 600, &floor);
            platform->End2d();
            jar.Draw();
            score.Draw();
            tutorial.Draw();
            if (frame == 10) {
                const std::vector<Rgba> pixels = gameshot::ReadScreen(handler->GetScreenFramebuffer());
                WritePng(gOut, 800, 600, PngKind::Rgb, pixels);
                std::printf("wrote %s\n", gOut.c_str());
                gResult = 0;
            }
            platform->EndDraw(true);
        }
    }
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = argc > 1 ? std::filesystem::absolute(argv[1]).string() : std::filesystem::absolute("play.png").string();
    const std::filesystem::path home = gameshot::FreshTemporaryFolder("qm-play-screenshot");
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    // The game's assets, with points per action of this picture's own (the
    // game's table is not part of this folder's data).
    namespace fs = std::filesystem;
    const fs::path work = home / "work";
    fs::create_directories(work / "assets/config");
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(QM_DATA_DIR) / "assets"))
        if (entry.path().filename() != "config")
            fs::create_symlink(entry.path(), work / "assets" / entry.path().filename());
    std::FILE* points = std::fopen((work / "assets/config/actionpoints.xml").c_str(), "w");
    if (points) {
        std::fputs("<dataroot><actionpoints><food>100</food><check>40</check></actionpoints></dataroot>\n", points);
        std::fclose(points);
    }
    setenv("CORVELLATRIP_DATA", work.c_str(), 1);  // the engine makes it the working folder
    fs::current_path(work);
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, ShotMain, false);
    return gResult;
}
