// TPathfinder: finds and walks one character's route across the restaurant
// floor. The floor is a grid of 80 x 60 squares of 10 pixels over the
// 800 x 600 play field; tables, the bar and a strip at the left are
// obstacles. The search is greedy (always the open square nearest the goal)
// and is spread over frames: each call works for one time slice of the
// timer, so a long search never stalls a frame. Routes follow the grid's
// four directions and the walker moves along one axis at a time, y first.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/vec.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

struct TGridNode {
    int parent = -1;     // predecessor on the best known route; -1 for the start
    int index = 0;       // this square's number
    int direction = -1;  // step that reached it: 1 up, 2 left, 3 down, 4 right; -1 for the start
    float cost = 0;      // pixels plus turn penalties from the start
    float estimate = 0;  // Manhattan pixels to the goal
    bool blocked = false;
    bool closed = false;
};

class TPathfinder {
public:
    static constexpr int kColumns = 80;
    static constexpr int kRows = 60;
    static constexpr int kSquares = kColumns * kRows;
    // A slice ends once more than this many milliseconds have passed.
    static constexpr std::uint32_t kSliceMs = 29;
    // Milliseconds, wrapping; the platform timer unless a test gives another.
    using TTimer = std::function<std::uint32_t()>;

    explicit TPathfinder(TTimer timer = {});
    ~TPathfinder();
    TPathfinder(const TPathfinder&) = delete;
    TPathfinder& operator=(const TPathfinder&) = delete;

    static int GridSize() { return 10; }
    // The square whose corner point is nearest; points off the field count
    // as the nearest point on it, so every answer is a square of the grid.
    static int pointToIndex(const TPoint& p);
    static TPoint squareToPoint(int index);
    static float calccost(int a, int b);

    // The level's obstacles: every table's bounding box and the bar's (null:
    // no bar), widened left and right by margin, and the strip at the left.
    // The floor's tables and bar are reached through their boxes only.
    void SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox, int margin);
    void Start(TVec2 from, TVec2 to);
    // Searching: one more slice, the walker stays (false). Ready: walks
    // speed x dt pixels; true once the route is used up.
    bool Update(TVec2 pos, TVec2* outPos, float speed, float dt);
    void Reset();
    bool AppendPath(const TPathfinder& other);
    void AppendPoint(TVec2 point) { mPath.push_back(point); }
    void RemoveLastPoint();
    TVec2 GetDestPoint() const;

    bool IsReady() const { return mReady; }
    const std::deque<TVec2>& GetPath() const { return mPath; }
    bool IsBlocked(int index) const { return InGrid(index) && mNodes[index].blocked; }
    int GetGoalSquare() const { return mGoal; }

private:
    static bool InGrid(int index) { return index >= 0 && index < kSquares; }
    void BlockRect(const TRect& r, int margin);
    void ComputePath();
    bool MoveGoalOffObstacle();
    void OpenWayOut();
    int FirstFreeInLine(int from, int step, int count) const;
    void RunSlice();
    bool ProcessList();
    void AddToOpenList(int square, int parent, int direction, float baseCost);
    void RecordRoute();

    TTimer mTimer;
    std::deque<TVec2> mPath;
    int mStart = 0;
    int mGoal = 0;
    int mCurrent = 0;
    float mTurnPenalty = 1.0f;
    std::vector<TGridNode*> mOpen;
    std::unique_ptr<TGridNode[]> mNodes;
    // The blocked squares joined to a blocked start: this search may cross
    // them, from inside only, so a walker inside an obstacle can leave it.
    std::vector<bool> mWayOut;
    bool mReady = false;
};
