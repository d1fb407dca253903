// Animated textures on a display-less handler that records draws: every
// animation is made by the packer (tools/anmpack) from frames the test writes.
#include "engine/render/animatedtexture.h"

#include "engine/base/xml.h"
#include "recordinghandler.h"
#include "testimages.h"
#include "tools/anmpack/anmpack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace testimages;
namespace fs = std::filesystem;

namespace {

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

// Packs a description into `output` (".anm" or ".xml") and the sheet beside it.
anmpack::Animation Pack(const std::string& description, const std::string& output)
{
    anmpack::Animation animation = anmpack::ParseDescription(description, ".");
    std::string stem = fs::path(output).stem().string();
    if (animation.sequence.empty())
        animation.sequence = stem;
    if (animation.image.empty())
        animation.image = stem + ".png";
    anmpack::Image sheet = anmpack::PackSheet(animation);
    std::string error;
    fs::path folder = fs::path(output).parent_path();
    if (!folder.empty())
        fs::create_directories(folder);
    if (sheet.width > 0) {
        EXPECT_TRUE(anmpack::WritePng((folder / animation.image).string(), sheet, &error)) << error;
    }
    if (fs::path(output).extension() == ".anm") {
        std::vector<std::uint8_t> bytes = anmpack::EncodeAnm(animation);
        EXPECT_TRUE(anmpack::WriteFile(output, std::string(bytes.begin(), bytes.end()), &error)) << error;
    } else {
        EXPECT_TRUE(anmpack::WriteFile(output, anmpack::EncodeXml(animation), &error)) << error;
    }
    return animation;
}

class AnimatedTextureTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    TAssetManager assets;
    RecordingHandler handler;

    void SetUp() override
    {
        WritePng("red.png", 4, 6, PngKind::Rgba, Solid(4, 6, kRed));
        WritePng("green.png", 8, 2, PngKind::Rgba, Solid(8, 2, kGreen));
        WritePng("blue.png", 6, 6, PngKind::Rgba, Solid(6, 6, kBlue));
        WritePng("red_again.png", 4, 6, PngKind::Rgba, Solid(4, 6, kRed));
        handler.Begin2d();
    }

    // Three pictures, the fourth frame the first picture again.
    static std::string Walk()
    {
        return "sequence walk\n"
               "source walk.txt\n"
               "reg 10 20\n"
               "frame stand red.png reg 2 5\n"
               "anchor hand 1 2\n"
               "anchor hand 9 9   # the first of a name wins\n"
               "anchor foot 3 4\n"
               "frame step green.png reg 4 1\n"
               "frame turn blue.png reg -1 -2\n"
               "anchor hand 5 6\n"
               "frame stand2 red_again.png reg 2 5\n";
    }

    // Pixel (x, y) of a texture's surface, as R, G, B, A.
    static Rgba Pixel(TTexture& texture, int x, int y)
    {
        unsigned char* p = nullptr;
        int w = 0, h = 0, pitch = 0;
        EXPECT_TRUE(texture.Lock(&p, &w, &h, &pitch));
        const unsigned char* at = p + y * pitch + x * 4;
        Rgba result{at[2], at[1], at[0], at[3]};
        texture.Unlock();
        return result;
    }
    // The same for a slot of a cache, known by its data (reading it counts as a change).
    static Rgba SlotPixel(const TTextureData* data, int x, int y)
    {
        auto* slot = const_cast<TTextureData*>(data);
        unsigned char* p = nullptr;
        int w = 0, h = 0, pitch = 0;
        EXPECT_TRUE(slot->Lock(&p, &w, &h, &pitch));
        const unsigned char* at = p + y * pitch + x * 4;
        Rgba result{at[2], at[1], at[0], at[3]};
        slot->Unlock();
        return result;
    }
    static bool Same(Rgba a, Rgba b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }
};

// Everything a record holds that its file gave, as one line per frame.
std::string Describe(const TAnimationRecord& a)
{
    std::ostringstream out;
    out << a.sequenceName.c_str() << " " << a.source.c_str() << " " << a.image.c_str() << " " << a.mask.c_str()
        << " reg " << a.regX << "," << a.regY << " sheet " << a.imageWidth << "x" << a.imageHeight << " size "
        << a.width << "x" << a.height << " xform " << a.imageTransform[0] << "\n" << a.script.c_str() << "\n";
    for (const TAnimFrame& f : a.frames) {
        const TRect r = f.SheetRect();
        out << f.name.c_str() << " " << r.x1 << "," << r.y1 << "," << r.x2 << "," << r.y2 << " reg " << f.regX << ","
            << f.regY << " xform";
        for (float t : f.transform)
            out << " " << t;
        for (const auto& anchor : f.anchors)
            out << " " << anchor.name.c_str() << "@" << anchor.x << "," << anchor.y;
        out << "\n";
    }
    return out.str();
}

