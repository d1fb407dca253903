// The people of the floor as the game reads them: the waitress's clothing
// layers frame for frame with her body and her walk (bobbing, leaning, never
// her standing pose); the walking staff's upper and lower body in step, with
// somewhere to carry things on every frame; every figure of the staff whole,
// legs and all; and each restaurant with a cook and a performer of its own,
// the cook's hat below the game's top bar.
#include "engine/render/animationfile.h"
#include "engine/render/imagedecode.h"

#include "datafolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

TAnimationRecord Read(const std::string& file)
{
    TAnimationRecord record;
    EXPECT_TRUE(ReadAnmFile(file.c_str(), &record)) << file;
    return record;
}

// The frames (counted from 0) a script function shows, and its delay.
std::vector<int> FunctionFrames(const TAnimationRecord& record, const std::string& function, int* delay = nullptr)
{
    const std::string script = record.script.c_str();
    const std::regex pattern("function\\s+" + function + "\\s*\\(\\)\\s*delay\\((\\d+)\\);[^}]*frames\\{([0-9,]*)\\}");
    std::smatch match;
    if (!std::regex_search(script, match, pattern))
        return {};
    if (delay)
        *delay = std::stoi(match[1]);
    std::vector<int> frames;
    const std::string list = match[2];
    for (std::size_t at = 0; at < list.size();) {
        std::size_t comma = list.find(',', at);
        frames.push_back(std::stoi(list.substr(at, comma - at)) - 1);
        at = comma == std::string::npos ? list.size() : comma + 1;
    }
    return frames;
}

// A sheet's pixels (B, G, R, A) as the engine decodes them.
class Sheet {
public:
    explicit Sheet(const std::string& path)
    {
        int hasAlpha = 0;
        unsigned char* palette = nullptr;
        mOk = EzPngLoadImage(path.c_str(), &mPixels, &mWidth, &mHeight, &mSide, nullptr, &hasAlpha, nullptr,
                             &palette, false);
        EzPngFreeImage(nullptr, palette);
        EXPECT_TRUE(mOk) << path;
    }
    ~Sheet() { EzPngFreeImage(mPixels, nullptr); }
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    bool Opaque(int x, int y) const { return mOk && mPixels[(y * mSide + x) * 4 + 3] > 128; }
    const unsigned char* Row(int y) const { return mPixels + y * mSide * 4; }

    // The box round a frame's opaque pixels, from its registration point.
    TRect Figure(const TAnimFrame& frame) const
    {
        TRect box{frame.w, frame.h, -1, -1};
        for (int y = 0; y < frame.h; ++y)
            for (int x = 0; x < frame.w; ++x)
                if (Opaque(frame.x + x, frame.y + y)) {
                    box.x1 = std::min(box.x1, x);
                    box.y1 = std::min(box.y1, y);
                    box.x2 = std::max(box.x2, x + 1);
                    box.y2 = std::max(box.y2, y + 1);
                }
        box.Offset(-frame.regX, -frame.regY);
        return box;
    }

    // Which pixels of a frame are opaque, row by row: its silhouette.
    std::vector<bool> Silhouette(const TAnimFrame& frame) const
    {
        std::vector<bool> mask;
        for (int y = 0; y < frame.h; ++y)
            for (int x = 0; x < frame.w; ++x)
                mask.push_back(Opaque(frame.x + x, frame.y + y));
        return mask;
    }

    bool SamePixels(const TAnimFrame& a, const TAnimFrame& b) const
    {
        if (a.w != b.w || a.h != b.h)
            return false;
        for (int y = 0; y < a.h; ++y)
            if (!std::equal(Row(a.y + y) + a.x * 4, Row(a.y + y) + (a.x + a.w) * 4, Row(b.y + y) + b.x * 4))
                return false;
        return true;
    }

private:
    unsigned char* mPixels = nullptr;
    int mWidth = 0, mHeight = 0, mSide = 0;
    bool mOk = false;
};

std::string SheetPath(const std::string& anm, const TAnimationRecord& record)
{
    return anm.substr(0, anm.rfind('/') + 1) + record.image.c_str();
}

const char* const kRestaurants[] = {"cruise", "train", "sub", "blimp", "spaceship"};

