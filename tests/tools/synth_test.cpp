// The synthesiser: render lists read (and refused by line), every preset
// rendering a sound that starts and ends on silence, the level rules, the
// three kinds of ends (a chained piece, a piece looping on itself, an ambient
// loop), the same bytes on every run, and the program's exit codes.
#include "tools/synth/measure.h"
#include "tools/synth/render.h"
#include "tools/synth/renderlist.h"
#include "tools/synth/vorbiswriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<synth::TSoundSpec> Read(const std::string& text)
{
    std::vector<synth::TSoundSpec> sounds;
    std::string error;
    EXPECT_TRUE(synth::ReadRenderList(text, "test.list", &sounds, &error)) << error;
    return sounds;
}

std::string ReadError(const std::string& text)
{
    std::vector<synth::TSoundSpec> sounds;
    std::string error;
    EXPECT_FALSE(synth::ReadRenderList(text, "test.list", &sounds, &error));
    return error;
}

std::vector<float> RenderOne(const std::string& text) { return synth::RenderSound(Read(text).at(0)); }

double Db(double level) { return synth::Decibels(level); }

TEST(SynthRenderList, EveryPresetMakesASoundThatStartsAndEndsOnSilence)
{
    const char* presets[] = {"bell",  "steeldrum", "marimba", "vibes",   "glock", "celesta", "piano",  "bass",
                             "upright", "sine",    "triangle", "square", "saw",   "organ",   "accordion", "tuba",
                             "pad",   "arp",       "lead",    "synthbass", "bubblebass", "pluck", "noise", "kick",
                             "snare", "brush",     "hat",     "openhat", "shaker", "conga",  "bongo",  "clave",
                             "woodblock", "cowbell", "clap",  "tambourine", "tom", "rim",    "chime"};
    for (const char* preset : presets) {
        SCOPED_TRACE(preset);
        const std::vector<float> s = RenderOne(std::string("sound x.ogg\nrate 22050\nlength 0.8\nends fade 0.02\n"
                                                           "level peak -3\nvoice v ") +
                                               preset + "\nnote v 0.05 0.4 440 1\n");
        ASSERT_EQ(s.size(), 17640u);
        for (float v : s)
            ASSERT_TRUE(std::isfinite(v));
        EXPECT_NEAR(Db(synth::PeakOf(s)), -3.0, 0.01);
        EXPECT_EQ(s.front(), 0.0f);
        EXPECT_LT(std::fabs(s.back()), 1e-3);
        EXPECT_GT(Db(synth::RmsOf(s)), -40.0) << "the note sounds";
    }
}

TEST(SynthRenderList, NoiseIsShapedByItsFilterAndPitchedNotesAreInTune)
{
    const std::vector<float> band =
        RenderOne("sound x.ogg\nlength 0.5\nvoice n noise q 2\nnote n 0 0.45 1000 1\n");
    EXPECT_LT(synth::ShareAbove(band, 44100, 8000), 0.01);
    EXPECT_GT(synth::ShareAbove(band, 44100, 150), 0.95);

    // A plucked string at 392 Hz: its period, found by autocorrelation, is 22050 / 392 samples.
    const std::vector<float> string =
        RenderOne("sound x.ogg\nrate 22050\nlength 1\nvoice g pluck decay 2\nnote g 0 0.95 392 1\n");
    double best = -1;
    int period = 0;
    for (int lag = 40; lag < 80; ++lag) {
        double sum = 0;
        for (std::size_t i = 2000; i < 12000; ++i)
            sum += double(string[i]) * string[i + std::size_t(lag)];
        if (sum > best)
            best = sum, period = lag;
    }
    EXPECT_NEAR(22050.0 / period, 392.0, 392.0 * 0.012);
}

TEST(SynthRenderList, LevelRulesMeetTheirTargets)
{
    const std::string notes = "voice v steeldrum\nvoice k kick\n"
                              "note v 0 0.5 523 1\nnote v 0.5 0.5 659 1\nnote v 1 0.5 784 1\nnote k 0 0.3 1 1\n";
    const std::vector<float> music =
        RenderOne("sound m.ogg\nrate 22050\nlength 1.5\nlevel rms -23 peak -9\n" + notes);
    EXPECT_NEAR(Db(synth::RmsOf(music)), -23.0, 0.05);
    EXPECT_LE(Db(synth::PeakOf(music)), -9.0);

    const std::vector<float> effect = RenderOne("sound e.ogg\nlength 1.5\nlevel loud -14 peak -3\n" + notes);
    const double loudest = Db(synth::LoudestOf(effect, 44100)), peak = Db(synth::PeakOf(effect));
    EXPECT_LE(peak, -3.0 + 1e-6);
    EXPECT_TRUE(std::fabs(loudest + 14) < 0.05 || std::fabs(peak + 3) < 0.05) << loudest << " " << peak;

    const std::vector<float> fixed = RenderOne("sound g.ogg\nlength 1.5\nlevel gain 0\n" + notes);
    const std::vector<float> lower = RenderOne("sound g.ogg\nlength 1.5\nlevel gain -6\n" + notes);
    EXPECT_NEAR(Db(synth::RmsOf(fixed)) - Db(synth::RmsOf(lower)), 6.0, 0.01);
}

// The largest step between neighbouring samples, and the step from the last sample to the first.
double LargestStep(const std::vector<float>& s)
{
    double step = 0;
    for (std::size_t i = 1; i < s.size(); ++i)
        step = std::max(step, double(std::fabs(s[i] - s[i - 1])));
    return step;
}