// ---------------------------------------------------------------- reading

TEST_F(AnimatedTextureTest, APackedAnmReadsBackFramesAnchorsAndRegistrationPoints)
{
    anmpack::Animation packed = Pack(Walk(), "anims/walk.anm");
    auto walk = TAnimatedTexture::Get("anims/walk.anm", "", "");
    ASSERT_TRUE(walk);
    const TAnimationRecord& a = walk->GetAnimation();
    EXPECT_EQ(a.sequenceName, str("walk"));
    EXPECT_EQ(a.source, str("walk.txt"));
    EXPECT_EQ(a.path, str("anims/walk.anm"));
    EXPECT_EQ(a.directory, str("anims/"));
    EXPECT_EQ(a.image, str("walk.png"));
    EXPECT_EQ(walk->GetNumFrames(), 4);
    EXPECT_EQ(a.width, 8);
    EXPECT_EQ(a.height, 6);
    EXPECT_EQ(walk->GetWidth(), 8);
    EXPECT_EQ(walk->GetHeight(), 6);
    EXPECT_EQ(a.imageTransform[0], kNoImageTransform);
    ASSERT_TRUE(walk->GetAllFrames());
    EXPECT_EQ(walk->GetAllFrames()->GetWidth(), packed.imageWidth);
    EXPECT_EQ(a.imageWidth, packed.imageWidth);

    // Identical pictures share one place in the sheet.
    EXPECT_EQ(a.frames[0].SheetRect(), a.frames[3].SheetRect());
    EXPECT_NE(a.frames[0].SheetRect(), a.frames[2].SheetRect());
    EXPECT_EQ(a.frames[1].name, str("step"));

    int x = -1, y = -1;
    walk->GetRegistrationPoint(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
    walk->GetRegistrationPoint(nullptr, nullptr);
    walk->GetRegistrationPoint(2, &x, &y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -2);
    x = y = 77;
    walk->GetRegistrationPoint(4, &x, &y);  // a bad index stores nothing
    walk->GetRegistrationPoint(-1, &x, &y);
    EXPECT_EQ(x, 77);

    EXPECT_TRUE(walk->GetAnchorPoint(0, "hand", &x, &y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_TRUE(walk->GetAnchorPoint(0, "foot", nullptr, nullptr));
    EXPECT_FALSE(walk->GetAnchorPoint(1, "hand", &x, &y));
    EXPECT_FALSE(walk->GetAnchorPoint(9, "hand", &x, &y));
    walk->SetCurrentFrame(2);
    EXPECT_TRUE(walk->GetAnchorPoint("hand", &x, &y));
    EXPECT_EQ(x, 5);

    EXPECT_EQ(walk->BoundingBox(0), (TRect{-2, -5, 2, 1}));
    EXPECT_EQ(walk->BoundingBox(2), (TRect{1, 2, 7, 8}));
    EXPECT_EQ(walk->BoundingBox(4), TRect{});
    // The union starts from the origin.
    EXPECT_EQ(walk->BoundingBox(), (TRect{-4, -5, 7, 8}));
}

TEST_F(AnimatedTextureTest, WithoutAScriptTheDefaultOneStepsThroughEveryFrame)
{
    Pack("frame a red.png\nframe b green.png\nframe c blue.png\n", "three.anm");
    auto three = TAnimatedTexture::Get("three.anm");
    ASSERT_TRUE(three);
    EXPECT_EQ(three->GetScript(), str("function DoAnim()\n    delay(60);\n    frames{1,2,3};\nend\n"));
    EXPECT_EQ(DefaultAnimationScript(0), str("function DoAnim()\n    delay(60);\nend\n"));

    // The kind is told by the name in any letter case; other names are not read.
    fs::copy_file("three.anm", "LOUD.ANM");
    fs::copy_file("three.anm", "three.bin");
    EXPECT_TRUE(TAnimatedTexture::Get("LOUD.ANM"));
    EXPECT_FALSE(TAnimatedTexture::Get("three.bin"));
}

TEST_F(AnimatedTextureTest, TheXmlFormReadsAsTheAnmFormAndKeepsTheScriptsLines)
{
    std::ofstream("walk.lua") << "function DoAnim()\n    frames{1,2};  -- \"quoted\" & <odd>\n end\n";
    std::string description = Walk() + "script walk.lua\nxform 1 0 0 0\nframe tilted blue.png xform 0 1 -1 0 5 6\n";
    Pack(description, "x/walk.anm");
    Pack(description, "x/walkx.xml");
    auto anm = TAnimatedTexture::Get("x/walk.anm");
    auto xml = TAnimatedTexture::Get("x/walkx");  // found as name + ".xml"
    ASSERT_TRUE(anm && xml);
    TAnimationRecord fromAnm = anm->GetAnimation();
    fromAnm.image = xml->GetAnimation().image;
    fromAnm.sequenceName = xml->GetAnimation().sequenceName;
    EXPECT_EQ(Describe(fromAnm), Describe(xml->GetAnimation()));
    EXPECT_EQ(xml->GetScript(), str("function DoAnim()\n    frames{1,2};  -- \"quoted\" & <odd>\n end\n"));
    EXPECT_EQ(xml->GetAnimation().frames[4].transform[1], 1.0f);
    EXPECT_EQ(xml->GetAnimation().imageTransform[0], 1.0f);
}

TEST_F(AnimatedTextureTest, XmlFramesInheritWhatTheyLeaveOutAndMissingPartsFail)
{
    WritePng("sheet.png", 16, 16, PngKind::Rgba, Solid(16, 16, kRed));
    std::ofstream("hand.xml") << "<sequence name=\"hand\" source=\"drawn\">\n"
                                 "<img name=\"sheet.png\" regx=\"3\" regy=\"4\" w=\"16\" h=\"16\" xform=\"2 3\">\n"
                                 "<framelist>\n"
                                 "<frame name=\"a\" x=\"0\" y=\"0\" w=\"4\" h=\"4\" regx=\"1\" regy=\"2\" xform=\"1 2\"/>\n"
                                 "<note/>\n"
                                 "<frame name=\"b\" x=\"4\" y=\"0\" w=\"4\" h=\"5\">\n"
                                 "<anchor name=\"tip\" x=\"99999999999\" y=\"-7\"/></frame>\n"
                                 "</framelist></img>\n"
                                 "<script>frames{1,2}</script>\n"
                                 "</sequence>\n";
    auto hand = TAnimatedTexture::Get("hand.xml");
    ASSERT_TRUE(hand);
    const TAnimationRecord& a = hand->GetAnimation();
    ASSERT_EQ(a.FrameCount(), 2);
    EXPECT_EQ(a.frames[1].regX, 1);  // no regx: the frame before's point
    EXPECT_EQ(a.frames[1].regY, 2);
    EXPECT_EQ(a.frames[0].transform[1], 2.0f);  // fewer numbers: the rest is the identity's
    EXPECT_EQ(a.frames[0].transform[3], 1.0f);
    EXPECT_EQ(a.frames[1].transform[1], 2.0f);  // no xform: the frame before's
    EXPECT_EQ(a.imageTransform[0], 2.0f);
    EXPECT_EQ(a.imageTransform[1], 3.0f);
    EXPECT_EQ(a.height, 5);
    EXPECT_EQ(hand->GetScript(), str("frames{1,2}"));
    int x = 0, y = 0;
    EXPECT_TRUE(hand->GetAnchorPoint(1, "tip", &x, &y));
    EXPECT_EQ(x, 2147483647);  // held at the end of the range
    EXPECT_EQ(y, -7);

    std::ofstream("nosequence.xml") << "<other/>";
    std::ofstream("noimg.xml") << "<sequence><framelist><frame w=\"1\" h=\"1\"/></framelist></sequence>";
    std::ofstream("noframes.xml") << "<sequence><img name=\"sheet.png\"><framelist/></img></sequence>";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TAnimatedTexture::Get("nosequence.xml"));
    EXPECT_FALSE(TAnimatedTexture::Get("noimg.xml"));
    EXPECT_FALSE(TAnimatedTexture::Get("noframes.xml"));
    EXPECT_FALSE(TAnimatedTexture::Get("missing"));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Animation nosequence.xml does not contain a sequence node"), std::string::npos);
    EXPECT_NE(log.find("Animation noimg.xml does not contain an img node"), std::string::npos);
    EXPECT_NE(log.find("Animation noframes.xml does not contain any frames!"), std::string::npos);
    EXPECT_FALSE(assets.GetAsset("noimg.xml::"));

    // Reading goes on to the script after a missing part.
    TXmlNode document;
    document.ParseString("<sequence><script luascript=\"x()\"/></sequence>");
    TAnimationRecord record;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadAnimationXml(document, "inline", &record));
    log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Animation inline does not contain a framelist node"), std::string::npos);
    EXPECT_EQ(record.script, str("x()"));
}

// ---------------------------------------------------------------- assets

TEST_F(AnimatedTextureTest, GetSharesOneTexturePerKeyAndAnImageArgumentGivesAnotherSheet)
{
    Pack(Walk(), "walk.anm");
    WritePng("other.png", 32, 32, PngKind::Rgba, Solid(32, 32, kGreen));
    auto first = TAnimatedTexture::Get("walk.anm", "", "");
    auto second = TAnimatedTexture::Get("walk.anm");
    auto other = TAnimatedTexture::Get("walk.anm", "other.png", "");
    ASSERT_TRUE(first && other);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    EXPECT_NE(first->GetAllFrames(), other->GetAllFrames());
    EXPECT_EQ(other->GetAllFrames()->GetWidth(), 32);
    EXPECT_EQ(TAnimatedTexture::GetHandle("a", "b", "c"), str("a:b:c"));
    EXPECT_EQ(assets.GetAsset("walk.anm::"), first);
    EXPECT_TRUE(first->IsKindOf(TAsset::ClassId()));
    EXPECT_FALSE(first->IsKindOf(TTexture::ClassId()));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(TAnimatedTexture::Get("walk.anm", "nothere.png", ""));
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "ERROR: Unable to load image nothere.png for animation walk.anm!"),
              std::string::npos);
    EXPECT_FALSE(assets.GetAsset("walk.anm:nothere.png:"));
}

