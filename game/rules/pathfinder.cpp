#include "game/rules/pathfinder.h"

#include "engine/platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kUp = 1, kLeft = 2, kDown = 3, kRight = 4;
// No route ends in the top of the floor, where the walls and the kitchen are.
constexpr float kLowestGoalY = 200.0f;
// The strip at the left of the floor (the entrance and the line) is never walked.
constexpr TRect kLeftStrip{0, 0, 180, 500};
constexpr int kMaxWalkSteps = 100;

std::uint32_t PlatformTimer()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Timer() : 0;
}

// Moves *value toward target by at most *budget; takes the move from the budget.
void MoveAxis(float* value, float target, float* budget)
{
    const float distance = std::fabs(target - *value);
    const float move = std::min(distance, *budget);
    *value = move == distance ? target : *value + (target > *value ? move : -move);
    *budget -= move;
}

}  // namespace

TPathfinder::TPathfinder(TTimer timer)
    : mTimer(timer ? std::move(timer) : TTimer(&PlatformTimer)), mNodes(new TGridNode[kSquares])
{
    mOpen.reserve(kSquares);
    for (int i = 0; i < kSquares; ++i)
        mNodes[i].index = i;
}

TPathfinder::~TPathfinder() = default;

int TPathfinder::pointToIndex(const TPoint& p)
{
    const int column = std::clamp((p.x + GridSize() / 2) / GridSize(), 0, kColumns - 1);
    const int row = std::clamp((p.y + GridSize() / 2) / GridSize(), 0, kRows - 1);
    return column + row * kColumns;
}

TPoint TPathfinder::squareToPoint(int index)
{
    return TPoint{(index % kColumns) * GridSize(), (index / kColumns) * GridSize()};
}

float TPathfinder::calccost(int a, int b)
{
    const TPoint pa = squareToPoint(a), pb = squareToPoint(b);
    return static_cast<float>(std::abs(pa.x - pb.x) + std::abs(pa.y - pb.y));
}

void TPathfinder::SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox, int margin)
{
    for (int i = 0; i < kSquares; ++i) {
        mNodes[i].index = i;
        mNodes[i].blocked = false;
    }
    for (const TRect& box : tableBoxes)
        BlockRect(box, margin);
    if (barBox)
        BlockRect(*barBox, margin);
    BlockRect(kLeftStrip, 0);
}

// The margin widens the box to the left and right only: characters pass
// close above and below a table but not beside its chairs.
void TPathfinder::BlockRect(const TRect& r, int margin)
{
    for (int y = r.y1; y < r.y2 + 5; y += 10)
        for (int x = r.x1 - margin; x < r.x2 + margin + 5; x += 10)
            mNodes[pointToIndex(TPoint{x, y})].blocked = true;
}

void TPathfinder::Start(TVec2 from, TVec2 to)
{
    if (to.y < kLowestGoalY)
        to.y = kLowestGoalY;
    mReady = false;
    mOpen.clear();
    mStart = pointToIndex(TPoint{static_cast<int>(from.x), static_cast<int>(from.y)});
    mGoal = pointToIndex(TPoint{static_cast<int>(to.x), static_cast<int>(to.y)});
    ComputePath();
}

void TPathfinder::ComputePath()
{
    if (mNodes[mGoal].blocked && !MoveGoalOffObstacle()) {
        mReady = true;  // nowhere to go: the walker stays
        return;
    }
    for (int i = 0; i < kSquares; ++i) {
        mNodes[i].closed = false;
        mNodes[i].estimate = calccost(i, mGoal);
    }
    OpenWayOut();
    TGridNode& start = mNodes[mStart];
    start.parent = -1;
    start.cost = 0;
    start.direction = -1;
    mOpen.push_back(&start);
    mCurrent = mStart;
    mTurnPenalty = 1.0f;
    RunSlice();
}

// The nearest free neighbour (up, down, right, left, inside the grid), else
// the nearest free square along the goal's column down, up, then its row
// right, left. False when the whole column and row are blocked.
bool TPathfinder::MoveGoalOffObstacle()
{
    const int column = mGoal % kColumns, row = mGoal / kColumns;
    const int neighbours[4] = {row > 0 ? mGoal - kColumns : -1, row < kRows - 1 ? mGoal + kColumns : -1,
                               column < kColumns - 1 ? mGoal + 1 : -1, column > 0 ? mGoal - 1 : -1};
    for (int square : neighbours) {
        if (square >= 0 && !mNodes[square].blocked) {
            mGoal = square;
            return true;
        }
    }
    const int scans[4] = {FirstFreeInLine(mGoal, kColumns, kRows - 1 - row), FirstFreeInLine(mGoal, -kColumns, row),
                          FirstFreeInLine(mGoal, 1, kColumns - 1 - column), FirstFreeInLine(mGoal, -1, column)};
    for (int square : scans) {
        if (square >= 0) {
            mGoal = square;
            return true;
        }
    }
    return false;
}

