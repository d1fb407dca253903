// The fill window and the screen fade drawn by the real engine on GL (Mesa
// under Xvfb or SDL's offscreen driver), read back from the 800x600 screen.
#include "engine/assembly/assembly.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/glheaders.h"
#include "engine/script/windowscript.h"
#include "engine/window/screen.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

bool gDisplay = false;
std::map<std::string, std::string> gPixels;

// "r g b" of a screen pixel, each rounded to the nearest 16th of 255.
std::string ColourAt(GLuint framebuffer, int x, int y)
{
    unsigned char bgra[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    const auto level = [](unsigned char c) { return std::to_string((c + 8) / 16); };
    return level(bgra[2]) + " " + level(bgra[1]) + " " + level(bgra[0]);
}

void Frame(TWindowManager* manager)
{
    manager->GetScreen()->InvalidateRect(nullptr);
    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);
}

void FadesMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TWindowManager* manager = platform->GetWindowManager();
    auto* script = TWindowScript::Get();
    if (!gDisplay || !handler || !manager || !script)
        return;
    manager->GetScreen()->SetFill(true, TColor{0, 0, 1, 1});
    game::RegisterWindowTypes();
    script->RunLuaText("PushModal('m') MakeDialog { Window { w = 800, h = 600, "
                       "FillWindow { name = 'red', x = 100, y = 100, w = 200, h = 100, r = 1, g = 0, b = 0 }, "
                       "FillWindow { name = 'white', x = 400, y = 400, w = 10, h = 10 }, "
                       "ScreenFade { name = 'fade', w = 800, h = 600 } } }");
    const GLuint fb = handler->GetScreenFramebuffer();
    Frame(manager);
    gPixels["clear: outside"] = ColourAt(fb, 50, 50);
    gPixels["clear: red"] = ColourAt(fb, 150, 150);
    gPixels["clear: red's far edge"] = ColourAt(fb, 299, 199);
    gPixels["clear: right of red"] = ColourAt(fb, 300, 150);
    gPixels["clear: white"] = ColourAt(fb, 405, 405);
    script->RunLuaText("SetFade(0.5)");
    Frame(manager);
    gPixels["half: outside"] = ColourAt(fb, 50, 50);
    gPixels["half: red"] = ColourAt(fb, 150, 150);
    script->RunLuaText("SetFade(1)");
    Frame(manager);
    gPixels["black: white"] = ColourAt(fb, 405, 405);
}

TEST(ScreensGLTest, FillWindowsDrawTheirColourAndTheFadeDarkensTheScreen)
{
    char home[] = "/tmp/qm_screens_gl_XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    ::setenv("XDG_DATA_HOME", home, 1);
    qm::InstallEngine({.sound = false, .straightToWindow = false});
    char name[] = "screens_gl_test";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, FadesMain, false);
    qm::PlatformHooks() = qm::TPlatformHooks{};
    TWindowHost::SetScriptFactory({});
    std::filesystem::remove_all(home);
    ::unsetenv("XDG_DATA_HOME");

    ASSERT_TRUE(gDisplay);
    const std::map<std::string, std::string> expected{
        {"clear: outside", "0 0 16"},        {"clear: red", "16 0 0"},  {"clear: red's far edge", "16 0 0"},
        {"clear: right of red", "0 0 16"},   {"clear: white", "16 16 16"},
        {"half: outside", "0 0 8"},          {"half: red", "8 0 0"},    {"black: white", "0 0 0"},
    };
    EXPECT_EQ(gPixels, expected);
}

}  // namespace
