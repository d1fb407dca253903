// The level-over board drawn by the real engine on GL over the game screen,
// after career levels played headless by the floor bots: a win with the
// expert mark, a narrow win (the goal, not the expert score), a loss (with
// how far it fell short) and an endless game over with a new best; each written as a PNG (OUTDIR/NAME.png),
// with one picture taken while the results are still gliding in. Each board
// is checked from its windows: the verdict, the rows and their values in
// their places, what the walk-outs cost, the buttons it offers.
// The run fails when a check fails or a picture is blank.
//
//     xvfb-run -a build/tests/game/screenshots/levelover_screenshot build/tests/artefacts/levelover
#include "floorbot.h"

#include "engine/base/task.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"
#include "game/floor/quessacolors.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "game/screens/levelover.h"
#include "game/settings/settings.h"

#include "gameshot.h"
#include "testimages.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

using namespace testimages;

namespace {

constexpr float kFrame = 1.0f / 60;
std::string gOutDir;
int gResult = 0;

struct TCase {
    const char* name;
    int level;   // career level number 1-50; 0 for the easy endless shift of the first restaurant
    int player;  // 0 careful, 1 plain, 2 careless
    bool win, expert;
};

void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "FAIL %s: %s\n", what, detail.c_str());
    gResult = 1;
}

void Frame(TPlatform* platform, TWindowManager* manager)
{
    // The platform's tasks (the slide, the count-up), run directly:
    // GetEvent's idle pass sleeps longer and longer while the window has no
    // focus (as under a shared X server).
    platform->GetTaskList()->DoAll(TTask::kEventContext);
    manager->GetScreen()->InvalidateRect(nullptr);
    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);
}

std::string Text(TWindow* root, const char* name)
{
    auto* text = ::GetCast<TText>(root->GetChildWindow(name, -1));
    return text ? text->GetText().c_str() : std::string("<none>");
}

bool Visible(TWindow* root, const char* name)
{
    TWindow* w = root->GetChildWindow(name, -1);
    return w && w->IsVisible();
}

void Write(const std::string& name, GLuint framebuffer)
{
    const std::vector<Rgba> pixels = gameshot::ReadScreen(framebuffer);
    const std::string path = gOutDir + "/" + name + ".png";
    WritePng(path, 800, 600, PngKind::Rgb, pixels);
    std::set<unsigned> colours;
    for (const Rgba& p : pixels)
        colours.insert(unsigned(p.r) << 16 | unsigned(p.g) << 8 | p.b);
    std::printf("wrote %s (%zu colours)\n", path.c_str(), colours.size());
    if (colours.size() < 50)
        Fail(name.c_str(), "the picture is blank");
}

// A value stands in its row: inside the board, level with its label.
void CheckRow(TWindow* over, const char* value, const char* label)
{
    TWindow* v = over->GetChildWindow(value, -1);
    TWindow* l = over->GetChildWindow(label, -1);
    if (!v || !l) {
        Fail(value, "no such row");
        return;
    }
    TRect vr, lr, board;
    v->GetWindowRect(&vr);
    l->GetWindowRect(&lr);
    over->GetWindowRect(&board);
    if (vr.y1 != lr.y1 || vr.x1 < lr.x1 || vr.x2 > board.x2 || !v->IsVisible())
        Fail(value, "not in its row");
}

void CheckBoard(const TCase& c, TGameData* floor, TWindow* over)
{
    const TLevelResult& result = floor->GetLastResult();
    TScoreManager* score = floor->GetScoreManager();
    const std::string verdict = Text(over, "levelinfo");
    std::printf("%s: level %d, %s%s, level score %d (goal %d, expert %d): \"%s\"\n", c.name, c.level,
                result.win ? "won" : "lost", result.expert ? " with the expert mark" : "", result.levelScore,
                floor->GetCurrentGoal(), floor->GetCurrentExpert(), verdict.c_str());
    if (result.win != c.win || result.expert != c.expert)
        Fail(c.name, "the bot did not play the outcome this picture is for");
    if (verdict != floor->GetLevelManager()->GetLevelOverText(c.win).c_str() ||
        verdict.rfind(c.win ? "Goal reached!" : "Goal missed.", 0) != 0)
        Fail(c.name, "the verdict is not the level's word on a " + std::string(c.win ? "win" : "loss"));
    if (Text(over, "served") != std::to_string(score->GetChecksCollected()) ||
        Text(over, "lost") != std::to_string(score->GetPenalties()) ||
        Text(over, "levelscore") != std::to_string(result.levelScore))
        Fail(c.name, "the rows do not show the level's counts");
    for (auto [value, label] : {std::pair{"served", "servedlabel"}, {"lost", "lostlabel"},
                                {"levelscore", "levelscorelabel"}, {"score", "totalscore"},
                                {"levelmoney", "levelmoneylabel"}})
        CheckRow(over, value, label);
    if (Visible(over, "expert") != c.expert || Visible(over, "experttext") != c.expert)
        Fail(c.name, "the expert mark shows wrongly");
    if (Visible(over, "continue") != c.win || Visible(over, "tryagain") != !c.win || !Visible(over, "quit"))
        Fail(c.name, "the buttons are wrong for the outcome");
    if (Visible(over, "quessawin") != c.win || Visible(over, "quessalose") == c.win)
        Fail(c.name, "the wrong picture of Quessa");
    if (Visible(over, "levelbonus") != (result.bonus > 0))
        Fail(c.name, "the bonus line shows wrongly");
    // Walk-outs say what they cost (the reason a served level can end on 0).
    const bool walkouts = score->GetPenalties() > 0;
    if (Visible(over, "lostpoints") != walkouts ||
        (walkouts && Text(over, "lostpoints") != std::to_string(score->GetPenaltyPoints()) + " points"))
        Fail(c.name, "the walk-outs' cost shows wrongly: \"" + Text(over, "lostpoints") + "\"");
    // A loss says how close it came.
    const int shortBy = floor->GetCurrentGoal() - result.levelScore;
    if (Visible(over, "shortfall") != !c.win ||
        (!c.win && Text(over, "shortfall") != std::to_string(shortBy) + " points short"))
        Fail(c.name, "the shortfall shows wrongly: \"" + Text(over, "shortfall") + "\"");
}

