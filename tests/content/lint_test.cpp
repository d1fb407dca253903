// The content lint on fixture data made here: every kind of contract, passing
// and broken (a missing file, a wrong case, a missing or empty label, a
// looping animation the game would wait on, a missing function or anchor),
// and the literal file names it finds in sources.
#include "tools/anmpack/anmpack.h"
#include "tools/contentlint/contracts.h"
#include "tools/contentlint/lint.h"
#include "tools/synth/dsp.h"
#include "tools/synth/vorbiswriter.h"

#include "testimages.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(report.failures, (std::vector<std::string>{
                                   (root / "src/menu.lua").string() + ": names scripts/menu.lua, which does not exist",
                                   (root / "src/screen.cpp").string() + ": names assets/gone.png, which does not exist",
                               }));
    EXPECT_EQ(report.notes, (std::vector<std::string>{
                                "contracts.txt: line 1: pending: assets/later.ogg",
                                "contracts.txt: line 2: assets/ok.png exists now: take it off the pending list",
                            }));
}

TEST(LintLiterals, OnlyQuotedPathsWithAFolderAndAResourceExtension)
{
    EXPECT_EQ(contentlint::LiteralFileNames("\"a/b.png\" \"c.png\" \"d/e.txt\" \"@f/g.lua\" \"h/%d.ogg\" "
                                            "\"i/j k.png\" \"/abs/l.png\" \"m/n.anm\" \"a/b.png\""),
              (std::vector<std::string>{"a/b.png", "m/n.anm"}));
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

}  // namespace