TEST(SynthRenderList, AWrappedPieceAndAnAmbientLoopJoinThemselves)
{
    // The last note rings past the end: wrapped, its tail carries on in the head.
    const std::vector<float> piece = RenderOne("sound p.ogg\nrate 22050\nlength 2\nends wrap\nlevel rms -23 peak -9\n"
                                               "reverb 0.6 0.5 0.3\nvoice v vibes\nnote v 0 0.5 440 1\n"
                                               "note v 1.5 0.5 660 1\n");
    EXPECT_GT(std::fabs(piece.front()), 1e-4) << "the tail is in the head";
    EXPECT_LE(std::fabs(piece.front() - piece.back()), LargestStep(piece));

    const std::vector<float> bed = RenderOne("sound a.ogg\nrate 22050\nlength 3\nends loop 0.5\nlevel rms -32 peak -21\n"
                                             "voice w noise q 0.8 attack 0.3 release 0.5\nnote w 0 3.4 600 1\n");
    EXPECT_EQ(bed.size(), 66150u);
    EXPECT_LT(std::fabs(bed.front() - bed.back()), LargestStep(bed));
    EXPECT_LE(Db(synth::PeakOf(bed)), -21.0);

    const std::vector<float> chained =
        RenderOne("sound c.ogg\nrate 22050\nlength 1\nends fade 0.06 0.015\nvoice v lead\nnote v 0 0.9 440 1\n");
    EXPECT_EQ(chained.front(), 0.0f);
    EXPECT_LT(std::fabs(chained.back()), 1e-4);
}

TEST(SynthRenderList, TheSameListGivesTheSameSamplesAndBytes)
{
    const std::string list = "sound x.ogg\nrate 22050\nlength 1\nreverb 0.5 0.5 0.2\nvoice a pluck\nvoice b snare\n"
                             "voice c noise\nnote a 0 0.5 330 1\nnote b 0.25 0.2 1 1\nnote c 0.5 0.4 900->1800 0.7\n";
    const std::vector<float> first = RenderOne(list), second = RenderOne(list);
    EXPECT_EQ(first, second);
    const fs::path dir = fs::temp_directory_path() / ("qmsynth_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string error;
    ASSERT_TRUE(synth::WriteVorbis((dir / "a.ogg").string(), first, 22050, 0.4, &error)) << error;
    ASSERT_TRUE(synth::WriteVorbis((dir / "b.ogg").string(), second, 22050, 0.4, &error)) << error;
    std::ifstream a(dir / "a.ogg", std::ios::binary), b(dir / "b.ogg", std::ios::binary);
    std::stringstream bytesA, bytesB;
    bytesA << a.rdbuf();
    bytesB << b.rdbuf();
    EXPECT_GT(bytesA.str().size(), 100u);
    EXPECT_EQ(bytesA.str(), bytesB.str());
    fs::remove_all(dir);
}

TEST(SynthRenderList, BadListsAreRefusedByLine)
{
    EXPECT_EQ(ReadError("voice v sine\n"), "test.list: line 1: 'voice' before the first sound");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v kazoo\n"), "test.list: line 3: unknown preset 'kazoo'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v sine wobble 2\n"),
              "test.list: line 3: unknown setting 'wobble'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nnote v 0 1 440 1\n"), "test.list: line 3: no voice 'v'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v sine\nnote v 0 1 4x0 1\n"),
              "test.list: line 4: not a number: '4x0'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v sine\nnote v -1 1 440 1\n"),
              "test.list: line 4: a note before the start");
    EXPECT_EQ(ReadError("sound x.ogg\nvoice v sine\n"), "test.list: line 1: x.ogg has no length");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nends sideways\n"),
              "test.list: line 3: expected 'ends fade SECONDS [IN]', 'ends wrap' or 'ends loop SECONDS'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nlevel loud -14\n"),
              "test.list: line 3: expected 'level peak DB', 'level gain DB', 'level rms DB peak DB' or "
              "'level loud DB peak DB'");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nrate 100\n"), "test.list: line 3: bad rate 100");
    // Numbers that would make a note allocate without end are refused.
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v sine release 1e9\n"),
              "test.list: line 3: 'release' out of range: 1e9");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1\nvoice v pluck\nnote v 0 1 0.000001 1\n"),
              "test.list: line 4: a frequency outside 1 Hz to 100 kHz");
    EXPECT_EQ(ReadError("sound x.ogg\nlength 1e7\n"), "test.list: line 2: longer than an hour");
}

int RunProgram(const std::string& arguments)
{
    return WEXITSTATUS(std::system((std::string(QMSYNTH) + " " + arguments + " 2>/dev/null").c_str()));
}

TEST(SynthProgram, WritesEverySoundAndRefusesABadListOrCommandLine)
{
    const fs::path dir = fs::temp_directory_path() / ("qmsynth_program_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "good.list") << "sound a.ogg\nlength 0.2\nvoice v glock\nnote v 0 0.1 880 1\n"
                                        "sound b.ogg\nrate 22050\nlength 0.3\nvoice v kick\nnote v 0 0.2 1 1\n";
    std::ofstream(dir / "bad.list") << "sound a.ogg\nlength 0.2\nvoice v kazoo\n";
    EXPECT_EQ(RunProgram((dir / "good.list").string() + " " + dir.string()), 0);
    EXPECT_TRUE(fs::file_size(dir / "a.ogg") > 0 && fs::file_size(dir / "b.ogg") > 0);
    EXPECT_EQ(RunProgram((dir / "bad.list").string() + " " + dir.string()), 1);
    EXPECT_EQ(RunProgram((dir / "missing.list").string() + " " + dir.string()), 1);
    EXPECT_EQ(RunProgram((dir / "good.list").string() + " " + (dir / "no/such/folder").string()), 1);
    EXPECT_EQ(RunProgram((dir / "good.list").string()), 2);
    fs::remove_all(dir);
}

}  // namespace
