// The animation packer (tools/anmpack): its descriptions, sheets and command
// line. What the engine reads back of a packed animation is tested in
// tests/render/animatedtexture_test.cpp.
#include "engine/render/animatedtexture.h"
#include "testimages.h"
#include "tools/anmpack/anmpack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

using namespace testimages;
namespace fs = std::filesystem;

namespace {

class AnmPack : public ::testing::Test {
protected:
    ScratchDir scratch;

    void SetUp() override
    {
        WritePng("red.png", 4, 6, PngKind::Rgba, Solid(4, 6, {255, 0, 0, 255}));
        WritePng("green.png", 8, 2, PngKind::Rgba, Solid(8, 2, {0, 255, 0, 255}));
        WritePng("blue.png", 6, 6, PngKind::Rgba, Solid(6, 6, {0, 0, 255, 255}));
        std::ofstream("walk.txt") << "sequence walk\nreg 10 20\nframe stand red.png reg 2 5\nanchor hand 1 2\n"
                                     "frame step green.png reg 4 1\nframe turn blue.png\n";
    }

    // Runs anmpack with the arguments in the current folder; its exit status, stderr in *log.
    static int Run(const std::string& arguments, std::string* log = nullptr)
    {
        std::string command = std::string(ANMPACK) + " " + arguments + " 2>packer.log";
        int status = std::system(command.c_str());
        if (log) {
            std::ifstream in("packer.log");
            *log = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(AnmPack, DescriptionErrorsNameTheLine)
{
    WriteIndexedPng("seat.png", 2, 2, 8, std::vector<std::uint8_t>(4, 1), {{0, 0, 0, 0}, {0, 255, 0, 255}});
    WriteIndexedPng("other.png", 2, 2, 8, std::vector<std::uint8_t>(4, 0), {{1, 2, 3, 255}});
    const std::pair<const char*, const char*> cases[] = {
        {"frame a red.png\nreg 1\n", "line 2: unknown or malformed line: reg"},
        {"anchor x 1 2\n", "line 1: anchor before the first frame"},
        {"frame a red.png reg 1 x\n", "line 1: not a whole number: x"},
        {"frame a rect 0 0 -1 2\n", "line 1: a frame's size cannot be negative"},
        {"frame a nothere.png\n", "nothere.png"},
        {"frame a red.png\nframe b rect 0 0 1 1\n", "frame files and rectangles of a sheet cannot be mixed"},
        {"frame a seat.png\nframe b other.png\n", "palette frames must share one palette"},
        {"frame a seat.png\nframe b red.png\n", "frames must be all palette PNGs or all without a palette"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        try {
            anmpack::Animation a = anmpack::ParseDescription(text, ".");
            anmpack::PackSheet(a);
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        EXPECT_NE(error.find(expected), std::string::npos) << text << " gave " << error;
    }
}

TEST_F(AnmPack, AFolderOfFramesPacksInNameOrder)
{
    fs::create_directory("frames");
    fs::copy_file("green.png", "frames/02.png");
    fs::copy_file("red.png", "frames/01.png");
    std::ofstream("frames/notes.txt") << "not a frame";
    anmpack::Animation a = anmpack::DescribeFolder("frames");
    ASSERT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(a.frames[0].name, "01");
    anmpack::PackSheet(a);
    EXPECT_EQ(a.frames[0].w, 4);
    EXPECT_EQ(a.frames[1].w, 8);
}

TEST_F(AnmPack, TheProgramIsDeterministicAndWritesWhatTheEngineReads)
{
    ASSERT_EQ(Run("walk.txt a/walk.anm a/walk.xml"), 0);
    ASSERT_EQ(Run("walk.txt b/walk.anm b/walk.xml"), 0);
    for (const char* file : {"walk.anm", "walk.xml", "walk.png"})
        EXPECT_EQ(ReadBytes(std::string("a/") + file), ReadBytes(std::string("b/") + file)) << file;

    fs::create_directory("frames");
    fs::copy_file("red.png", "frames/a.png");
    fs::copy_file("blue.png", "frames/b.png");
    fs::copy_file("red.png", "frames/c.png");
    ASSERT_EQ(Run("--frames frames --reg 7 8 --frame-reg 2 3 out/spin.anm out/spin.xml"), 0);
    EXPECT_TRUE(fs::exists("out/spin.png"));
    auto anm = TAnimatedTexture::Get("out/spin.anm");
    auto xml = TAnimatedTexture::Get("out/spin.xml");
    ASSERT_TRUE(anm && xml);
    const TAnimationRecord &a = anm->GetAnimation(), &x = xml->GetAnimation();
    EXPECT_EQ(a.sequenceName, str("spin"));
    EXPECT_EQ(a.source, str("frames"));
    EXPECT_EQ(a.regX, 7);
    ASSERT_EQ(a.FrameCount(), 3);
    ASSERT_EQ(x.FrameCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(a.frames[i].SheetRect(), x.frames[i].SheetRect());
        EXPECT_EQ(a.frames[i].regY, 3);
        EXPECT_EQ(x.frames[i].regY, 3);
    }
    EXPECT_EQ(a.frames[0].SheetRect(), a.frames[2].SheetRect());  // identical pictures share a place

    std::string log;
    std::ofstream("bad.txt") << "frame a red.png\nframe b red.png reg x 1\n";
    EXPECT_EQ(Run("bad.txt bad.anm", &log), 1);
    EXPECT_NE(log.find("bad.txt: line 2: not a whole number: x"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists("bad.anm"));
    for (const char* usage : {"walk.txt walk.png", "walk.txt", "--frames frames walk.txt out.anm"})
        EXPECT_EQ(Run(usage), 2) << usage;
    EXPECT_EQ(Run("--frames empty_folder out.anm"), 1);
}

}  // namespace
