// Cached glyphs drawn from the glyph atlas (label gl): the first draw of a
// text, with nothing cached and every glyph a line a run, and the draws that
// follow from the atlas, first filling it and then reusing it, must light
// exactly the same pixels with exactly the same colours. Large outlined text
// fills the atlas more than once within one frame. Once every glyph is cached,
// all the lines of a paragraph go to GL in one call.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/text/text_platform.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TCase {
    const char* name;
    const char* markup;
    int fontSize;
};

const TCase kCases[] = {
    {"paragraph",
     "<center><font size=\"24\"><b>Opening day</b></font></center>"
     "The <i>kitchen</i> opens at dawn. <font color=\"#c03020\">Keep the tables clean</font>, "
     "<outline color=\"#2060c0\">serve</outline> and <b><outline color=\"#20a040\">smile</outline></b>!",
     16},
    {"large outlined", "<outline color=\"#e0c020\"><b>QUICK Brown fox jumps over lazy dogs 0123</b></outline>", 110},
};

struct TFrames {
    std::vector<unsigned char> lines, atlasFirst, atlasAgain;
    size_t atlasGlyphs = 0;
    int glyphCallsAgain = 0;  // glyph draw calls of the last frame
};
std::vector<TFrames> gFrames;
bool gDisplay = false;

std::vector<unsigned char> DrawFrame(TPlatform* platform, TGLDisplayHandler* handler, TTextGraphic* text)
{
    platform->BeginDraw(true);
    platform->Begin2d();
    const TColor grey{0.2f, 0.25f, 0.3f, 1};
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendOff));
    platform->FillRect(0, 0, 800, 600, &grey);
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendAlpha));
    text->Draw(TRect{10, 10, 790, 590}, 1.0f, 0, 1.0f);
    platform->End2d();
    std::vector<unsigned char> pixels(800 * 600 * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    platform->EndDraw(true);
    return pixels;
}

void AtlasMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    TQmMiniVecDraw* draw = GetTextServices().rasterizer;
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    if (!gDisplay || !draw || !handler)
        return;
    for (const TCase& c : kCases) {
        TTextGraphic* text = TTextGraphic::Create(c.markup, 780, 580, 0, "", c.fontSize, TColor{1, 1, 1, 1});
        TFrames frames;
        draw->SetGlyphAtlasEnabled(false);
        frames.lines = DrawFrame(platform, handler, text);
        draw->SetGlyphAtlasEnabled(true);
        frames.atlasFirst = DrawFrame(platform, handler, text);
        const int glyphCalls = handler->GetGlyphDrawCalls();
        frames.atlasAgain = DrawFrame(platform, handler, text);
        frames.glyphCallsAgain = handler->GetGlyphDrawCalls() - glyphCalls;
        frames.atlasGlyphs = draw->GetAtlasGlyphCount();
        gFrames.push_back(std::move(frames));
        text->Destroy();
    }
}

// Pixels whose colour differs, and pixels that differ from the background.
int Differences(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int count = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return count + int(a.size() != b.size());
}

int TextPixels(const std::vector<unsigned char>& frame)
{
    int count = 0;
    for (size_t i = 0; i + 3 < frame.size(); i += 4)
        count += frame[i] != frame[0] || frame[i + 1] != frame[1] || frame[i + 2] != frame[2];
    return count;
}

TEST(TextAtlasGL, CachedGlyphsLightThePixelsTheirFirstDrawLit)
{
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    char name[] = "text_atlas_gl_test";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, AtlasMain, false);
    qm::PlatformHooks().makeDisplayHost = nullptr;

    ASSERT_TRUE(gDisplay);
    ASSERT_EQ(gFrames.size(), std::size(kCases));
    for (size_t i = 0; i < gFrames.size(); ++i) {
        SCOPED_TRACE(kCases[i].name);
        const TFrames& f = gFrames[i];
        EXPECT_GT(TextPixels(f.lines), 2000);
        EXPECT_GT(f.atlasGlyphs, 0u);
        EXPECT_EQ(Differences(f.atlasFirst, f.lines), 0);
        EXPECT_EQ(Differences(f.atlasAgain, f.lines), 0);
    }
    EXPECT_EQ(gFrames[0].glyphCallsAgain, 1) << "the paragraph's lines in one call";
}

}  // namespace