// A walker standing inside an obstacle (a bar or table laid over her spot)
// would find no first step and stay for ever; the obstacle's squares joined
// to hers are opened to this search.
void TPathfinder::OpenWayOut()
{
    mWayOut.assign(kSquares, false);
    if (!mNodes[mStart].blocked)
        return;
    std::vector<int> todo{mStart};
    mWayOut[std::size_t(mStart)] = true;
    while (!todo.empty()) {
        const int square = todo.back();
        todo.pop_back();
        const int column = square % kColumns, row = square / kColumns;
        const int next[4] = {row > 0 ? square - kColumns : -1, column > 0 ? square - 1 : -1,
                             row < kRows - 1 ? square + kColumns : -1, column < kColumns - 1 ? square + 1 : -1};
        for (int n : next)
            if (n >= 0 && mNodes[n].blocked && !mWayOut[std::size_t(n)]) {
                mWayOut[std::size_t(n)] = true;
                todo.push_back(n);
            }
    }
}

int TPathfinder::FirstFreeInLine(int from, int step, int count) const
{
    for (int i = 1, square = from + step; i <= count; ++i, square += step)
        if (!mNodes[square].blocked)
            return square;
    return -1;
}

void TPathfinder::RunSlice()
{
    const std::uint32_t begin = mTimer();
    while (static_cast<std::uint32_t>(mTimer() - begin) <= kSliceMs) {
        if (ProcessList()) {
            mReady = true;
            RecordRoute();
            return;
        }
    }
}

bool TPathfinder::ProcessList()
{
    if (mOpen.empty())
        return true;  // the route leads to the nearest approach
    TGridNode* node = mOpen.front();
    mOpen.erase(mOpen.begin());
    mCurrent = node->index;
    node->closed = true;
    if (mCurrent == mGoal)
        return true;

    const int column = mCurrent % kColumns, row = mCurrent / kColumns;
    auto offer = [&](bool inside, int square, int direction) {
        if (inside)
            AddToOpenList(square, mCurrent, direction,
                          node->cost + (node->direction != direction ? mTurnPenalty : 0.0f));
    };
    offer(row > 0, mCurrent - kColumns, kUp);
    offer(column > 0, mCurrent - 1, kLeft);
    offer(row < kRows - 1, mCurrent + kColumns, kDown);
    offer(column < kColumns - 1, mCurrent + 1, kRight);
    mTurnPenalty *= 0.9f;
    return false;
}

void TPathfinder::AddToOpenList(int square, int parent, int direction, float baseCost)
{
    TGridNode& node = mNodes[square];
    // Blocked squares are crossed only on the way out of the start's obstacle.
    if (node.blocked && !(mWayOut[std::size_t(square)] && mWayOut[std::size_t(parent)]))
        return;
    const float cost = baseCost + calccost(parent, square);
    if (square == mNodes[parent].parent)
        return;
    auto take = [&] {
        node.cost = cost;
        node.parent = parent;
        node.direction = direction;
    };
    if (node.closed) {
        if (node.cost <= cost)
            return;
        take();
        node.closed = false;
    }
    if (mOpen.empty() || node.estimate > mOpen.back()->estimate) {
        take();
        mOpen.push_back(&node);
        return;
    }
    auto before = [](const TGridNode* a, const TGridNode* b) {
        return a->estimate < b->estimate || (a->estimate == b->estimate && a->index < b->index);
    };
    auto at = std::lower_bound(mOpen.begin(), mOpen.end(), &node, before);
    if (at != mOpen.end() && *at == &node) {
        if (node.cost > cost)
            take();
        return;
    }
    take();
    mOpen.insert(at, &node);
}

// From the last expanded square back to the start, in front of what the
// path already holds. Costs only fall along a parent chain, so it ends; the
// bound is a guard all the same.
void TPathfinder::RecordRoute()
{
    std::deque<TVec2> route;
    for (int square = mCurrent, steps = 0; square >= 0 && steps < kSquares; square = mNodes[square].parent, ++steps) {
        const TPoint p = squareToPoint(square);
        route.push_front(TVec2(static_cast<float>(p.x), static_cast<float>(p.y)));
        if (square == mStart)
            break;
    }
    mPath.insert(mPath.begin(), route.begin(), route.end());
}

bool TPathfinder::Update(TVec2 pos, TVec2* outPos, float speed, float dt)
{
    if (!mReady) {
        RunSlice();
        *outPos = pos;
        return false;
    }
    float budget = speed * dt;
    for (int step = 0; step < kMaxWalkSteps && budget > 0 && !mPath.empty(); ++step) {
        const TVec2 target = mPath.front();
        if (pos.y != target.y)
            MoveAxis(&pos.y, target.y, &budget);
        else if (pos.x != target.x)
            MoveAxis(&pos.x, target.x, &budget);
        if (pos.x == target.x && pos.y == target.y)
            mPath.pop_front();
    }
    *outPos = pos;
    return mPath.empty();
}

void TPathfinder::Reset()
{
    mPath.clear();
    mReady = false;
}

bool TPathfinder::AppendPath(const TPathfinder& other)
{
    if (!other.mReady || other.mPath.empty())
        return false;
    mPath.insert(mPath.end(), other.mPath.begin(), other.mPath.end());
    mReady = true;
    return true;
}

void TPathfinder::RemoveLastPoint()
{
    if (!mPath.empty())
        mPath.pop_back();
}

TVec2 TPathfinder::GetDestPoint() const
{
    return mPath.empty() ? TVec2() : mPath.back();
}