TEST(WaitressFigure, EveryClothingLayerHasTheBodysFramesInTheBodysOrder)
{
    InDataFolder data;
    const TAnimationRecord body = Read("assets/quessa/base.anm");
    ASSERT_GT(body.FrameCount(), 0);
    int layers = 0;
    for (const auto& entry : std::filesystem::directory_iterator("assets/quessa")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".anm" || name == "base.anm")
            continue;
        SCOPED_TRACE(name);
        ++layers;
        const TAnimationRecord layer = Read(entry.path().string());
        // The game shows each layer at the body's frame number, offset by the difference of registrations.
        EXPECT_EQ(layer.regX, body.regX);
        EXPECT_EQ(layer.regY, body.regY);
        ASSERT_EQ(layer.FrameCount(), body.FrameCount());
        for (int f = 0; f < body.FrameCount(); ++f) {
            EXPECT_EQ(layer.frames[std::size_t(f)].name, body.frames[std::size_t(f)].name) << f;
            EXPECT_EQ(layer.frames[std::size_t(f)].regX, body.frames[std::size_t(f)].regX) << f;
            EXPECT_EQ(layer.frames[std::size_t(f)].regY, body.frames[std::size_t(f)].regY) << f;
        }
        EXPECT_EQ(layer.script, body.script);
    }
    EXPECT_GE(layers, 10);  // the default clothing and the wardrobe's
}

TEST(WaitressFigure, SheWalksEachWayInSixToEightFramesBobbingAndLeaningNeverInHerStandingPose)
{
    InDataFolder data;
    const TAnimationRecord body = Read("assets/quessa/base.anm");
    Sheet sheet(SheetPath("assets/quessa/base.anm", body));
    std::vector<int> standing = FunctionFrames(body, "IdleForward");
    for (const char* held : {"", "OneHand", "TwoHand"}) {
        const std::vector<int> idle = FunctionFrames(body, std::string(held) + (*held ? "Forward" : "IdleForward"));
        standing.insert(standing.end(), idle.begin(), idle.end());
    }
    ASSERT_FALSE(standing.empty());
    for (const char* held : {"", "OneHand", "TwoHand"})
        for (const char* way : {"Forward", "Backward", "Sideways"}) {
            const std::string walk = std::string(held) + "Walk" + way;
            SCOPED_TRACE(walk);
            const std::vector<int> frames = FunctionFrames(body, walk);
            EXPECT_GE(frames.size(), 6u);
            EXPECT_LE(frames.size(), 8u);
            EXPECT_EQ(std::set<int>(frames.begin(), frames.end()).size(), frames.size());
            std::set<int> tops, lefts;
            for (int f : frames) {
                const TAnimFrame& frame = body.frames[std::size_t(f)];
                const TRect figure = sheet.Figure(frame);
                tops.insert(figure.y1);
                lefts.insert(figure.x1);
                for (int still : standing)
                    EXPECT_FALSE(sheet.SamePixels(frame, body.frames[std::size_t(still)]))
                        << frame.name.c_str() << " is the standing " << body.frames[std::size_t(still)].name.c_str();
            }
            EXPECT_GE(tops.size(), 2u) << "she bobs";
            EXPECT_GE(lefts.size(), 3u) << "she sways or leans";
        }
}

TEST(WalkingStaff, UpperAndLowerBodyStepTogetherAndEveryUpperFrameCanCarry)
{
    InDataFolder data;
    const TAnimationRecord upper = Read("assets/people/busser/upper.anm");
    const TAnimationRecord lower = Read("assets/people/busser/lower.anm");
    // The game starts both halves together when the direction changes.
    const struct {
        const char* lower;
        const char* upper[3];
    } ways[] = {{"ForwardLower", {"ForwardUpper", "OneHandForwardUpper", "TwoHandForwardUpper"}},
                {"BackwardLower", {"BackwardUpper", "OneHandBackwardUpper", "TwoHandBackwardUpper"}},
                {"SideLower", {"SideUpper", "OneHandSideUpperWalk", "TwoHandSideUpperWalk"}}};
    for (const auto& way : ways) {
        int legsDelay = 0;
        const std::vector<int> legs = FunctionFrames(lower, way.lower, &legsDelay);
        EXPECT_GE(legs.size(), 6u) << way.lower;
        for (const char* torso : way.upper) {
            int delay = 0;
            EXPECT_EQ(FunctionFrames(upper, torso, &delay).size(), legs.size()) << torso;
            EXPECT_EQ(delay, legsDelay) << torso;
        }
    }
    for (int f = 0; f < upper.FrameCount(); ++f) {
        EXPECT_TRUE(upper.FindAnchor(f, "hand1", nullptr, nullptr)) << f;
        EXPECT_TRUE(upper.FindAnchor(f, "hand2", nullptr, nullptr)) << f;
    }
}

