// The rasteriser's first, plain implementation, kept as the oracle of its
// coverage: an active edge list per sub-row, fill state walked edge by edge,
// every span added to per-column coverage deltas and each finished pixel row
// cut into runs of one level. Tests compare the engine's spans and blended
// pixels with these, glyph by glyph, so a faster scan conversion is held to
// exactly the same samples.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

struct Span {
    int column1, column2, row, level, bank;  // columns and row from the glyph's pen pixel
    bool operator==(const Span&) const = default;
};

class Rasteriser {
public:
    float mScaleX = 1, mScaleY = 1;
    float mRotationCos = 1, mRotationSin = 0;
    float mStrokeWidth[2] = {0, 0};
    bool mItalic = false;

    // The spans of one outline with its pen at (x, y) quarter pixels, in the
    // order they are emitted.
    std::vector<Span> Rasterise(const unsigned char* outline, int x, int y)
    {
        mSpans.clear();
        mGlyphPixelY = y >> 2;
        float extent = std::fabs(mScaleY);
        if (mRotationSin != 0)
            extent = std::max(extent, std::fabs(mScaleX));
        if (!std::isfinite(extent) || !std::isfinite(mScaleX))
            return mSpans;
        mScanCount = std::clamp(ToInt(1 + extent), 1, 64) * 1024;
        mRowOffset = mScanCount / 2;
        mBuckets.assign(mScanCount, -1);
        WalkOutline(outline);
        ScanConvert(x, y);
        return mSpans;
    }

private:
    static constexpr int kNone = 0, kStrokeTags = 2, kMaxTag = 3, kBanks = 4, kLevels = 32;
    static constexpr int kSpanLength = 3200, kColumnOrigin = 1600, kQuarterOrigin = kColumnOrigin * 4;

    struct Edge {
        float x1, y1, x2, y2, x, step;
        int firstRow, endRow, nextInBucket;
        int colour, tag;
    };
    struct Point {
        float x, y;
    };

    static int ToInt(float v)
    {
        if (!(v == v))
            return 0;
        return int(std::clamp(v, -1.0e8f, 1.0e8f));
    }
    static int FloorToInt(float v) { return ToInt(std::floor(v)); }
    static int16_t ReadS16(const unsigned char* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }
    static int BankOfSlot(int slot) { return slot == 255 ? 0 : slot == 254 ? 1 : slot == 1 ? 3 : 2; }

    void WalkOutline(const unsigned char* p)
    {
        mEdges.clear();
        mWindowFirst = INT_MAX;
        mWindowEnd = INT_MIN;
        int shape = 2, colourCount = 0, colourBase = 0, fill1 = kNone, fill2 = kNone;
        auto slot = [&](int n) { return n ? std::min(colourBase + n, 253) : kNone; };
        auto point = [](const unsigned char* q) { return Point{ReadS16(q) / 128.0f, ReadS16(q + 2) / 128.0f}; };
        Point current{0, 0};
        for (;;) {
            switch (*p) {
            case 1: colourBase = colourCount; ++shape; fill1 = fill2 = kNone; p += 1; break;
            case 2: fill1 = slot(p[1]); p += 2; break;
            case 3: fill2 = slot(p[1]); p += 2; break;
            case 4: current = point(p + 1); p += 5; break;
            case 5: {
                Point end = point(p + 1);
                AddSegment(current, end, fill1, fill2, shape);
                current = end;
                p += 5;
                break;
            }
            case 6: {
                const Point k = point(p + 1), end = point(p + 5), start = current;
                for (int i = 1; i <= 3; ++i) {
                    float t = i / 3.0f;
                    Point q{(start.x - 2 * k.x + end.x) * t * t + 2 * (k.x - start.x) * t + start.x,
                            (start.y - 2 * k.y + end.y) * t * t + 2 * (k.y - start.y) * t + start.y};
                    if (i == 3)
                        q = end;
                    AddSegment(current, q, fill1, fill2, shape);
                    current = q;
                }
                p += 9;
                break;
            }
            case 7: colourCount = std::min(colourCount + 1, 253); p += 4; break;
            default: return;
            }
        }
    }