TEST_F(AnimatedTextureTest, AMaskGivesTheSheetItsAlpha)
{
    WritePng("mask.png", 8, 2, PngKind::Rgb, Solid(8, 2, {128, 128, 128, 255}));
    Pack("mask mask.png\nframe a green.png\n", "masked.anm");
    auto masked = TAnimatedTexture::Get("masked.anm");
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->GetAnimation().mask, str("mask.png"));
    masked->Update();
    EXPECT_EQ(Pixel(*masked, 0, 0).a, 128);
}

TEST_F(AnimatedTextureTest, PaletteFramesMakeAnIndexedSheetThatAnotherPaletteRecolours)
{
    // Index 0 transparent, 1 green; the palette file makes index 1 purple.
    const std::vector<Rgba> palette{{0, 0, 0, 0}, {0, 255, 0, 255}};
    WriteIndexedPng("seat.png", 4, 4, 8, std::vector<std::uint8_t>(16, 1), palette, {0, 255});
    std::vector<std::uint8_t> back(12, 1);
    back[0] = 0;
    WriteIndexedPng("back.png", 4, 3, 4, back, palette, {0, 255});
    WritePal("purple.pal", {{0, 0, 0, 0}, {128, 0, 128, 255}});
    Pack("frame seat seat.png\nframe back back.png\n", "chair.anm");
    anmpack::Image sheet;
    std::string error;
    ASSERT_TRUE(anmpack::ReadPng("chair.png", &sheet, &error)) << error;
    EXPECT_TRUE(sheet.indexed);
    EXPECT_EQ(sheet.palette, (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 0}));

    auto green = TAnimatedTexture::Get("chair.anm");
    auto purple = TAnimatedTexture::Get("chair.anm", "chair.png?palette=purple.pal", "");
    ASSERT_TRUE(green && purple);
    green->Update();
    purple->Update();
    EXPECT_TRUE(Same(Pixel(*green, 0, 0), kGreen));
    EXPECT_TRUE(Same(Pixel(*purple, 0, 0), (Rgba{128, 0, 128, 255})));
    purple->SetCurrentFrame(1);  // 4x3 at the top of 4x4 ((4 - 3) / 2 = 0); its (0, 0) is transparent
    purple->Update();
    EXPECT_EQ(Pixel(*purple, 0, 0).a, 0);
    EXPECT_TRUE(Same(Pixel(*purple, 1, 0), (Rgba{128, 0, 128, 255})));
    EXPECT_EQ(Pixel(*purple, 1, 3).a, 0);

    // A palettized sheet takes palettes later; another palette copies the frame again.
    auto recoloured = TAnimatedTexture::Get("chair.anm", "chair.png?palettized", "");
    ASSERT_TRUE(recoloured);
    recoloured->Update();
    EXPECT_TRUE(Same(Pixel(*recoloured, 0, 0), kGreen));
    recoloured->LoadPalette("purple.pal");
    EXPECT_EQ(recoloured->GetAnimation().palette, str("purple.pal"));
    EXPECT_EQ(recoloured->GetAnimation().lastBlittedFrame, -1);
    recoloured->Update();
    EXPECT_TRUE(Same(Pixel(*recoloured, 0, 0), (Rgba{128, 0, 128, 255})));
    recoloured->LoadPalette("purple.pal");  // the same palette again: the copy stands
    EXPECT_EQ(recoloured->GetAnimation().lastBlittedFrame, 0);
}

