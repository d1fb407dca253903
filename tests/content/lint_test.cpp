// The content lint on fixture data made here: every kind of contract, passing
// and broken (a missing file, a wrong case, a missing or empty label, a
// looping animation the game would wait on, a missing function or anchor),
// and the literal file names it finds in sources.
#include "tools/anmpack/anmpack.h"
#include "tools/contentlint/colours.h"
#include "tools/contentlint/contracts.h"
#include "tools/contentlint/lint.h"
#include "tools/synth/dsp.h"
#include "tools/synth/vorbiswriter.h"

#include "testimages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace testimages;

namespace {

void Write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

class LintTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    fs::path root = fs::current_path();

    void SetUp() override
    {
        fs::create_directories(root / "data/assets/anim");
        WritePng((root / "data/assets/ok.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {255, 0, 0, 255}));
        WritePng((root / "red.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {255, 0, 0, 255}));
        WritePng((root / "blue.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {0, 0, 255, 255}));
        anmpack::Animation a = anmpack::ParseDescription(
            "reg 2 2\nframe a red.png reg 2 2\nanchor hand 1 -3\nframe b blue.png reg 2 2\n", root.string());
        a.sequence = "walk";
        a.image = "walk.png";
        a.script = "function Once()\n delay(50);\n frames{1,2};\nend\n"
                   "function Loop()\n delay(50);\n while true do\n  frames{1,2};\n end\nend\n";
        std::string error;
        ASSERT_TRUE(anmpack::WritePng((root / "data/assets/anim/walk.png").string(), anmpack::PackSheet(a), &error));
        std::vector<std::uint8_t> bytes = anmpack::EncodeAnm(a);
        ASSERT_TRUE(anmpack::WriteFile((root / "data/assets/anim/walk.anm").string(),
                                       std::string(bytes.begin(), bytes.end()), &error));
        Write(root / "data/assets/strings.xml",
              "<Workbook><Row><Data>HELLO</Data><Data>Hello</Data></Row>"
              "<Row><Data>BROKEN</Data><Data>See %NOWHERE%</Data></Row></Workbook>\n");
        Write(root / "data/assets/config/level.bin", "enciphered");
    }

    contentlint::TLintReport Run(const std::string& contracts, std::vector<std::string> scan = {})
    {
        Write(root / "contracts.txt", contracts);
        contentlint::TLintOptions options;
        options.dataFolder = (root / "data").string();
        options.contractsFile = (root / "contracts.txt").string();
        options.scanFolders = std::move(scan);
        options.animationLimitMs = 5000;
        return contentlint::Lint(options);
    }
};

TEST_F(LintTest, EveryKindOfContractPassesOnGoodData)
{
    auto report = Run("set part ok\n"
                      "file {part}.png\nfile assets/ok.png\nfile config/level.xml\n"
                      "texture ok\ntexture ok?colorkeyed\ntexture anim/walk.png\n"
                      "label HELLO\n"
                      "anim anim/walk.anm\n"
                      "ends anim/walk.anm Once\nloops anim/walk.anm Loop Once\n"
                      "anchor anim/walk.anm 0 hand\n");
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    EXPECT_EQ(report.checks, 11);
}

TEST_F(LintTest, BrokenFixturesFailEachWithItsReason)
{
    auto report = Run("set colour red blue\n"
                      "file missing.png\n"        // 2
                      "file OK.png\n"             // 3: wrong case
                      "file {colour}.pal\n"       // 4: twice
                      "label NOPE\n"              // 5
                      "label BROKEN\n"            // 6: expands to "#####"
                      "ends anim/walk.anm Loop\n"  // 7: loops for ever
                      "ends anim/walk.anm Gone\n"  // 8
                      "anchor anim/walk.anm all hand\n"  // 9: frame 1 lacks it
                      "anchor anim/walk.anm 5 hand\n"    // 10
                      "texture ok?palette=none.pal\n"    // 11
                      "anim anim/run.anm\n"              // 12
                      "wobble x\n"                       // 13
                      "file {size}.png\n");              // 14
    EXPECT_EQ(report.failures, (std::vector<std::string>{
                                   "contracts.txt: line 13: unknown statement 'wobble'",
                                   "contracts.txt: line 14: no set 'size'",
                                   "contracts.txt: line 2: no file missing.png",
                                   "contracts.txt: line 3: no file OK.png",
                                   "contracts.txt: line 4: no file red.pal",
                                   "contracts.txt: line 4: no file blue.pal",
                                   "contracts.txt: line 5: label NOPE shows \"#####\"",
                                   "contracts.txt: line 6: label BROKEN shows \"#####\"",
                                   "contracts.txt: line 7: anim/walk.anm: Loop does not end (still playing after 5 s)",
                                   "contracts.txt: line 8: anim/walk.anm has no function Gone",
                                   "contracts.txt: line 9: anim/walk.anm frame 1 (b) has no anchor hand",
                                   "contracts.txt: line 10: anim/walk.anm has no frame 5",
                                   "contracts.txt: line 11: no palette none.pal",
                                   "contracts.txt: line 12: animation anim/run.anm does not load",
                               }));
}

// A halo fades out inside its picture: one visible pixel on any side of the
// border (the far corner, a single inner row's end) is a straight cut on screen.
TEST_F(LintTest, GlowPicturesMustBeTransparentAllAlongTheirBorder)
{
    const auto halo = [](int w, int h) {
        std::vector<Rgba> pixels = Solid(w, h, {0, 0, 0, 0});
        for (int y = 1; y < h - 1; ++y)
            for (int x = 1; x < w - 1; ++x)
                pixels[std::size_t(y * w + x)] = {255, 216, 106, 40};
        return pixels;
    };
    const auto write = [&](const std::string& name, const std::vector<Rgba>& pixels, int w, int h) {
        WritePng((root / "data/assets" / name).string(), w, h, PngKind::Rgba, pixels);
    };
    write("soft.png", halo(7, 5), 7, 5);
    std::vector<Rgba> corner = halo(7, 5);
    corner[std::size_t(4 * 7 + 6)].a = 1;  // the bottom right corner, barely there
    write("corner.png", corner, 7, 5);
    std::vector<Rgba> side = halo(7, 5);
    side[std::size_t(2 * 7 + 6)].a = 90;  // the right end of a middle row
    write("side.png", side, 7, 5);
    std::vector<Rgba> left = halo(7, 5);
    left[std::size_t(3 * 7)].a = 255;
    write("left.png", left, 7, 5);

    auto report = Run("glow soft.png soft\nglow corner.png side.png\nglow left.png gone.png\n");
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{
                  "contracts.txt: line 2: glow corner.png is cut off at its edge: pixel 6,4 on the border is not "
                  "transparent",
                  "contracts.txt: line 2: glow side.png is cut off at its edge: pixel 6,2 on the border is not "
                  "transparent",
                  "contracts.txt: line 3: glow left.png is cut off at its edge: pixel 0,3 on the border is not "
                  "transparent",
                  "contracts.txt: line 3: no glow picture gone.png",
              }));
    EXPECT_EQ(report.checks, 6);
}

// A halo cut where it was strong and eased out over its last pixels keeps
// its border clear, but still ends in a straight line on screen (a ring that
// reached the edge loses its ends): just inside the border it must be faint.
TEST_F(LintTest, GlowsEasedOutAtTheirEdgeFailWhereTheyWereStillStrong)
{
    const auto halo = [](int inner) {
        std::vector<Rgba> pixels = Solid(9, 9, {0, 0, 0, 0});
        for (int y = 1; y < 8; ++y)
            for (int x = 1; x < 8; ++x) {
                const int ring = std::min({x, y, 8 - x, 8 - y});
                pixels[std::size_t(y * 9 + x)] = {255, 216, 106, std::uint8_t(ring == 1 ? 16 : ring == 2 ? inner : 255)};
            }
        return pixels;
    };
    WritePng((root / "data/assets/faded.png").string(), 9, 9, PngKind::Rgba, halo(48));
    WritePng((root / "data/assets/eased.png").string(), 9, 9, PngKind::Rgba, halo(66));

    auto report = Run("glow faded.png eased.png\n");
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{"contracts.txt: line 1: glow eased.png reaches its edge: pixel 2,2, 2 px "
                                        "inside the border, is 66/255 opaque (eased out there, it still ends in a "
                                        "straight cut)"}));
    EXPECT_EQ(report.checks, 2);
}

// An item and its offer are drawn whole: anything on the border, even the
// faint end of an orange rim, is where the picture cuts it.
TEST_F(LintTest, PicturesDrawnWholeLeaveTheirBorderEmpty)
{
    std::vector<Rgba> inside = Solid(6, 6, {0, 0, 0, 0});
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            inside[std::size_t(y * 6 + x)] = {232, 116, 59, 230};
    WritePng((root / "data/assets/inside.png").string(), 6, 6, PngKind::Rgba, inside);
    std::vector<Rgba> rim = inside;
    rim[std::size_t(3 * 6 + 5)] = {232, 116, 59, 3};
    WritePng((root / "data/assets/rim.png").string(), 6, 6, PngKind::Rgba, rim);

    auto report = Run("whole inside.png rim.png\nwhole gone.png\n");
    EXPECT_EQ(report.failures, (std::vector<std::string>{
                                   "contracts.txt: line 1: rim.png is cut at its edge: pixel 5,3 on the border is "
                                   "not transparent",
                                   "contracts.txt: line 2: no picture gone.png",
                               }));
    EXPECT_EQ(report.checks, 3);
}

// The decor a room places stands clear of what the screen draws over the
// room: the display's boxes that a script sets, and a sign anywhere on its
// way in. Each picture of the decor file counts at its own size; pictures
// that only touch a box are clear.
TEST_F(LintTest, DecorPicturesMustStandClearOfTheDisplayAndTheSign)
{
    fs::create_directories(root / "data/assets/room/decor");
    fs::create_directories(root / "data/assets/room/clear");
    WritePng((root / "data/assets/room/decor/1_0.png").string(), 10, 8, PngKind::Rgba, Solid(10, 8, {0, 0, 0, 0}));
    WritePng((root / "data/assets/room/decor/2_0.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {0, 0, 0, 0}));
    WritePng((root / "data/assets/sign.png").string(), 6, 4, PngKind::Rgba, Solid(6, 4, {0, 0, 0, 0}));
    Write(root / "data/assets/scripts/boxes.lua",
          "-- the display\nkBoxes = { band = { 0, 0, 100, 10 }, clock = { 90, 0, 10, 20 } }\n");
    // The sign slides from x 20 to x 50 at y 40: it covers 17..53 x 38..42.
    const std::string covers = "coverboxes scripts/boxes.lua kBoxes\ncoverpicture sign sign.png 20 40 50 40\n";
    // 1_0 stands under the band's bottom row and under the clock; 2_0 just
    // clear of the band (touching it), then halfway along the sign's way.
    Write(root / "data/assets/room/decor/upgrades.xml",
          "<upgrades><sequence><img regx=\"100\" regy=\"0\"/><framelist>"
          "<frame name=\"1_0.png\" regx=\"15\" regy=\"-9\"/>"
          "<frame name=\"2_0.png\" regx=\"40\" regy=\"-10\"/>"
          "</framelist></sequence></upgrades>\n");
    Write(root / "data/assets/room/clear/upgrades.xml",
          "<upgrades><sequence><img regx=\"0\" regy=\"0\"/><framelist>"
          "<frame name=\"2_0.png\" regx=\"-40\" regy=\"-10\"/></framelist></sequence></upgrades>\n");
    WritePng((root / "data/assets/room/clear/2_0.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {0, 0, 0, 0}));
    auto report = Run(covers + "clear assets/room/decor/upgrades.xml assets/room/clear/upgrades.xml\n");
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{
                  "contracts.txt: line 3: room/decor/1_0.png at 85,9 10x8 meets band (scripts/boxes.lua) at 0,0 100x10",
                  "contracts.txt: line 3: room/decor/1_0.png at 85,9 10x8 meets clock (scripts/boxes.lua) at 90,0 10x20",
              }));
    EXPECT_EQ(report.checks, 3);  // a check per picture placed

    Write(root / "data/assets/room/clear/upgrades.xml",
          "<upgrades><sequence><img regx=\"0\" regy=\"0\"/><framelist>"
          "<frame name=\"2_0.png\" regx=\"-33\" regy=\"-39\"/></framelist></sequence></upgrades>\n");
    report = Run(covers + "clear assets/room/clear/upgrades.xml\n");
    EXPECT_EQ(report.failures, (std::vector<std::string>{
                                   "contracts.txt: line 3: room/clear/2_0.png at 33,39 4x4 meets sign (sign.png) at "
                                   "17,38 36x4",
                               }));
}

// What keeps the check from being made fails by name: a boxes script that is
// missing, broken or sets no such table, an entry that is no box, a sign
// with no picture, a decor file with no framelist or a picture it lacks.
TEST_F(LintTest, PlacesThatCannotBeReadFailByName)
{
    Write(root / "data/assets/scripts/broken.lua", "kBoxes = {\n");
    Write(root / "data/assets/scripts/odd.lua", "kBoxes = { band = { 0, 0, 100 }, [1] = 'x' }\n");
    Write(root / "data/assets/room/none.xml", "<upgrades><sequence/></upgrades>\n");
    Write(root / "data/assets/room/lost.xml",
          "<upgrades><sequence><img regx=\"0\" regy=\"0\"/><framelist>"
          "<frame name=\"9_0.png\" regx=\"0\" regy=\"0\"/></framelist></sequence></upgrades>\n");
    auto report = Run("coverboxes scripts/gone.lua kBoxes\n"
                      "coverboxes scripts/broken.lua kBoxes\n"
                      "coverboxes scripts/odd.lua kBoxes\n"
                      "coverboxes scripts/odd.lua kOther\n"
                      "coverpicture sign gone.png 0 0 1 1\n"
                      "clear assets/room/none.xml assets/room/lost.xml assets/room/gone.xml\n"
                      "coverpicture sign ok.png 0 0\n");
    ASSERT_EQ(report.failures.size(), 10u) << testing::PrintToString(report.failures);
    EXPECT_EQ(report.failures[0], "contracts.txt: line 7: 'coverpicture' needs 6 word(s)");
    EXPECT_EQ(report.failures[1], "contracts.txt: line 1: no script scripts/gone.lua");
    EXPECT_EQ(report.failures[2].rfind("contracts.txt: line 2: scripts/broken.lua does not run: ", 0), 0u)
        << report.failures[2];
    // (the table's entries come in its hash order)
    std::vector<std::string> odd(report.failures.begin() + 3, report.failures.begin() + 5);
    std::sort(odd.begin(), odd.end());
    EXPECT_EQ(odd, (std::vector<std::string>{
                       "contracts.txt: line 3: kBoxes.? in scripts/odd.lua is not a box { x, y, w, h }",
                       "contracts.txt: line 3: kBoxes.band in scripts/odd.lua is not a box { x, y, w, h }",
                   }));
    EXPECT_EQ(std::vector<std::string>(report.failures.begin() + 5, report.failures.end()),
              (std::vector<std::string>{
                  "contracts.txt: line 4: scripts/odd.lua sets no table kOther",
                  "contracts.txt: line 5: no picture gone.png",
                  "contracts.txt: line 6: assets/room/none.xml places no pictures (no sequence with a framelist)",
                  "contracts.txt: line 6: assets/room/lost.xml places room/9_0.png, which does not load",
                  "contracts.txt: line 6: assets/room/gone.xml places no pictures (no sequence with a framelist)",
              }));
}

TEST_F(LintTest, FileNamesWrittenInSourcesMustExistUnlessPending)
{
    Write(root / "src/screen.cpp",
          "auto a = Open(\"assets/ok.png\");\n"
          "auto b = Open(\"assets/gone.png\");\n"
          "auto c = Open(\"assets/later.ogg\");\n"
          "auto d = Format(\"%s/x.png\");\n"
          "auto e = Open(\"config/level.xml\");  // its .bin sibling\n");
    Write(root / "src/menu.lua", "Load(\"scripts/menu.lua\")\nUrl(\"https://example.org/a.png\")\n");
    auto report = Run("pending assets/later.ogg\npending assets/ok.png\n", {(root / "src").string()});
    // A pending marker on a file that exists fails: it would keep the file
    // out of every later check.
    EXPECT_EQ(report.failures, (std::vector<std::string>{
                                   "contracts.txt: line 2: assets/ok.png exists now: take it off the pending list",
                                   (root / "src/menu.lua").string() + ": names scripts/menu.lua, which does not exist",
                                   (root / "src/screen.cpp").string() + ": names assets/gone.png, which does not exist",
                               }));
    EXPECT_EQ(report.notes, (std::vector<std::string>{"contracts.txt: line 1: pending: assets/later.ogg"}));
}

TEST(LintLiterals, ScriptLabelsAreTheLiteralLabelsAndGetStringKeys)
{
    EXPECT_EQ(contentlint::ScriptLabels("Text { label = \"title\", x = 1 }\n"
                                        "Text { label = \"#own text\" }\n"
                                        "local t = GetString( \"body\", name)\n"
                                        "Button { label=\"title\" } Text { label = \"x\" .. k }\n"
                                        "sublabel = \"nope\""),
              (std::vector<std::string>{"title", "body"}));
}

TEST_F(LintTest, WindowLinesHoldAScriptToItsTypeAndTheChildrenTheCodeReads)
{
    Write(root / "data/assets/scripts/kit.lua", "function Row(n) return Text { name = 'row' .. n } end\n");
    Write(root / "data/assets/scripts/board.lua",
          "ReadFile(\"scripts/kit.lua\")\n"
          "MakeDialog { Board { name = \"board\", Text { name = 'score' }, Row(1), Row(2),\n"
          "             List(\"NameList\"), Button { name = \"kontinue\" } } }\n");
    auto report = Run("window scripts/board.lua Board score row%d continue\n"    // 1: "continue" renamed
                      "window scripts/board.lua Scoreboard\n"                    // 2: no such type
                      "window scripts/board.lua NameList\n"                      // 3: named for a helper
                      "window scripts/gone.lua - score\n"                        // 4: no script
                      "window scripts/board.lua - tally total\n"                 // 5: one pending
                      "pending scripts/board.lua:tally\n"
                      "pending scripts/board.lua:score\n");
    EXPECT_EQ(report.failures,
              (std::vector<std::string>{
                  "contracts.txt: line 1: scripts/board.lua names no child \"continue\" (the code reads it by that name)",
                  "contracts.txt: line 2: scripts/board.lua builds no Scoreboard window",
                  "contracts.txt: line 4: no window script scripts/gone.lua",
                  "contracts.txt: line 5: scripts/board.lua names no child \"total\" (the code reads it by that name)",
              }));
    EXPECT_EQ(report.notes, (std::vector<std::string>{
                                "contracts.txt: line 1: scripts/board.lua:score is named now: take it off the pending list",
                                "contracts.txt: line 5: pending: scripts/board.lua:tally",
                            }));
}

TEST(LintLiterals, OnlyQuotedPathsWithAFolderAndAResourceExtension)
{
    EXPECT_EQ(contentlint::LiteralFileNames("\"a/b.png\" \"c.png\" \"d/e.txt\" \"@f/g.lua\" \"h/%d.ogg\" "
                                            "\"i/j k.png\" \"/abs/l.png\" \"m/n.anm\" \"a/b.png\""),
              (std::vector<std::string>{"a/b.png", "m/n.anm"}));
    // A texture with a palette option is checked by its palette file.
    EXPECT_EQ(contentlint::LiteralFileNames("\"baby.png?palette=c/m/red.pal\" \"p/q.png?x=1,palette=r/s.pal\""),
              (std::vector<std::string>{"c/m/red.pal", "r/s.pal"}));
}

// ---------------------------------------------------------------- loudness

// A sound of `seconds` at `rate`: a sine of `hertz` at `rms` dBFS, or white noise when hertz is 0.
void WriteSound(const fs::path& path, double hertz, double rms, double seconds = 1.0, int rate = 44100)
{
    fs::create_directories(path.parent_path());
    std::vector<float> samples(std::size_t(seconds * rate));
    synth::TNoise noise(5);
    const double amplitude = std::pow(10.0, rms / 20.0);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = hertz > 0 ? float(amplitude * std::sqrt(2.0) * std::sin(synth::kTau * hertz * double(i) / rate))
                               : float(amplitude * std::sqrt(3.0) * noise.Next());  // uniform noise: rms = a / sqrt(3)
    std::string error;
    ASSERT_TRUE(synth::WriteVorbis(path.string(), samples, rate, 0.6, &error)) << error;
}

const char* kRule = "loudness music audio/music -23 1 -6\n"
                    "loudness effects audio/sfx 6 -1 0.25\n"
                    "loudness ambient audio/ambient -18 0.5\n"
                    "loudness order ambient music effects 3\n";

bool Has(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

TEST_F(LintTest, LoudnessRulePassesLevelledSoundsAndPrintsTheirTable)
{
    const fs::path audio = root / "data/assets/audio";
    WriteSound(audio / "music/menu.ogg", 330, -23, 3.0, 22050);
    WriteSound(audio / "music/ship/ship_intro.ogg", 440, -23, 1.5, 22050);
    WriteSound(audio / "music/ship/ship_a1.ogg", 523, -23, 4.5, 22050);
    WriteSound(audio / "sfx/coin.ogg", 1568, -17);
    WriteSound(audio / "sfx/heart.ogg", 523, -18);
    WriteSound(audio / "sfx/knock.ogg", 220, -20);
    WriteSound(audio / "ambient/deck.ogg", 600, -32, 2.0, 22050);

    auto report = Run(kRule);
    EXPECT_EQ(report.failures, std::vector<std::string>{});
    EXPECT_TRUE(Has(report.table, "audio/sfx/coin.ogg"));
    EXPECT_TRUE(Has(report.table, "median RMS"));
    // Minutes of distinct music: a restaurant's folder adds its pieces up; a file alone is its own.
    EXPECT_TRUE(Has(report.table, "ship              0.10 min in 2 pieces")) << ::testing::PrintToString(report.table);
    EXPECT_TRUE(Has(report.table, "menu              0.05 min in 1 piece"));
}

TEST_F(LintTest, LoudnessRuleFailsLoudMusicHissHumAndTheKindsOutOfOrder)
{
    const fs::path audio = root / "data/assets/audio";
    WriteSound(audio / "music/ship/ship_a1.ogg", 440, -23, 2.0, 22050);
    WriteSound(audio / "music/ship/ship_a2.ogg", 440, -18, 2.0, 22050);  // 5 dB over the others
    WriteSound(audio / "sfx/coin.ogg", 1568, -18);
    WriteSound(audio / "sfx/heart.ogg", 523, -18);
    WriteSound(audio / "sfx/ring.ogg", 880, -8);   // 10 dB over the median
    WriteSound(audio / "sfx/hiss.ogg", 0, -18);    // white noise
    WriteSound(audio / "ambient/hum.ogg", 60, -20, 2.0, 22050);  // a hum small speakers do not play

    auto report = Run(kRule);
    const auto& f = report.failures;
    EXPECT_TRUE(Has(f, "line 1: audio/music/ship/ship_a2.ogg: RMS -18.")) << ::testing::PrintToString(f);
    EXPECT_TRUE(Has(f, "line 2: audio/sfx/ring.ogg: RMS -")) << "10 dB over the median";
    EXPECT_TRUE(Has(f, "line 2: audio/sfx/hiss.ogg: ")) << "broadband hiss";
    EXPECT_TRUE(Has(f, "line 3: audio/ambient/hum.ogg: only "));
    EXPECT_TRUE(Has(f, "line 3: audio/ambient/hum.ogg: peak "));
    EXPECT_TRUE(Has(f, "line 4: ambient at -20."));
    EXPECT_FALSE(Has(f, "coin.ogg"));
    EXPECT_FALSE(Has(f, "ship_a1.ogg"));
}

TEST_F(LintTest, LoudnessRuleNamesAMissingFolderAndABadStatement)
{
    auto report = Run("loudness music audio/none -23 1 -6\nloudness drums audio 1 2 3\nloudness order music 3\n");
    EXPECT_EQ(report.failures.size(), 3u);
    EXPECT_TRUE(Has(report.failures, "line 1: no folder audio/none"));
    EXPECT_TRUE(Has(report.failures, "line 2: expected 'loudness music"));
    EXPECT_TRUE(Has(report.failures, "line 3: expected 'loudness order"));
}

// --- The colour rules --------------------------------------------------------------

TEST(LintColours, ContrastAndDistanceAgreeWithTheirPublishedFigures)
{
    using contentlint::ContrastRatio;
    using contentlint::RelativeLuminance;
    EXPECT_NEAR(ContrastRatio(RelativeLuminance({0, 0, 0}), RelativeLuminance({255, 255, 255})), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RelativeLuminance({0x77, 0x77, 0x77}), RelativeLuminance({255, 255, 255})), 4.48, 0.01);
    // CIEDE2000 test pairs from Sharma, Wu and Dalal's data set.
    EXPECT_NEAR(contentlint::Ciede2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(contentlint::Ciede2000({50, 2.5, 0}, {73, 25, -18}), 27.1492, 1e-4);
    EXPECT_NEAR(contentlint::Ciede2000({2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}), 0.9082, 1e-4);
    // Red and green are far apart for most eyes and close without the
    // middle-wavelength cones; blue and yellow stay apart either way.
    const contentlint::TRgb red{200, 40, 40}, green{60, 140, 40}, blue{40, 60, 220}, yellow{240, 220, 40};
    const double normal = contentlint::ColourDistance(red, green, "normal");
    const double deuteranope = contentlint::ColourDistance(red, green, "deuteranopia");
    EXPECT_GT(normal, 40);
    EXPECT_LT(deuteranope, normal / 2);
    EXPECT_GT(contentlint::ColourDistance(blue, yellow, "deuteranopia"), 50);
    EXPECT_GT(contentlint::ColourDistance(blue, yellow, "protanopia"), 50);
}

class LintColourTest : public LintTest {
protected:
    void SetUp() override
    {
        LintTest::SetUp();
        const fs::path scripts = root / "data/assets/scripts";
        Write(scripts / "ui.lua", "kInk = FColor(0.23, 0.16, 0.20)  -- #3b2a33\n"
                                  "kLight = FColor(1, 0.97, 0.93)\n"
                                  "kPale = Color(200, 190, 180)\n"
                                  "kFont = { \"fonts/a.mvec\", 20, kInk }\n");
        Write(scripts / "screen.lua",
              "-- font = { \"fonts/a.mvec\", 8, FColor(1, 0, 0) } is a comment\n"
              "Text { font = { \"fonts/b.mvec\", 26, kLight, 2, kInk } }\n"
              "Button { font = { \"fonts/b.mvec\", 14,\n kLight, 1.5, kInk } }\n"
              "CreditsWindow { fontsize = 22, fontcolor = kInk, headercolor = kPale }\n");
        // A button face: orange with a pale gloss strip along its top.
        std::vector<Rgba> face = Solid(40, 20, {232, 116, 59, 255});
        for (int x = 0; x < 40; ++x)
            face[std::size_t(x)] = face[std::size_t(40 + x)] = {255, 255, 255, 255};
        WritePng((root / "data/assets/face.png").string(), 40, 20, PngKind::Rgba, face);
        WritePng((root / "data/assets/clear.png").string(), 4, 4, PngKind::Rgba, Solid(4, 4, {0, 0, 0, 0}));
    }
};

const char* kColourRules = "textcolours scripts/ui.lua scripts\n"
                           "ground paper fbf0dc ead4b0\n"
                           "ground face face.png 0 4 40 16\n"
                           "contrast kInk paper\n"
                           "contrast kLight/kInk face paper\n"
                           "contrast kPale paper\n";

TEST_F(LintColourTest, NamedTextColoursOnTheirGroundsAreCheckedAndTabled)
{
    auto report = Run(kColourRules);
    // kPale is a heading colour that reads too faintly on paper; the rest pass.
    EXPECT_EQ(report.failures.size(), 1u) << ::testing::PrintToString(report.failures);
    EXPECT_TRUE(Has(report.failures, "line 6: kPale on paper reads too faintly")) << ::testing::PrintToString(report.failures);
    // The outlined light text on the orange passes through its outline; the
    // gloss rows above the letters are outside the ground.
    EXPECT_TRUE(Has(report.table, "kLight/kInk           14   face            2.83           12.75           4.51            ok"))
        << ::testing::PrintToString(report.table);
    EXPECT_TRUE(Has(report.table, "kInk                  20   paper"));  // the smallest use: 20 px (ui.lua), 22 px (credits)
    EXPECT_TRUE(Has(report.table, "kPale                 22   paper"));
    EXPECT_EQ(report.checks, 3);
}

TEST_F(LintColourTest, TheGlossUnderTheLettersFailsAnUnoutlinedLabel)
{
    Write(root / "data/assets/scripts/screen.lua", "Text { font = { \"fonts/b.mvec\", 18, kLight } }\n");
    auto report = Run("textcolours scripts/ui.lua scripts\n"
                      "ground face face.png 0 0 40 20\n"
                      "ground paper fbf0dc\n"
                      "contrast kLight face\n"
                      "contrast kInk paper\n");
    ASSERT_EQ(report.failures.size(), 1u) << ::testing::PrintToString(report.failures);
    EXPECT_TRUE(Has(report.failures, "line 4: kLight on face reads too faintly"));
    EXPECT_TRUE(Has(report.table, "kLight                18   face            1.00")) << ::testing::PrintToString(report.table);
}

TEST_F(LintColourTest, UnnamedAndUncheckedColoursAndBadStatementsFailByName)
{
    Write(root / "data/assets/scripts/other.lua",
          "Text { font = { \"fonts/a.mvec\", 16, FColor(0.8, 0.4, 0.2) } }\n"
          "Text { font = { \"fonts/a.mvec\", 16, kNowhere } }\n"
          "Text { font = { \"fonts/a.mvec\", 16, kInk, 2 } }\n");
    Write(root / "data/assets/scripts/editor.lua", "Text { font = { \"fonts/a.mvec\", 9, FColor(1, 1, 1) } }\n");
    auto report = Run("textcolours scripts/ui.lua scripts editor.lua\n"      // 1
                      "ground paper fbf0dc\n"                                 // 2
                      "ground gone missing.png 0 0 4 4\n"                     // 3
                      "ground clear clear.png 0 0 4 4\n"                      // 4
                      "ground odd fbf0dc zz\n"                                // 5
                      "ground short face.png 1 2\n"                           // 6
                      "contrast kInk paper nowhere\n"                         // 7
                      "contrast kUnused paper\n"                              // 8
                      "contrast kLight/kInk paper\n");                        // 9
    const std::vector<std::string> expected = {
        "scripts/other.lua: line 1: text colour 'FColor(0.8, 0.4, 0.2)' is not one of the named text colours",
        "scripts/other.lua: line 2: text colour 'kNowhere' is not one of the named text colours",
        "scripts/other.lua: line 3: a font needs { face, size, colour } or { face, size, colour, width, outline }",
        "contracts.txt: line 3: no picture missing.png",
        "contracts.txt: line 4: clear.png has no opaque pixel in 0 0 4 4",
        "contracts.txt: line 5: 'zz' is no colour (rrggbb)",
        "contracts.txt: line 6: a ground is colours (rrggbb...) or IMAGE X Y W H",
        "contracts.txt: line 7: no ground nowhere",
        "contracts.txt: line 8: no script uses text in kUnused",
        "scripts/screen.lua: line 5: text in kPale has no contrast statement saying what it is drawn on",
    };
    for (const std::string& e : expected)
        EXPECT_TRUE(Has(report.failures, e)) << e << "\n" << ::testing::PrintToString(report.failures);
    EXPECT_EQ(report.failures.size(), expected.size()) << ::testing::PrintToString(report.failures);
}

TEST_F(LintColourTest, PartyColoursAreTheFlagsCommonestColoursKeptApartForColourBlindEyes)
{
    // A flag: its pole in the outline colour (left out), the cloth in the party colour.
    auto flag = [&](const std::string& name, Rgba cloth) {
        std::vector<Rgba> pixels = Solid(10, 10, cloth);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 3; ++x)
                pixels[std::size_t(y * 10 + x)] = {0x3b, 0x2a, 0x33, 255};
        pixels[99] = {0, 0, 0, 0};
        WritePng((root / "data/assets" / (name + ".png")).string(), 10, 10, PngKind::Rgba, pixels);
    };
    flag("flag_red", {200, 40, 40, 255});
    flag("flag_blue", {40, 60, 220, 255});
    flag("flag_green", {60, 140, 40, 255});  // with red: apart for most eyes, close without green cones
    auto report = Run("partycolours 15 flag_red.png flag_blue.png\n"
                      "partycolours 15 flag_red.png flag_green.png none.png\n"
                      "partycolours many flag_red.png flag_blue.png\n");
    EXPECT_TRUE(Has(report.table, "red #c82828 / blue #283cdc")) << ::testing::PrintToString(report.table);
    EXPECT_TRUE(Has(report.failures, "line 2: red and green are only ")) << ::testing::PrintToString(report.failures);
    EXPECT_TRUE(Has(report.failures, " apart with deuteranopia (15 wanted)"));
    EXPECT_FALSE(Has(report.failures, "with normal"));
    EXPECT_TRUE(Has(report.failures, "line 2: no picture none.png"));
    EXPECT_TRUE(Has(report.failures, "line 3: partycolours needs a number first, not 'many'"));
    EXPECT_FALSE(Has(report.failures, "line 1:"));
}

}  // namespace