// No opaque pixel on the outermost rows and columns of a frame: nothing cut off.
bool InsideItsFrame(const Sheet& sheet, const TAnimFrame& frame)
{
    for (int i = 0; i < std::max(frame.w, frame.h); ++i)
        if ((i < frame.w && (sheet.Opaque(frame.x + i, frame.y) || sheet.Opaque(frame.x + i, frame.y + frame.h - 1))) ||
            (i < frame.h && (sheet.Opaque(frame.x, frame.y + i) || sheet.Opaque(frame.x + frame.w - 1, frame.y + i))))
            return false;
    return true;
}

TEST(WardrobeIcons, EveryItemIsWholeInsideItsIconAndItsButtonPicture)
{
    InDataFolder data;
    int icons = 0;
    for (const auto& entry : std::filesystem::directory_iterator("assets/quessascloset/icons")) {
        if (entry.path().extension() != ".png")
            continue;
        ++icons;
        Sheet icon(entry.path().string());
        TAnimFrame whole;
        whole.w = whole.h = 64;
        EXPECT_TRUE(InsideItsFrame(icon, whole)) << entry.path().filename();
    }
    EXPECT_GE(icons, 10);
    for (const char* slot : {"shoes", "bottom", "top", "apron", "accessory"}) {
        const std::string anm = std::string("assets/quessascloset/") + slot + "_ui.anm";
        const TAnimationRecord pieces = Read(anm);
        Sheet sheet(SheetPath(anm, pieces));
        for (const TAnimFrame& frame : pieces.frames)
            EXPECT_TRUE(InsideItsFrame(sheet, frame)) << slot << " " << frame.name.c_str();
    }
}

// From the top of the hat or hair to the soles: a whole figure is as tall
// as a customer on his legs.
void ExpectAWholeFigure(const std::string& anm, int lowest, int highest)
{
    SCOPED_TRACE(anm);
    const TAnimationRecord record = Read(anm);
    ASSERT_GT(record.FrameCount(), 0);
    Sheet sheet(SheetPath(anm, record));
    const TRect figure = sheet.Figure(record.frames[0]);
    EXPECT_GE(figure.Height(), 95);
    EXPECT_GE(figure.y2, lowest) << "stands on the registration point";
    EXPECT_LE(figure.y2, highest);
}

TEST(StaffFigures, EveryoneStandsWholeOnTheirFeet)
{
    InDataFolder data;
    ExpectAWholeFigure("assets/people/busser/idle.anm", -1, 2);
    ExpectAWholeFigure("assets/people/hostess/idle.anm", -1, 2);
    for (const char* restaurant : kRestaurants)
        ExpectAWholeFigure(std::string("assets/restaurants/") + restaurant + "/people/entertainer.anm", -1, 30);
    ExpectAWholeFigure("assets/restaurants/blimp/people/entertainer2.anm", -1, 30);
}

// Frame 0 of an animation in every restaurant: no two alike in outline.
void ExpectOwnSilhouettes(const char* file)
{
    InDataFolder data;
    std::vector<std::vector<bool>> seen;
    for (const char* restaurant : kRestaurants) {
        const std::string anm = std::string("assets/restaurants/") + restaurant + "/people/" + file;
        const TAnimationRecord record = Read(anm);
        ASSERT_GT(record.FrameCount(), 0) << anm;
        Sheet sheet(SheetPath(anm, record));
        const std::vector<bool> outline = sheet.Silhouette(record.frames[0]);
        for (const auto& other : seen)
            EXPECT_NE(outline, other) << restaurant << " looks like another restaurant's";
        seen.push_back(outline);
    }
}

TEST(RestaurantStaff, EachRestaurantHasACookOfItsOwn) { ExpectOwnSilhouettes("cook.anm"); }

TEST(RestaurantStaff, EachRestaurantHasAPerformerOfItsOwn) { ExpectOwnSilhouettes("entertainer.anm"); }

// The cook works behind the kitchen's counter under the game's top bar
// (scripts/game.lua's "hud", 44 px): on every frame his hat stays below it,
// where the bar would cut it flat. The animation is registered on his place
// in the room, each frame on the cook.
TEST(RestaurantStaff, EveryCooksHatStaysBelowTheTopBar)
{
    InDataFolder data;
    constexpr int kTopBar = 44;
    for (const char* restaurant : kRestaurants) {
        const std::string anm = std::string("assets/restaurants/") + restaurant + "/people/cook.anm";
        const TAnimationRecord record = Read(anm);
        ASSERT_GT(record.FrameCount(), 0) << anm;
        Sheet sheet(SheetPath(anm, record));
        for (const TAnimFrame& frame : record.frames)
            EXPECT_GE(record.regY + sheet.Figure(frame).y1, kTopBar) << restaurant << " " << frame.name.c_str();
    }
}

}  // namespace