// ---------------------------------------------------------------- frames

TEST_F(AnimatedTextureTest, UpdateCopiesTheFrameCentredAndFramesOfOnePlaceShareTheCopy)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    ASSERT_TRUE(walk->Update());
    // Frame 0 (red, 4x6) centred in the 8x6 surface.
    EXPECT_TRUE(Same(Pixel(*walk, 2, 0), kRed));
    EXPECT_TRUE(Same(Pixel(*walk, 5, 5), kRed));
    EXPECT_EQ(Pixel(*walk, 1, 0).a, 0);
    EXPECT_EQ(Pixel(*walk, 6, 0).a, 0);

    // A marker in the surface survives a switch to frame 3 (same place in the sheet) ...
    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(walk->Lock(&p, &w, &h, &pitch));
    p[0] = 1, p[1] = 2, p[2] = 3, p[3] = 4;
    walk->Unlock();
    walk->SetCurrentFrame(3);
    EXPECT_TRUE(walk->Update());
    EXPECT_EQ(Pixel(*walk, 0, 0).a, 4);
    // ... and a Refresh copies again.
    walk->Refresh();
    walk->Update();
    EXPECT_EQ(Pixel(*walk, 0, 0).a, 0);

    walk->SetCurrentFrame(1);  // green 8x2: rows 2 and 3
    walk->Update();
    EXPECT_TRUE(Same(Pixel(*walk, 0, 2), kGreen));
    EXPECT_TRUE(Same(Pixel(*walk, 7, 3), kGreen));
    EXPECT_EQ(Pixel(*walk, 2, 0).a, 0);  // the red frame was cleared away
}