    void AddSegment(Point a, Point b, int fill1, int fill2, int shape)
    {
        for (int s = 0; s < kStrokeTags; ++s)
            if (mStrokeWidth[s] != 0)
                AddStroke(a, b, s);
        AddEdge(a, b, fill1 != kNone ? fill1 : fill2, std::min(shape, kMaxTag));
    }

    void AddStroke(Point p1, Point p2, int s)
    {
        float dx = p2.x - p1.x, dy = p2.y - p1.y;
        float length = std::sqrt(dx * dx + dy * dy);
        if (length == 0 || mScaleX == 0 || mScaleY == 0)
            return;
        const float w = 4 * mStrokeWidth[s];
        const float a = w / mScaleX * (dx / length), b = w / mScaleY * (dy / length);
        const Point c[6] = {{p1.x + b, p1.y - a}, {p1.x - a, p1.y - b}, {p1.x - b, p1.y + a},
                            {p2.x - b, p2.y + a}, {p2.x + a, p2.y + b}, {p2.x + b, p2.y - a}};
        for (int i = 0; i < 6; ++i)
            AddEdge(c[i], c[(i + 1) % 6], 0, s);
    }

    void AddEdge(Point a, Point b, int colour, int tag)
    {
        if (mItalic) {
            a.x -= a.y / 3;
            b.x -= b.y / 3;
        }
        a = {a.x * mScaleX, a.y * mScaleY};
        b = {b.x * mScaleX, b.y * mScaleY};
        if (mRotationSin != 0) {
            a = {a.x * mRotationCos - a.y * mRotationSin, a.y * mRotationCos + a.x * mRotationSin};
            b = {b.x * mRotationCos - b.y * mRotationSin, b.y * mRotationCos + b.x * mRotationSin};
        }
        bool swapped = false;
        if (a.y > b.y) {
            std::swap(a, b);
            swapped = true;
        }
        if (tag < kStrokeTags)
            colour = swapped ? 1 : 0;
        int first = FloorToInt(a.y + 0.5f), end = FloorToInt(b.y + 0.5f);
        first = std::max(first, -mRowOffset);
        end = std::min(end, mScanCount - mRowOffset);
        if (first >= end)
            return;
        Edge e{a.x, a.y, b.x, b.y, 0, (b.x - a.x) / (b.y - a.y), first, end, 0, colour, tag};
        const int bucket = first + mRowOffset;
        e.nextInBucket = mBuckets[bucket];
        mBuckets[bucket] = int(mEdges.size());
        mEdges.push_back(e);
        mWindowFirst = std::min(mWindowFirst, bucket);
        mWindowEnd = std::max(mWindowEnd, end + mRowOffset);
    }

    void ScanConvert(int penX, int penY)
    {
        const int phaseX = penX & 3;
        std::vector<int> active;
        int pixelRow = INT_MIN;
        for (int r = mWindowFirst; r < mWindowEnd; ++r) {
            const int yf = r - mRowOffset;
            const int row = (penY + yf) >> 2;
            if (row != pixelRow) {
                if (pixelRow != INT_MIN)
                    FlushCoverage(pixelRow);
                pixelRow = row;
            }
            size_t kept = 0;
            for (int index : active) {
                Edge& e = mEdges[index];
                if (e.endRow <= yf)
                    continue;
                e.x += e.step;
                active[kept++] = index;
            }
            active.resize(kept);
            for (int index = mBuckets[r]; index >= 0; index = mEdges[index].nextInBucket) {
                Edge& e = mEdges[index];
                e.x = (yf + 0.5f - e.y1) * e.step + e.x1 + phaseX;
                active.push_back(index);
            }
            mBuckets[r] = -1;
            for (size_t i = 1; i < active.size(); ++i) {
                int moving = active[i];
                size_t j = i;
                for (; j > 0 && mEdges[active[j - 1]].x > mEdges[moving].x; --j)
                    active[j] = active[j - 1];
                active[j] = moving;
            }
            FillSubRow(active);
        }
        if (pixelRow != INT_MIN)
            FlushCoverage(pixelRow);
    }

