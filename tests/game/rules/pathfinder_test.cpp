// Floor path-finding on the 80 x 60 grid with a timer of the test's own, so
// each slice of the search does a known amount of work: routes around
// tables and the bar, lowered and blocked goals, an unreachable goal, points
// off the field, and a search spread over several frames.
#include "game/rules/pathfinder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Milliseconds that advance by `step` at every reading.
struct TFakeTimer {
    std::uint32_t now = 0, step = 0;
    TPathfinder::TTimer Source()
    {
        return [this] { return now += step; };
    }
};

const std::vector<TRect> kTables = {
    {300, 250, 380, 320}, {500, 250, 580, 320}, {300, 400, 380, 470}, {500, 400, 580, 470}};
const TRect kBar{620, 200, 700, 500};
constexpr int kMargin = 20;

int Square(float x, float y)
{
    return TPathfinder::pointToIndex(TPoint{int(x), int(y)});
}

// Every point of the route is a free square, each a grid step from the last.
void ExpectWalkableRoute(const TPathfinder& finder)
{
    const auto& path = finder.GetPath();
    ASSERT_FALSE(path.empty());
    for (size_t i = 0; i < path.size(); ++i) {
        EXPECT_FALSE(finder.IsBlocked(Square(path[i].x, path[i].y))) << path[i].x << "," << path[i].y;
        if (i > 0) {
            EXPECT_EQ(std::abs(path[i].x - path[i - 1].x) + std::abs(path[i].y - path[i - 1].y), 10.0f);
        }
    }
}

// Walks until arrival (at most `frames` frames); returns where the walker stands.
TVec2 WalkToTheEnd(TPathfinder& finder, TVec2 pos, int frames = 1000)
{
    for (int i = 0; i < frames; ++i)
        if (finder.Update(pos, &pos, 200.0f, 1.0f / 30))
            return pos;
    ADD_FAILURE() << "never arrived";
    return pos;
}

class Pathfinding : public ::testing::Test {
protected:
    void SetUp() override { finder.SetTables(kTables, &kBar, kMargin); }

    TFakeTimer timer;  // a still clock: every search ends in its first slice
    TPathfinder finder{timer.Source()};
};

TEST_F(Pathfinding, ObstaclesWidenSidewaysOnly)
{
    struct Case {
        int x, y;
        bool blocked;
    };
    const Case cases[] = {
        {300, 250, true},  {280, 250, true},  {270, 250, false},  // margin to the left
        {400, 300, true},  {410, 300, false},                     // and to the right
        {340, 240, false}, {340, 320, true},  {340, 330, false},  // none above or below
        {100, 100, true},  {180, 500, true},  {190, 300, false},  // the strip at the left
        {660, 500, true},  {660, 510, false},                     // the bar
    };
    for (const Case& c : cases)
        EXPECT_EQ(finder.IsBlocked(TPathfinder::pointToIndex({c.x, c.y})), c.blocked) << c.x << "," << c.y;
}

TEST_F(Pathfinding, RoutesRunAroundTablesAndTheBar)
{
    const TVec2 from(200, 550), to(760, 300);
    finder.Start(from, to);
    ASSERT_TRUE(finder.IsReady());
    ExpectWalkableRoute(finder);
    EXPECT_EQ(Square(finder.GetPath().front().x, finder.GetPath().front().y), Square(from.x, from.y));
    EXPECT_EQ(finder.GetDestPoint().x, 760);
    EXPECT_EQ(finder.GetDestPoint().y, 300);

    // Between two tables and past the bar's end.
    finder.Reset();
    finder.Start(TVec2(440, 200), TVec2(440, 560));
    ExpectWalkableRoute(finder);
    finder.Reset();
    finder.Start(TVec2(590, 350), TVec2(760, 350));
    ExpectWalkableRoute(finder);
    const TVec2 end = WalkToTheEnd(finder, TVec2(590, 350));
    EXPECT_EQ(end.x, 760);
    EXPECT_EQ(end.y, 350);
}

TEST_F(Pathfinding, GoalsAreLoweredAndMovedOffObstacles)
{
    finder.Start(TVec2(440, 560), TVec2(440, 40));  // into the kitchen wall
    EXPECT_EQ(finder.GetGoalSquare(), Square(440, 200));
    EXPECT_EQ(finder.GetDestPoint().y, 200);

    finder.Reset();
    finder.Start(TVec2(440, 560), TVec2(340, 250));  // the top row of a table
    EXPECT_EQ(finder.GetGoalSquare(), Square(340, 240));
    ExpectWalkableRoute(finder);

    // A table against the right edge of the floor: the goal looks down its
    // column, never round the edge into the next row.
    TPathfinder edge{timer.Source()};
    edge.SetTables({{720, 500, 800, 560}}, nullptr, 0);
    edge.Start(TVec2(440, 560), TVec2(795, 530));
    EXPECT_EQ(edge.GetGoalSquare(), Square(790, 570));
    ExpectWalkableRoute(edge);

    // Points off the floor count as its nearest edge.
    edge.Reset();
    edge.Start(TVec2(-40, 900), TVec2(1000, -30));
    EXPECT_EQ(edge.GetPath().front().x, 0);
    EXPECT_EQ(edge.GetPath().front().y, 590);
    EXPECT_EQ(edge.GetDestPoint().x, 790);
    EXPECT_EQ(edge.GetDestPoint().y, 200);
}