TEST_F(AnimatedTextureTest, SetCurrentFrameTakesMinusOneToCountLessOne)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    walk->SetCurrentFrame(2);
    walk->SetCurrentFrame(4);
    walk->SetCurrentFrame(-2);
    EXPECT_EQ(walk->GetAnimation().currentFrame, 2);
    walk->SetCurrentFrame(-1);
    EXPECT_FALSE(walk->Update());
    walk->DrawSprite(100, 100, 1, 1, 0, 0);
    walk->Draw(0, 0);
    walk->DrawFast(0, 0);
    EXPECT_TRUE(handler.draws.empty());
}

TEST_F(AnimatedTextureTest, EmptyFramesDrawNothingAndTheFrameAfterOneIsCopied)
{
    // "gap" sits where "b" sits in the sheet, but has no pixels.
    WritePng("sheet.png", 8, 8, PngKind::Rgba, Solid(8, 8, kBlue));
    Pack("sheet sheet.png\n"
         "frame a rect 4 0 4 4\n"
         "frame gap rect 0 0 0 0\n"
         "frame b rect 0 0 4 4\n"
         "frame wide rect 0 0 8 4\n",
         "gaps.anm");
    auto gaps = TAnimatedTexture::Get("gaps.anm");
    ASSERT_TRUE(gaps);
    EXPECT_EQ(gaps->GetAnimation().imageWidth, 8);
    EXPECT_TRUE(gaps->Update());
    gaps->SetCurrentFrame(1);
    EXPECT_FALSE(gaps->Update());
    gaps->DrawSprite(0, 0, 1, 1, 0, 0);
    EXPECT_TRUE(handler.draws.empty());

    // Mark the surface: frame b must copy although the empty frame before it had its place.
    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(gaps->Lock(&p, &w, &h, &pitch));
    p[3] = 9;
    gaps->Unlock();
    gaps->SetCurrentFrame(2);
    EXPECT_TRUE(gaps->Update());
    EXPECT_EQ(Pixel(*gaps, 0, 0).a, 0);
    EXPECT_TRUE(Same(Pixel(*gaps, 2, 0), kBlue));
    // A frame of another size at the same place copies too (it is centred elsewhere).
    gaps->SetCurrentFrame(3);
    gaps->Update();
    EXPECT_TRUE(Same(Pixel(*gaps, 0, 0), kBlue));
}

TEST_F(AnimatedTextureTest, AnAnimationWithoutFramesLoadsAndDrawsNothing)
{
    WritePng("sheet.png", 8, 8, PngKind::Rgba, Solid(8, 8, kBlue));
    Pack("sheet sheet.png\n", "none.anm");
    auto none = TAnimatedTexture::Get("none.anm");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->GetNumFrames(), 0);
    EXPECT_EQ(none->BoundingBox(), TRect{});
    EXPECT_FALSE(none->Update());
    none->SetCurrentFrame(0);  // ignored
    EXPECT_EQ(none->GetScript(), str("function DoAnim()\n    delay(60);\nend\n"));
}

// ---------------------------------------------------------------- drawing

