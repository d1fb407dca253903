// The interface kit, the cursors and a customer drawn by the engine (its own
// entry, the GL display handler, the game's font) in one 800x600 frame,
// written as a PNG for a reviewer to look at readability at the game's size.
// Fails when a piece of the kit does not load.
//
//     xvfb-run -a build/tests/content/content_kit_screenshot kit.png
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/texture.h"
#include "engine/text/text_platform.h"
#include "engine/text/textgraphic.h"

#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace testimages;

namespace {

std::string gOut;
int gResult = 1;
int gMissing = 0;

std::shared_ptr<TTexture> Load(const std::string& name, bool simple = false)
{
    auto texture = simple ? TTexture::GetSimple(name.c_str()) : TTexture::Get(name.c_str());
    if (!texture) {
        std::fprintf(stderr, "kit: %s does not load\n", name.c_str());
        ++gMissing;
    }
    return texture;
}

void Sprite(const std::string& name, float x, float y, float alpha = 1)
{
    if (auto t = Load(name))
        t->DrawSprite(x, y, alpha, 1, 0, 0);
}

void Text(const char* markup, int x, int y, int w, int h, int size, TColor colour, int justify = 0)
{
    TTextGraphic* text = TTextGraphic::Create(markup, w, h, justify, "", size, colour);
    text->Draw(TRect{x, y, x + w, y + h}, 1.0f, 0, 1.0f);
    text->Destroy();
}

const TColor kInk{0.23f, 0.16f, 0.2f, 1}, kLight{1, 0.97f, 0.92f, 1};

void DrawScene()
{
    TColor floor{0.36f, 0.55f, 0.66f, 1};
    TPlatform::GetInstance()->FillRect(0, 0, 800, 600, &floor);
    Sprite("ui/kit/logo", 400, 88);

    Sprite("ui/kit/dialog", 262, 340);
    Text("<outline color=\"#3b2a33\" size=\"2\">Options</outline>", 10, 172, 504, 40, 24, kLight, 1);
    Text("Music and sound, the pace of the day and how big the window is: "
         "<b>choose</b>, then press <font color=\"#b8552a\">Done</font>.",
         36, 222, 452, 120, 17, kInk);
    const char* labels[] = {"Music", "Sound", "Done", "Later"};
    const char* looks[] = {"normal", "hover", "pressed", "disabled"};
    for (int i = 0; i < 4; ++i) {
        const float x = 113 + (i % 2) * 200, y = 366 + (i / 2) * 68;
        Sprite(std::string("ui/kit/button_") + looks[i], x, y);
        const int dy = i == 2 ? 3 : 0;
        const TColor colour = i == 3 ? TColor{0.93f, 0.9f, 0.87f, 1} : kLight;
        char markup[160];
        std::snprintf(markup, sizeof markup, "<outline color=\"#3b2a33\" size=\"2\">%s</outline>", labels[i]);
        Text(markup, int(x) - 88, int(y) - 14 + dy, 176, 30, 22, colour, 1);
    }

    Sprite("ui/kit/panel_small", 660, 250);
    const char* icons[] = {"sound", "music", "pause", "play", "help", "close", "check", "star",
                           "heart", "coin", "lock", "left"};
    for (int i = 0; i < 12; ++i)
        Sprite(std::string("ui/kit/icon_") + icons[i], 600 + (i % 4) * 40, 205 + (i / 4) * 40);
    const char* roundLooks[] = {"normal", "hover", "pressed", "disabled"};
    for (int i = 0; i < 4; ++i) {
        Sprite(std::string("ui/kit/roundbutton_") + roundLooks[i], 568 + i * 64, 350);
        Sprite("ui/kit/icon_right", 568 + i * 64, 348 + (i == 2 ? 3 : 0), i == 3 ? 0.5f : 1);
    }

    Sprite("ui/kit/panel_small", 655, 525);
    const char* cursors[] = {"arrow", "open", "grab", "click", "click2"};
    for (int i = 0; i < 5; ++i)
        if (auto cursor = Load(std::string("cursor/") + cursors[i] + "?colorkeyed", true))
            cursor->Draw(float(560 + i * 44), 395);
    auto customer = TAnimatedTexture::Get("customers/old_male/anim.anm", "anim.png?palettized");
    if (!customer) {
        ++gMissing;
        return;
    }
    const char* colours[] = {"red", "blue", "green"};
    for (int i = 0; i < 3; ++i) {
        if (auto legs = Load(std::string("customers/old_male/legs?palette=customers/old_male/") + colours[i] +
                             "_legs.pal"))
            legs->DrawSprite(float(585 + i * 70), 500 + 46, 1, 1, 0, 0);
        customer->LoadPalette((std::string("customers/old_male/") + colours[i] + ".pal").c_str());
        customer->SetCurrentFrame(i == 2 ? 6 : 0);
        customer->DrawSprite(float(585 + i * 70), 500, 1, 1, 0, 0);
    }
}

void ShotMain(TPlatform* platform, const char*)
{
    auto* handler = platform->SetDisplay(800, 600, false)
                        ? dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler())
                        : nullptr;
    if (!handler) {
        std::fprintf(stderr, "kit: no GL display\n");
        return;
    }
    platform->BeginDraw(true);
    platform->Begin2d();
    DrawScene();
    platform->End2d();
    std::vector<Rgba> pixels(800 * 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    platform->EndDraw(true);
    WritePng(gOut, 800, 600, PngKind::Rgb, pixels);
    std::printf("wrote %s\n", gOut.c_str());
    gResult = gMissing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = std::filesystem::absolute(argc > 1 ? argv[1] : "kit.png").string();
    ::setenv("CORVELLATRIP_DATA", QM_DATA_DIR, 1);
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    char* engineArgv[] = {argv[0], nullptr};
    QuellmoorExec(1, engineArgv, ShotMain, false);
    return gResult;
}