TEST_F(Pathfinding, AnUnreachableGoalEndsAtTheNearestApproach)
{
    // A closed room with the goal inside.
    const std::vector<TRect> room = {{600, 250, 700, 260}, {600, 340, 700, 350}, {600, 250, 610, 350},
                                     {690, 250, 700, 350}};
    TPathfinder walled{timer.Source()};
    walled.SetTables(room, nullptr, 0);
    walled.Start(TVec2(250, 550), TVec2(650, 300));
    ASSERT_TRUE(walled.IsReady());
    ExpectWalkableRoute(walled);
    const TVec2 last = walled.GetDestPoint();
    EXPECT_FALSE(last.x == 650 && last.y == 300);
    const TVec2 end = WalkToTheEnd(walled, TVec2(250, 550));
    EXPECT_EQ(end.x, last.x);
    EXPECT_EQ(end.y, last.y);

    // A goal whose whole row and column are blocked: no route, the walker stays.
    TPathfinder closed{timer.Source()};
    closed.SetTables({{0, 0, 800, 600}}, nullptr, 0);
    closed.Start(TVec2(250, 550), TVec2(650, 300));
    EXPECT_TRUE(closed.IsReady());
    EXPECT_TRUE(closed.GetPath().empty());
    TVec2 pos(250, 550);
    EXPECT_TRUE(closed.Update(pos, &pos, 100, 1));
    EXPECT_EQ(pos.x, 250);
}

// A bar laid over the waitress's spot: she walks out of it the short way and
// on to the goal, and never walks back into it.
TEST_F(Pathfinding, AWalkerStandingInsideAnObstacleWalksOutOfIt)
{
    const TRect bar{205, 163, 320, 599};  // the bar of the blimp's floors, her start at (300, 200) inside
    TPathfinder inside{timer.Source()};
    inside.SetTables({}, &bar, 5);
    const TVec2 from(300, 200), to(730, 430);
    ASSERT_TRUE(inside.IsBlocked(Square(from.x, from.y)));
    inside.Start(from, to);
    ASSERT_TRUE(inside.IsReady());
    const auto& path = inside.GetPath();
    ASSERT_GT(path.size(), 2u);
    EXPECT_EQ(inside.GetDestPoint().x, 730);
    EXPECT_EQ(inside.GetDestPoint().y, 430);
    // Out through the nearest side (the right edge, 25 px away), then only free squares.
    size_t out = 0;
    while (out < path.size() && inside.IsBlocked(Square(path[out].x, path[out].y)))
        ++out;
    ASSERT_LT(out, path.size());
    EXPECT_LE(out, 4u);
    for (size_t i = out; i < path.size(); ++i)
        EXPECT_FALSE(inside.IsBlocked(Square(path[i].x, path[i].y))) << path[i].x << "," << path[i].y;
    const TVec2 end = WalkToTheEnd(inside, from);
    EXPECT_EQ(end.x, 730);
    EXPECT_EQ(end.y, 430);
}

TEST_F(Pathfinding, ALongSearchIsSpreadOverFrames)
{
    TFakeTimer ticking{0, 1};  // one millisecond per reading: about 30 expansions a slice
    TPathfinder sliced{ticking.Source()};
    sliced.SetTables(kTables, &kBar, kMargin);
    const TVec2 from(200, 550), to(760, 300);
    sliced.Start(from, to);
    int frames = 1;
    TVec2 pos = from;
    while (!sliced.IsReady() && frames < 100) {
        TVec2 out;
        EXPECT_FALSE(sliced.Update(pos, &out, 200, 1.0f / 30));
        EXPECT_EQ(out.x, pos.x);  // nobody walks while the search runs
        EXPECT_EQ(out.y, pos.y);
        ++frames;
    }
    EXPECT_GT(frames, 2);
    finder.Start(from, to);  // the same search in one slice gives the same route
    ASSERT_EQ(sliced.GetPath().size(), finder.GetPath().size());
    for (size_t i = 0; i < finder.GetPath().size(); ++i) {
        EXPECT_EQ(sliced.GetPath()[i].x, finder.GetPath()[i].x);
        EXPECT_EQ(sliced.GetPath()[i].y, finder.GetPath()[i].y);
    }
}

TEST_F(Pathfinding, WalkingGoesAlongYThenXAndPathsJoin)
{
    TPathfinder empty{timer.Source()};
    EXPECT_EQ(empty.GetDestPoint().x, 0);
    EXPECT_EQ(empty.GetDestPoint().y, 0);
    EXPECT_FALSE(finder.AppendPath(empty));  // not ready: nothing changes
    EXPECT_TRUE(finder.GetPath().empty());

    // Off the grid: first down to the corner's row, then across to it.
    finder.Start(TVec2(203, 557), TVec2(260, 560));
    TVec2 pos(203, 557), out;
    finder.Update(pos, &out, 2, 1);
    EXPECT_EQ(out.x, 203);
    EXPECT_EQ(out.y, 559);
    finder.Update(out, &out, 4, 1);
    EXPECT_EQ(out.x, 200);
    EXPECT_EQ(out.y, 560);

    TPathfinder next{timer.Source()};
    next.SetTables(kTables, &kBar, kMargin);
    next.Start(TVec2(260, 560), TVec2(260, 600));
    ASSERT_TRUE(finder.AppendPath(next));
    finder.AppendPoint(TVec2(262, 597));
    EXPECT_EQ(finder.GetDestPoint().x, 262);
    finder.RemoveLastPoint();
    EXPECT_EQ(finder.GetDestPoint().y, 590);
    const TVec2 end = WalkToTheEnd(finder, out);
    EXPECT_EQ(end.x, 260);
    EXPECT_EQ(end.y, 590);
}

}  // namespace