TEST_F(AnimatedTextureTest, DrawSpritePlacesTheRegistrationPointAndPassesTheFrameTransform)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    walk->SetCurrentFrame(1);  // 8x2, reg (4, 1), centred at (0, 2)
    walk->DrawSprite(100, 50, 0.5f, 2, 0.25f, 1);
    ASSERT_EQ(handler.draws.size(), 1u);
    const RecordedDraw& d = handler.draws[0];
    EXPECT_EQ(d.data, walk->GetData());
    EXPECT_TRUE(d.sprite);
    EXPECT_EQ(d.pos.x, 100);
    EXPECT_EQ(d.pos.y, 50);
    EXPECT_EQ(d.alpha, 0.5f);
    EXPECT_EQ(d.scaleX, 2);
    EXPECT_EQ(d.scaleY, 2);
    EXPECT_EQ(d.rotation, 0.25f);
    EXPECT_EQ(d.flags, 1);
    ASSERT_TRUE(d.centre);
    EXPECT_EQ(d.centre->x, 4);
    EXPECT_EQ(d.centre->y, 3);
    EXPECT_EQ(d.colour.a, 1);
    EXPECT_FALSE(d.matrix);  // frames without transforms
    EXPECT_FALSE(d.source);

    TVec2 centre{7, 8};
    walk->DrawSprite(TVec2{1, 2}, 1, 1, 0, &centre, 0);
    ASSERT_EQ(handler.draws.size(), 2u);
    EXPECT_EQ(handler.draws[1].centre->x, 7);

    Pack("xform 1\nframe a red.png xform 0 1 1 0 3 4\n", "turned.anm");
    auto turned = TAnimatedTexture::Get("turned.anm");
    ASSERT_TRUE(turned);
    turned->DrawSprite(0, 0, 1, 1, 0, 0);
    ASSERT_EQ(handler.draws.size(), 3u);
    ASSERT_TRUE(handler.draws[2].matrix);
    EXPECT_EQ(*handler.draws[2].matrix, (std::vector<float>{0, 1, 1, 0, 3, 4}));

    // Draw goes through the surface as a plain texture.
    walk->Draw(5, 6);
    ASSERT_EQ(handler.draws.size(), 4u);
    EXPECT_FALSE(handler.draws[3].sprite);
    EXPECT_EQ(handler.draws[3].data, walk->GetData());
}

TEST_F(AnimatedTextureTest, OutsideBegin2dNothingIsCopiedOrDrawn)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    handler.End2d();
    testing::internal::CaptureStderr();
    walk->DrawSprite(0, 0, 1, 1, 0, 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("outside of Begin2d/End2d"), std::string::npos);
    EXPECT_EQ(walk->GetAnimation().lastBlittedFrame, -1);
    EXPECT_TRUE(handler.draws.empty());
}

TEST_F(AnimatedTextureTest, ACacheOfTwoSlotsServesTwoDrawsThenThePlainDrawUntilReset)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    TAnimatedTextureCache cache(16, 8, 2);
    walk->SetCurrentFrame(0);  // 4x6, reg (2, 5): at (6, 1) of a 16x8 slot
    walk->DrawSprite(&cache, TVec2{10, 10}, 1, 1, 0, nullptr, 0);
    walk->SetCurrentFrame(2);
    walk->DrawSprite(&cache, TVec2{20, 10}, 1, 1, 0, nullptr, 0);
    walk->DrawSprite(&cache, TVec2{30, 10}, 1, 1, 0, nullptr, 0);
    ASSERT_EQ(handler.draws.size(), 3u);
    const RecordedDraw &first = handler.draws[0], &second = handler.draws[1], &third = handler.draws[2];
    EXPECT_NE(first.data, walk->GetData());
    EXPECT_NE(first.data, second.data);
    EXPECT_EQ(first.source, (TRect{0, 0, 16, 8}));
    EXPECT_EQ(first.centre->x, 2 + 6);
    EXPECT_EQ(first.centre->y, 5 + 1);
    EXPECT_FALSE(first.matrix);
    EXPECT_EQ(third.data, walk->GetData());  // no slot left: the plain draw
    // The cached draws left the shared surface alone; the plain one copied frame 2.
    EXPECT_EQ(walk->GetAnimation().lastBlittedFrame, 2);

    cache.Reset();
    walk->DrawSprite(&cache, TVec2{10, 10}, 1, 1, 0, nullptr, 0);
    ASSERT_EQ(handler.draws.size(), 4u);
    EXPECT_EQ(handler.draws[3].data, second.data);  // a slot again: the one that holds frame 2

    // A frame larger than the slot takes the plain draw; an empty current frame draws nothing.
    TAnimatedTextureCache small(4, 4, 4);
    walk->DrawSprite(&small, TVec2{0, 0}, 1, 1, 0, nullptr, 0);
    EXPECT_EQ(handler.draws.back().data, walk->GetData());
    walk->SetCurrentFrame(-1);
    std::size_t before = handler.draws.size();
    walk->DrawSprite(&small, TVec2{0, 0}, 1, 1, 0, nullptr, 0);
    walk->DrawSprite(nullptr, TVec2{0, 0}, 1, 1, 0, nullptr, 0);
    EXPECT_EQ(handler.draws.size(), before);
}