    void FillSubRow(const std::vector<int>& active)
    {
        int fill[kMaxTag + 1] = {kNone, kNone, kNone, kNone};
        int winding[kStrokeTags] = {0, 0};
        int start = INT_MIN, end = INT_MIN;
        for (int index : active) {
            const Edge& e = mEdges[index];
            const int xi = FloorToInt(e.x + 0.5f);
            int top = kNone;
            for (int t = kMaxTag; t >= 0 && top == kNone; --t)
                top = fill[t];
            if (top == kNone) {
                AddSpan(start, end);
                start = xi;
            } else if (top != mCurrentSlot) {
                AddSpan(start, end);
                start = end;
                mCurrentSlot = top;
            }
            if (e.tag < kStrokeTags) {
                winding[e.tag] += e.colour ? 1 : -1;
                fill[e.tag] = winding[e.tag] ? 255 - e.tag : kNone;
            } else {
                fill[e.tag] = fill[e.tag] == e.colour ? kNone : e.colour;
            }
            end = xi;
        }
        AddSpan(start, end);
    }

    void AddSpan(int x1, int x2)
    {
        if (x1 == INT_MIN || x2 <= x1)
            return;
        const int s = std::clamp(x1 + kQuarterOrigin, 0, kSpanLength * 4 - 1);
        const int e = std::clamp(x2 + kQuarterOrigin, 0, kSpanLength * 4);
        if (e <= s)
            return;
        const int bank = BankOfSlot(mCurrentSlot);
        auto& delta = mDelta[bank];
        const int c1 = s >> 2, f1 = s & 3, c2 = e >> 2, f2 = e & 3;
        delta[c1] += 4 - f1;
        delta[c1 + 1] += f1;
        delta[c2] += f2 - 4;
        delta[c2 + 1] -= f2;
        mTouchedMin[bank] = std::min(mTouchedMin[bank], c1);
        mTouchedMax[bank] = std::max(mTouchedMax[bank], c2 + 1);
    }

    void FlushCoverage(int pixelRow)
    {
        for (int bank = 0; bank < kBanks; ++bank) {
            if (mTouchedMin[bank] > mTouchedMax[bank])
                continue;
            auto& delta = mDelta[bank];
            int sum = 0, previousLevel = 255, previousColumn = mTouchedMin[bank];
            for (int c = mTouchedMin[bank]; c <= mTouchedMax[bank]; ++c) {
                sum += delta[c];
                delta[c] = 0;
                const int level = sum <= 0 ? 255 : std::min(sum - 1, kLevels - 1);
                if (level != previousLevel) {
                    if (previousLevel != 255)
                        mSpans.push_back({previousColumn - kColumnOrigin, c - kColumnOrigin,
                                          pixelRow - mGlyphPixelY, previousLevel, bank});
                    previousColumn = c;
                    previousLevel = level;
                }
            }
            mTouchedMin[bank] = INT_MAX;
            mTouchedMax[bank] = -1;
        }
    }

    std::vector<Edge> mEdges;
    std::vector<int> mBuckets;
    int mScanCount = 0, mRowOffset = 0, mWindowFirst = 0, mWindowEnd = 0, mGlyphPixelY = 0;
    int mCurrentSlot = 1;
    std::array<std::vector<int>, kBanks> mDelta{std::vector<int>(kSpanLength + 2), std::vector<int>(kSpanLength + 2),
                                                std::vector<int>(kSpanLength + 2), std::vector<int>(kSpanLength + 2)};
    std::array<int, kBanks> mTouchedMin{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, mTouchedMax{-1, -1, -1, -1};
    std::vector<Span> mSpans;
};

// The blend of one span into a B, G, R, A surface at pixel row y, columns
// [x1, x2) already clipped: colour over the old pixel by alpha, alpha kept.
inline void BlendRun(unsigned char* row, int x1, int x2, int red, int green, int blue, int alpha)
{
    if (alpha == 0)
        return;
    for (int x = x1; x < x2; ++x) {
        unsigned char* p = row + size_t(x) * 4;
        p[0] = uint8_t((p[0] * (255 - alpha) + blue * alpha) / 255);
        p[1] = uint8_t((p[1] * (255 - alpha) + green * alpha) / 255);
        p[2] = uint8_t((p[2] * (255 - alpha) + red * alpha) / 255);
    }
}

}  // namespace reference