// The endless board after a shift served for a while and then left until
// the hearts ran out, with a new personal best (which the shipped string
// table, keeping scores local only, never announces: it is forced here).
void CheckEndlessBoard(TGameData* floor, TWindow* over)
{
    const TLevelResult& result = floor->GetLastResult();
    const std::string score = std::to_string(result.levelScore);
    std::printf("endless: game over, shift score %s: \"%s\"\n", score.c_str(), Text(over, "levelinfo").c_str());
    if (!result.gameOver || Text(over, "levelscorestr") != score || Text(over, "levelmoneystr") != score)
        Fail("endless", "the shift's score is not on the board");
    for (const char* name : {"highscoretext", "levelscorestr", "highscorebutton", "levelmoneystr", "quit", "tryagain"})
        if (!Visible(over, name))
            Fail("endless", std::string(name) + " is not shown");
    for (const char* name : {"levelscore", "levelmoney", "totalscore", "expert", "continue"})
        if (Visible(over, name))
            Fail("endless", std::string(name) + " is shown on an endless board");
}

void Play(TPlatform* platform, TWindowManager* manager, GLuint framebuffer, const TCase& c)
{
    TSettings* settings = TSettings::GetInstance();
    const bool endless = c.level == 0;
    settings->SetCurrentGameMode(endless ? TSettings::kEndlessMode : TSettings::kCareerMode);
    settings->SetCurrentRestaurant(endless ? 0 : (c.level - 1) / 10);
    settings->SetCurrentLevel(endless ? 0 : (c.level - 1) % 10);
    platform->SeedRand(7);
    TWindowScript* script = TWindowScript::Get();
    script->RunLuaText("PushModal('scripts/game.lua') ReadFile('scripts/game.lua')");
    // The game opened its intro over itself; "Let's play" would close it.
    script->RunLuaText("DoPopModal()");
    TModalWindow* screen = manager->GetTopModalWindow();
    auto* game = ::GetCast<TGame>(screen ? screen->GetChildWindow("maingamewindow", -1) : nullptr);
    if (!game) {
        Fail(c.name, "no game window");
        return;
    }
    TGameData* floor = game->GetGameData();
    floor->DoSkipTutorial();
    const EBotManner manners[] = {EBotManner::kCareful, EBotManner::kPlain, EBotManner::kCareless};
    TFloorBot bot(*floor, manners[c.player]);
    for (int frame = 0; frame < 60 * 900 && floor->GetState() != kLevelOver; ++frame) {
        floor->Update(kFrame);
        if (!endless || frame < 60 * 60)
            bot.Act();
        // Now and then a turn of the screen: the display follows the floor.
        if (frame % 120 == 0)
            Frame(platform, manager);
    }
    // The floor was played here, not by the game's tick: one tick shows what
    // the level asked for (the board) and brings the display up to the
    // floor's end (the final score, the cash paid).
    game->UpdateGame();
    TModalWindow* board = manager->GetTopModalWindow();
    auto* over = ::GetCast<TLevelOver>(board ? board->GetChildWindow("leveloverwin", -1) : nullptr);
    if (floor->GetState() != kLevelOver || !over) {
        Fail(c.name, "the level did not end on the board");
        return;
    }
    if (endless)
        over->NewHighScore();
    bool midway = false;
    for (int i = 0; i < 600 && over->GetStep() < TLevelOver::kDone; ++i) {
        Frame(platform, manager);
        // One picture while the level score glides into its row.
        if (!midway && c.win && !c.expert && over->GetStep() == 3) {
            for (int k = 0; k < 3; ++k) {
                Frame(platform, manager);
                ::usleep(16000);
            }
            Write(std::string(c.name) + "_counting", framebuffer);
            midway = true;
        }
        ::usleep(16000);
    }
    for (int i = 0; i < 20; ++i) {
        Frame(platform, manager);
        ::usleep(16000);
    }
    Write(c.name, framebuffer);
    if (endless)
        CheckEndlessBoard(floor, over);
    else
        CheckBoard(c, floor, over);
    script->RunLuaText("DoPopModal() DoPopModal()");
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
    TSettings* settings = TSettings::CreateSettings();
    if (!handler || !manager || !TWindowScript::Get() || !settings) {
        gResult = 1;
        return;
    }
    game::RegisterWindowTypes();
    TQuessaColors colours;  // as the game's start-up reads them
    settings->CreateNewUser("Ann");
    settings->SetCurrentUser(0, true);
    settings->PlayedEndlessTutorial();
    const TCase cases[] = {
        {"win", 5, 0, true, true},
        {"narrow_win", 3, 1, true, false},
        {"loss", 7, 2, false, false},
        {"endless_best", 0, 0, false, false},
    };
    for (const TCase& c : cases)
        Play(platform, manager, handler->GetScreenFramebuffer(), c);
    TSettings::DeleteSettings();
}

}  // namespace

int main(int argc, char** argv)
{
    gOutDir = std::filesystem::absolute(argc > 1 ? argv[1] : ".").string();
    std::filesystem::create_directories(gOutDir);
    gameshot::RunOnGameData(argc, argv, "qm-levelover-screenshot", ShotMain);
    return gResult;
}