TEST_F(AnimatedTextureTest, ACachedDrawCopiesTheFrameIntoTheMiddleOfItsSlot)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    TAnimatedTextureCache cache(16, 8, 1);
    walk->DrawSprite(&cache, TVec2{0, 0}, 1, 1, 0, nullptr, 0);
    cache.Reset();
    std::shared_ptr<TTexture> slot;
    TRect rect;
    ASSERT_TRUE(cache.GetNextSlot(slot, rect));  // hands it out cleared
    EXPECT_EQ(Pixel(*slot, 6, 1).a, 0);
    cache.Reset();
    walk->SetCurrentFrame(2);  // blue 6x6 at (5, 1)
    const TTextureData* data = slot->GetData();
    walk->DrawSprite(&cache, TVec2{0, 0}, 1, 1, 0, nullptr, 0);
    EXPECT_EQ(handler.draws.back().data, data);
    EXPECT_TRUE(Same(Pixel(*slot, 5, 1), kBlue));
    EXPECT_TRUE(Same(Pixel(*slot, 10, 6), kBlue));
    EXPECT_EQ(Pixel(*slot, 4, 1).a, 0);
    EXPECT_EQ(Pixel(*slot, 11, 1).a, 0);
}

// The slots a pass drew through, and what each held then (its content version).
struct CachePass {
    std::vector<const TTextureData*> slots;
    std::vector<std::uint64_t> versions;
};

CachePass DrawPass(TAnimatedTextureCache& cache, TAnimatedTexture& animation, RecordingHandler& handler,
                   std::initializer_list<int> frames, const char* palette = nullptr)
{
    cache.Reset();
    if (palette)
        animation.LoadPalette(palette);
    CachePass pass;
    for (int frame : frames) {
        animation.SetCurrentFrame(frame);
        animation.DrawSprite(&cache, TVec2{10, 10}, 1, 1, 0, nullptr, 0);
        pass.slots.push_back(handler.draws.back().data);
    }
    for (const TTextureData* slot : pass.slots)
        pass.versions.push_back(slot->GetContentVersion());
    return pass;
}

TEST_F(AnimatedTextureTest, CacheSlotsKeepTheirFramesSoASteadySceneCopiesNothing)
{
    Pack(Walk(), "walk.anm");
    auto walk = TAnimatedTexture::Get("walk.anm");
    ASSERT_TRUE(walk);
    TAnimatedTextureCache cache(16, 8, 3);
    // Two sprites show frame 0, one frame 2; the next pass asks the same in another order.
    const CachePass first = DrawPass(cache, *walk, handler, {0, 2, 0});
    EXPECT_NE(first.slots[0], first.slots[2]) << "each draw of a pass has a slot of its own";
    const CachePass again = DrawPass(cache, *walk, handler, {2, 0, 0});
    EXPECT_EQ(again.slots[0], first.slots[1]);
    EXPECT_EQ(again.versions, (std::vector<std::uint64_t>{first.versions[1], first.versions[0], first.versions[2]}))
        << "frames that slots still hold are drawn without a copy";
    for (const RecordedDraw& draw : std::vector<RecordedDraw>(handler.draws.end() - 3, handler.draws.end()))
        EXPECT_EQ(draw.source, (TRect{0, 0, 16, 8}));

    // A new frame takes the slot used longest ago and copies into it.
    DrawPass(cache, *walk, handler, {0, 2});
    const CachePass moved = DrawPass(cache, *walk, handler, {1, 0, 2});
    EXPECT_EQ(moved.slots[0], first.slots[2]);
    EXPECT_NE(moved.versions[0], first.versions[2]);
    EXPECT_EQ(moved.slots[1], first.slots[0]);
    EXPECT_EQ(moved.versions[1], first.versions[0]);

    // New pixels in the sheet (a reload, a Lock) make every held copy stale, once.
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, pitch = 0;
    ASSERT_TRUE(walk->GetAllFrames()->Lock(&pixels, &w, &h, &pitch));
    walk->GetAllFrames()->Unlock();
    const CachePass recopied = DrawPass(cache, *walk, handler, {1, 0, 2});
    for (std::size_t i = 0; i < 3; ++i) {
        // Each of the three slots is used in both passes; each was copied into again.
        auto was = std::find(moved.slots.begin(), moved.slots.end(), recopied.slots[i]);
        ASSERT_NE(was, moved.slots.end());
        EXPECT_GT(recopied.versions[i], moved.versions[std::size_t(was - moved.slots.begin())]) << i;
    }
    EXPECT_EQ(DrawPass(cache, *walk, handler, {1, 0, 2}).versions, recopied.versions);
}

TEST_F(AnimatedTextureTest, CacheSlotsTellPalettesApart)
{
    const std::vector<Rgba> palette{{0, 0, 0, 0}, {0, 255, 0, 255}};
    WriteIndexedPng("seat.png", 4, 4, 8, std::vector<std::uint8_t>(16, 1), palette, {0, 255});
    WritePal("purple.pal", {{0, 0, 0, 0}, {128, 0, 128, 255}});
    WritePal("green.pal", {{0, 0, 0, 0}, {0, 255, 0, 255}});
    Pack("frame seat seat.png\n", "chair.anm");
    auto chair = TAnimatedTexture::Get("chair.anm", "chair.png?palettized", "");
    ASSERT_TRUE(chair);
    TAnimatedTextureCache cache(8, 8, 2);
    const CachePass green = DrawPass(cache, *chair, handler, {0}, "green.pal");
    const CachePass purple = DrawPass(cache, *chair, handler, {0}, "purple.pal");
    EXPECT_NE(purple.slots[0], green.slots[0]);
    const CachePass greenAgain = DrawPass(cache, *chair, handler, {0}, "green.pal");
    EXPECT_EQ(greenAgain.slots, green.slots);
    EXPECT_EQ(greenAgain.versions, green.versions);
    // The 4x4 seat sits at (2, 2) of its 8x8 slot.
    EXPECT_TRUE(Same(SlotPixel(green.slots[0], 2, 2), kGreen));
    EXPECT_TRUE(Same(SlotPixel(purple.slots[0], 5, 5), (Rgba{128, 0, 128, 255})));
    EXPECT_EQ(SlotPixel(purple.slots[0], 1, 1).a, 0);
}

// ---------------------------------------------------------------- damaged files

TEST_F(AnimatedTextureTest, EveryCutOfAnAnmFileIsRefusedAndNothingIsKept)
{
    std::ofstream("walk.lua") << "frames{1}";
    Pack(Walk() + "script walk.lua\n", "walk.anm");
    std::vector<std::uint8_t> bytes = ReadBytes("walk.anm");
    TAnimationRecord whole;
    ASSERT_TRUE(ReadAnmBytes(bytes.data(), bytes.size(), &whole));
    EXPECT_EQ(whole.script, str("frames{1}"));
    // Cut in the frames or the script: refused. Cut right after the frames:
    // a file without a script, which is fine.
    std::size_t scriptAt = bytes.size() - (4 + 4 + 9);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        TAnimationRecord record;
        record.sequenceName = "kept";
        bool ok = ReadAnmBytes(bytes.data(), size, &record);
        EXPECT_EQ(ok, size >= scriptAt && size < scriptAt + 4) << "cut at " << size;
        if (!ok) {
            EXPECT_EQ(record.sequenceName, str("kept"));
        }
    }
}

TEST_F(AnimatedTextureTest, CountsLengthsAndSizesBeyondTheFileAreRefused)
{
    Pack("frame a red.png\nanchor hand 1 2\n", "one.anm");
    const std::vector<std::uint8_t> good = ReadBytes("one.anm");
    auto patched = [&](std::size_t at, std::int32_t value) {
        std::vector<std::uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = std::uint8_t(std::uint32_t(value) >> (8 * i));
        TAnimationRecord record;
        return ReadAnmBytes(bytes.data(), bytes.size(), &record);
    };
    // Layout: ANIM(4) reserved(8) name "one"(4+3) source ""(4) IMGN(4) numbers(16) xform(16)
    // image "one.png"(4+7) mask(4) FRMS(4) count(4) frame: numbers(24) xform(24) name(4+1) anchors(4) ...
    std::size_t nameLength = 12, frameCount = 12 + 7 + 4 + 4 + 16 + 16 + 11 + 4 + 4;
    std::size_t frameW = frameCount + 4 + 16, anchorCount = frameCount + 4 + 24 + 24 + 5;
    ASSERT_TRUE(patched(nameLength, 3));
    EXPECT_TRUE(patched(nameLength + 7, -5));  // a negative length is the empty string
    EXPECT_FALSE(patched(nameLength, 1 << 30));
    EXPECT_FALSE(patched(frameCount, 1 << 30));
    EXPECT_FALSE(patched(frameCount, -1));
    EXPECT_FALSE(patched(frameCount, 2));
    EXPECT_FALSE(patched(anchorCount, 0x7fffffff));
    EXPECT_FALSE(patched(anchorCount, -3));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(patched(frameW, -4));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("frame of negative size"), std::string::npos);

    std::vector<std::uint8_t> badTag = good;
    badTag[0] = 'X';
    TAnimationRecord record;
    EXPECT_FALSE(ReadAnmBytes(badTag.data(), badTag.size(), &record));
    WriteBytes("bad.anm", badTag);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(TAnimatedTexture::Get("bad.anm"));
    testing::internal::GetCapturedStderr();

    // Extreme coordinates do not overflow the boxes.
    ASSERT_TRUE(ReadAnmBytes(good.data(), good.size(), &record));
    record.frames[0].regX = -2147483647 - 1;
    record.frames[0].x = 2147483647;
    EXPECT_EQ(record.FrameBox(0).x1, 2147483647);
    EXPECT_EQ(record.frames[0].SheetRect().x2, 2147483647);
}

}  // namespace
