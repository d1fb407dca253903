#include "engine/text/minivecdraw.h"

#include "engine/base/debuglog.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr int kDeltaColumns = TQmMiniVecDraw::kSpanLength + 2;  // a span writes one column past its end
constexpr int kQuarterOrigin = TQmMiniVecDraw::kColumnOrigin * 4;
// The calibration target: no wider than the display (a wider texture is
// system memory, which cannot be drawn into), tall enough for every place.
constexpr int kCalibrationWidth = 512, kCalibrationHeight = 32;

int16_t ReadS16(const unsigned char* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

// Float to int for coordinates: far beyond anything drawn, values saturate
// (NaN gives 0), so no conversion is undefined; clipping does the rest.
int ToInt(float v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(v, -1.0e8f, 1.0e8f));
}
// floor() of the saturated value without a library call: every value within
// the clamp converts exactly, so truncating and stepping down past negative
// fractions is the same as flooring first.
int FloorOfNumber(float v)
{
    v = std::min(std::max(v, -1.0e8f), 1.0e8f);
    const int t = int(v);
    return t - (float(t) > v);
}
int FloorToInt(float v) { return v == v ? FloorOfNumber(v) : 0; }

uint8_t ToByte(float v)
{
    v = std::clamp(v, 0.0f, 1.0f);
    return static_cast<uint8_t>(v * 255.0f);
}

// x / 255 for x up to 255 x 255, exactly, in each 16-bit lane of a word.
inline uint32_t DivideLanesBy255(uint32_t x)
{
    return ((x + 0x00010001u + ((x >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
}

static_assert(std::endian::native == std::endian::little, "pixels are read as B, G, R, A from the low byte up");

}  // namespace

// What blending one colour needs, worked out when the colour is set.
TQmMiniVecDraw::TBlend TQmMiniVecDraw::BlendOf(TColor32 colour)
{
    const uint32_t alpha = colour.Alpha(), blue = colour.Blue(), green = colour.Green(), red = colour.Red();
    return TBlend{alpha, 255 - alpha, (blue | (red << 16)) * alpha, green * alpha, blue | (green << 8) | (red << 16)};
}

// A colour over `count` B, G, R, A pixels by its alpha, each channel
// (old x (255 - a) + new x a) / 255, alpha kept. Pixels are whole words and
// blue and red share one multiply (16-bit lanes), so a run is a few integer
// operations a pixel with no branch.
[[gnu::always_inline]] inline void TQmMiniVecDraw::BlendRun(unsigned char* pixels, int count, const TBlend& blend)
{
    // Locals, not the table: stores through the pixel bytes could alias it,
    // which would reload every constant at every pixel.
    const uint32_t alpha = blend.alpha, inverse = blend.inverse, redBlue = blend.redBlue, green = blend.green;
    const uint32_t rgb = blend.rgb;
    if (alpha == 0)
        return;
    if (alpha == 255) {  // what the blend gives at full alpha
        for (int i = 0; i < count; ++i) {
            uint32_t p;
            std::memcpy(&p, pixels + 4 * i, 4);
            p = (p & 0xff000000u) | rgb;
            std::memcpy(pixels + 4 * i, &p, 4);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        uint32_t p;
        std::memcpy(&p, pixels + 4 * i, 4);
        const uint32_t rb = DivideLanesBy255((p & 0x00ff00ffu) * inverse + redBlue);
        const uint32_t g = DivideLanesBy255(((p >> 8) & 0xffu) * inverse + green);
        p = (p & 0xff000000u) | rb | (g << 8);
        std::memcpy(pixels + 4 * i, &p, 4);
    }
}

bool TMemorySurface::Lock(unsigned char** pixels, int* width, int* height, int* pitch)
{
    if (!pixels || !width || !height || !pitch)
        return false;
    *pixels = mPixels.data();
    *width = mWidth;
    *height = mHeight;
    *pitch = mWidth * 4;
    return true;
}

int TMemorySurface::At(int x, int y, int channel) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight)
        return 0;
    return mPixels[(size_t(y) * mWidth + x) * 4 + channel];
}

void TMemorySurface::Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    for (size_t i = 0; i < mPixels.size(); i += 4) {
        mPixels[i] = b;
        mPixels[i + 1] = g;
        mPixels[i + 2] = r;
        mPixels[i + 3] = a;
    }
}

size_t TQmMiniVecDraw::CacheKeyHash::operator()(const CacheKey& k) const
{
    // The floats' bits: equal keys have equal bits except 0 and -0, which
    // differ only in the sign bit, so that is dropped. A few multiplies: this
    // runs for every glyph drawn.
    auto bits = [](float f) { return uint64_t(std::bit_cast<uint32_t>(f) & 0x7fffffffu); };
    const uint64_t small = uint64_t(k.phaseX) | (uint64_t(k.phaseY) << 2) | (uint64_t(k.italic) << 4);
    uint64_t h = uint64_t(reinterpret_cast<uintptr_t>(k.outline)) * 0x9e3779b97f4a7c15ull;
    h ^= (bits(k.scaleX) | (bits(k.scaleY) << 32)) * 0xc2b2ae3d27d4eb4full + small;
    h ^= (bits(k.stroke0) | (bits(k.stroke1) << 32)) * 0x165667b19e3779f9ull;
    h ^= (bits(k.cos) | (bits(k.sin) << 32)) * 0x27d4eb2f165667c5ull;
    return size_t(h ^ (h >> 29));
}

TQmMiniVecDraw::TQmMiniVecDraw(TTextDisplay* display) : mDisplay(display), mVertices(256)
{
    for (auto& bank : mDelta)
        bank.assign(kDeltaColumns, 0);
    mTouchedMin.fill(INT_MAX);
    mTouchedMax.fill(-1);
    mEdges.reserve(512);
    mCache.reserve(1024);  // a screenful of text without rehashing
    // The spans of those glyphs (some 30 a glyph), so the first screens of
    // text do not copy the store over and over while it grows: 256 KB.
    mSpanStore.reserve(kFirstSpans);
}

TQmMiniVecDraw::~TQmMiniVecDraw()
{
    if (mAtlas && mAtlasPixels)
        mAtlas->Unlock();
    if (mTarget && mPixels)
        mTarget->Unlock();
}

int TQmMiniVecDraw::BankOfSlot(int slot) const
{
    switch (slot) {
    case 255: return 0;  // outline stroke, drawn first (underneath)
    case 254: return 1;  // bold stroke
    case 1: return 3;    // glyph fill, drawn last (on top)
    default: return 2;
    }
}

void TQmMiniVecDraw::SetColor(int slot, const TColor& colour, float opacity)
{
    if (slot < 0 || slot >= kSlotCount)
        return;
    mSlotZeroClear = false;
    const int a = std::clamp(ToInt(float(ToInt(colour.a * 255.0f)) * opacity), 0, 255);
    const uint8_t r = ToByte(colour.r), g = ToByte(colour.g), b = ToByte(colour.b);
    static constexpr int kPartial[4] = {17, 40, 73, 128};
    for (int i = 0; i < 4; ++i)
        mPartial[slot][i] = TColor32(r, g, b, uint8_t(a * kPartial[i] / 256));
    auto& levels = mBankColour[BankOfSlot(slot)];
    auto& blends = mBankBlend[BankOfSlot(slot)];
    for (int k = 0; k < kLevels; ++k) {
        int alpha = k < 16 ? (k + 1) * 16 * a / 256 : 255 * a / 256;
        levels[k] = TColor32(r, g, b, uint8_t(alpha));
        blends[k] = BlendOf(levels[k]);
    }
}

bool TQmMiniVecDraw::Start(float x, float y, std::shared_ptr<TSpanTarget> target)
{
    if (mDisplay)
        mDisplay->UnbindTexture();
    mOriginX = ToInt(x);
    mOriginY = ToInt(y);
    if (target == mTarget)
        return true;
    Stop();
    mTarget = std::move(target);
    if (mTarget && !mTarget->Lock(&mPixels, &mSurfaceWidth, &mSurfaceHeight, &mPitch))
        mPixels = nullptr;  // a target that cannot be locked receives nothing
    return true;
}

void TQmMiniVecDraw::Stop()
{
    Flush();
    if (mAtlas && mAtlasPixels) {
        mAtlas->Unlock();
        mAtlasPixels = nullptr;
    }
    if (mTarget && mPixels)
        mTarget->Unlock();
    mTarget.reset();
    mPixels = nullptr;
}

void TQmMiniVecDraw::Flush()
{
    FlushAtlasQuads();
    if (mVertexCount == 0)
        return;
    // Spans into a target are blended as they come; only lines wait here.
    if (!mTarget && mDisplay)
        mDisplay->DrawLines(mVertices.data(), mVertexCount);
    mVertexCount = 0;
}

void TQmMiniVecDraw::PushVertexPair(float x1, float x2, float y, TColor32 colour)
{
    if (!mAtlasVertices.empty())
        FlushAtlasQuads();  // lines after the quads queued before them
    if (mVertexCount + 2 > mVertexCapacity)
        Flush();
    TSpanVertex& a = mVertices[mVertexCount++];
    TSpanVertex& b = mVertices[mVertexCount++];
    a = TSpanVertex{};
    a.x = x1;
    a.y = y;
    a.z = 0.1f;
    a.rhw = 0.5f;
    a.color = colour;
    b = a;
    b.x = x2;
}

void TQmMiniVecDraw::Draw(const unsigned char* outline, int x, int y, bool cache)
{
    if (!outline)
        return;
    mGlyphPixelX = x >> 2;
    mGlyphPixelY = y >> 2;

    const CacheKey key{outline, x & 3, y & 3, mScaleX, mScaleY, mStrokeWidth[0], mStrokeWidth[1],
                       mRotationCos, mRotationSin, mItalic};
    if (cache && AtlasReady()) {
        if (DrawFromAtlas(key, outline, x, y))
            return;
    }
    if (cache) {
        auto hit = mCache.find(key);
        if (hit != mCache.end()) {
            Replay(SpansOf(hit->second), &hit->second);
            return;
        }
    }
    if (!PrepareScan(outline))
        return;
    if (!cache) {
        // Made at the end of the store, drawn, and given back.
        const size_t mark = mSpanStore.size();
        ScanConvert(x, y);
        Replay(Spans(mSpanStore.data() + mark, mSpanStore.size() - mark));
        mSpanStore.resize(mark);
        return;
    }
    SpanRange& range = StartRecording(key);
    ScanConvert(x, y);
    StopRecording(range);
    Replay(SpansOf(range), &range);
}

TQmMiniVecDraw::SpanRange& TQmMiniVecDraw::StartRecording(const CacheKey& key)
{
    if (mCachedSpans > kMaxCachedSpans) {
        mCache.clear();  // whole, so rotating text cannot grow it without bound
        mSpanStore.clear();
        mCachedSpans = 0;
    }
    SpanRange& range = mCache[key];
    range.first = uint32_t(mSpanStore.size());
    return range;
}

void TQmMiniVecDraw::StopRecording(SpanRange& range)
{
    range.count = uint32_t(mSpanStore.size() - range.first);
    if (range.count > 0) {
        range.left = int16_t(mBoxLeft - kColumnOrigin);
        range.right = int16_t(mBoxRight - kColumnOrigin);
        range.top = int16_t(mBoxTop);
        range.bottom = int16_t(mBoxBottom);
    }
    mCachedSpans += range.count + 1;
}

bool TQmMiniVecDraw::PrepareScan(const unsigned char* outline)
{
    // Sub-rows enough for the outline's height either side of the baseline;
    // a rotated outline can reach as far as its width.
    float extent = std::fabs(mScaleY);
    if (mRotationSin != 0)
        extent = std::max(extent, std::fabs(mScaleX));
    if (!std::isfinite(extent) || !std::isfinite(mScaleX))
        return false;
    const int scanCount = std::clamp(ToInt(1 + extent), 1, 64) * 1024;
    if (scanCount > int(mBuckets.size()))
        mBuckets.assign(scanCount, -1);
    mScanCount = scanCount;
    mRowOffset = scanCount / 2;
    WalkOutline(outline);
    return true;
}

TQmMiniVecDraw::Spans TQmMiniVecDraw::CachedSpans(const CacheKey& key, const unsigned char* outline, int x, int y)
{
    auto hit = mCache.find(key);
    if (hit != mCache.end())
        return SpansOf(hit->second);
    if (!PrepareScan(outline))
        return {};
    SpanRange& range = StartRecording(key);
    ScanConvert(x, y);
    StopRecording(range);
    return SpansOf(range);
}

void TQmMiniVecDraw::WalkOutline(const unsigned char* p)
{
    mEdges.clear();
    mWindowFirst = INT_MAX;
    mWindowEnd = INT_MIN;
    mOneFill = true;
    if (!mSlotZeroClear) {  // most glyphs change no colour: no need to work the table out again
        SetColor(0, TColor{0, 0, 0, 0}, 1.0f);
        mSlotZeroClear = true;
    }

    int shape = 2, colourCount = 0, colourBase = 0, fill1 = kNone, fill2 = kNone;
    auto slot = [&](int n) { return n ? std::min(colourBase + n, 253) : kNone; };
    auto point = [](const unsigned char* q) { return Point{ReadS16(q) / 128.0f, ReadS16(q + 2) / 128.0f}; };
    Point current{0, 0};
    for (;;) {
        switch (*p) {
        case 1:
            colourBase = colourCount;
            ++shape;
            fill1 = fill2 = kNone;
            p += 1;
            break;
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
            // Three straight pieces are plenty at text sizes.
            const Point k = point(p + 1), end = point(p + 5), start = current;
            for (int i = 1; i <= 2; ++i) {
                float t = i / 3.0f;
                Point q{(start.x - 2 * k.x + end.x) * t * t + 2 * (k.x - start.x) * t + start.x,
                        (start.y - 2 * k.y + end.y) * t * t + 2 * (k.y - start.y) * t + start.y};
                AddSegment(current, q, fill1, fill2, shape);
                current = q;
            }
            AddSegment(current, end, fill1, fill2, shape);  // the last piece ends exactly on the end point
            current = end;
            p += 9;
            break;
        }
        case 7:
            colourCount = std::min(colourCount + 1, 253);
            SetColor(colourCount, TColor{p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f, 1.0f}, 1.0f);
            p += 4;
            break;
        default:  // 8 ends the outline; any byte outside the format ends it too
            return;
        }
    }
}

[[gnu::always_inline]] inline void TQmMiniVecDraw::AddSegment(Point a, Point b, int fill1, int fill2, int shape)
{
    for (int s = 0; s < kStrokeTags; ++s)
        if (mStrokeWidth[s] != 0)
            AddStroke(a, b, s);
    AddEdge(a, b, fill1 != kNone ? fill1 : fill2, std::min(shape, kMaxTag));
}

void TQmMiniVecDraw::AddStroke(Point p1, Point p2, int s)
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

[[gnu::always_inline]] inline void TQmMiniVecDraw::AddEdge(Point a, Point b, int colour, int tag)
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

    // Sub-row r samples the line y = r + 0.5: the edge covers the rows whose
    // sample lies in [y1, y2), so an edge from 0 to 8 covers exactly 8 rows.
    int first = FloorToInt(a.y + 0.5f), end = FloorToInt(b.y + 0.5f);
    first = std::max(first, -mRowOffset);
    end = std::min(end, mScanCount - mRowOffset);
    if (first >= end)
        return;
    Edge e;
    e.x1 = a.x;
    e.y1 = a.y;
    e.x2 = b.x;
    e.y2 = b.y;
    e.step = (b.x - a.x) / (b.y - a.y);
    e.x = 0;
    e.firstRow = first;
    e.endRow = end;
    e.nextInBucket = -1;
    e.colour = uint8_t(colour);
    e.tag = uint8_t(tag);
    // Shapes all filling one colour even-odd (plain and accented glyphs)
    // scan-convert without the fill state of strokes and colour layers; so do
    // only finite edges, whose crossings sort the same as integers as floats.
    if (mOneFill && (tag < kStrokeTags || colour == kNone || !std::isfinite(e.step) || !std::isfinite(e.x1) ||
                     !std::isfinite(e.x2) || (!mEdges.empty() && mEdges.front().colour != e.colour)))
        mOneFill = false;
    mEdges.push_back(e);
    mWindowFirst = std::min(mWindowFirst, first + mRowOffset);
    mWindowEnd = std::max(mWindowEnd, end + mRowOffset);
}

void TQmMiniVecDraw::ScanConvert(int penX, int penY)
{
    mBoxLeft = mBoxTop = INT_MAX;
    mBoxRight = mBoxBottom = INT_MIN;
    if (mEdges.empty())
        return;
    if (mOneFill)
        ScanConvertOneFill(penX, penY);
    else
        ScanConvertLayers(penX, penY);
}

// Where the edge crosses sub-row yf's sample line, plus the pen's phase: the
// first row's x, from which each further row steps on by `step`.
float TQmMiniVecDraw::FirstCrossing(const Edge& e, int yf, int phaseX)
{
    return (yf + 0.5f - e.y1) * e.step + e.x1 + phaseX;
}

void TQmMiniVecDraw::ScanConvertOneFill(int penX, int penY)
{
    // Every edge's crossings go straight into the rows they cross (rows laid
    // out one after another, each with room for exactly its crossings), so no
    // active list is kept; each row then sorts its few crossings (x twice,
    // plus the shape: 0 or 1) and fills where any shape's parity is odd, as
    // the layered walk does when all layers have one colour.
    const int phaseX = penX & 3;
    const int rows = mWindowEnd - mWindowFirst;
    mRowStart.assign(size_t(rows) + 1, 0);
    for (const Edge& e : mEdges) {
        ++mRowStart[e.firstRow + mRowOffset - mWindowFirst];
        --mRowStart[e.endRow + mRowOffset - mWindowFirst];
    }
    // Crossings a row, then where each row's crossings begin.
    long long total = 0;
    int crossing = 0;
    for (int r = 0; r < rows; ++r) {
        crossing += mRowStart[r];
        mRowStart[r] = int(total);
        total += crossing;
    }
    mRowStart[rows] = int(total);
    // Outlines drawn huge hold too many crossings at once to store them all
    // (a megabyte's worth); the layered walk keeps only a row's, and gives
    // the same spans.
    if (total > kMaxStoredCrossings) {
        ScanConvertLayers(penX, penY);
        return;
    }
    mCrossings.resize(size_t(total));
    mRowFill.assign(mRowStart.begin(), mRowStart.end() - 1);
    int* crossings = mCrossings.data();
    int* fill = mRowFill.data();
    for (const Edge& e : mEdges) {
        // Finite edges from finite starts step to finite or infinite x, never
        // NaN; an edge well inside the clamp's range (every glyph's) is floored
        // without it: its crossings stay between its ends, give or take the
        // phase and the steps' rounding.
        float x = FirstCrossing(e, e.firstRow, phaseX);
        const int shape = e.tag - kStrokeTags;
        const int first = e.firstRow + mRowOffset - mWindowFirst, end = e.endRow + mRowOffset - mWindowFirst;
        if (e.step == 0) {  // upright (stems): one crossing for every row
            const int crossing = FloorOfNumber(x + 0.5f) * 2 + shape;
            for (int r = first; r < end; ++r)
                crossings[fill[r]++] = crossing;
            continue;
        }
        if (std::max(std::fabs(e.x1), std::fabs(e.x2)) < 1.0e6f) {
            for (int r = first; r < end; ++r) {
                const float v = x + 0.5f;
                const int t = int(v);
                crossings[fill[r]++] = (t - (float(t) > v)) * 2 + shape;
                x += e.step;
            }
            continue;
        }
        for (int r = first; r < end; ++r) {
            crossings[fill[r]++] = FloorOfNumber(x + 0.5f) * 2 + shape;
            x += e.step;
        }
    }
    mCurrentSlot = mEdges.front().colour;
    const int bank = BankOfSlot(mCurrentSlot);
    // AddSpan's work, with the bank's deltas and touched columns at hand.
    int16_t* delta = mDelta[bank].data();
    int touchedMin = mTouchedMin[bank], touchedMax = mTouchedMax[bank];
    auto addSpan = [&](int x1, int x2) {
        const int s = std::clamp(x1 + kQuarterOrigin, 0, kSpanLength * 4 - 1);
        const int e = std::clamp(x2 + kQuarterOrigin, 0, kSpanLength * 4);
        if (e <= s)
            return;
        const int c1 = s >> 2, f1 = s & 3, c2 = e >> 2, f2 = e & 3;
        delta[c1] += int16_t(4 - f1);
        delta[c1 + 1] += int16_t(f1);
        delta[c2] += int16_t(f2 - 4);
        delta[c2 + 1] -= int16_t(f2);
        touchedMin = std::min(touchedMin, c1);
        touchedMax = std::max(touchedMax, c2 + 1);
    };
    auto flush = [&](int pixelRow) {
        mTouchedMin[bank] = touchedMin;
        mTouchedMax[bank] = touchedMax;
        FlushCoverage(pixelRow);
        touchedMin = INT_MAX;
        touchedMax = -1;
    };
    int pixelRow = INT_MIN;
    for (int r = 0; r < rows; ++r) {
        const int yf = r + mWindowFirst - mRowOffset;
        const int row = (penY + yf) >> 2;
        if (row != pixelRow) {
            if (pixelRow != INT_MIN)
                flush(pixelRow);
            pixelRow = row;
        }
        int* first = mCrossings.data() + mRowStart[r];
        const int count = mRowStart[r + 1] - mRowStart[r];
        if (count == 2) {
            // The usual row, through one stroke: filled between the two
            // crossings whether they are one shape's or one each of two.
            const int x1 = std::min(first[0], first[1]) >> 1, x2 = std::max(first[0], first[1]) >> 1;
            if (x2 > x1)
                addSpan(x1, x2);
            continue;
        }
        for (int i = 1; i < count; ++i) {
            const int moving = first[i];
            int j = i;
            for (; j > 0 && first[j - 1] > moving; --j)
                first[j] = first[j - 1];
            first[j] = moving;
        }
        // Each shape's parity; a run is filled while any shape is, and a row
        // ending inside a shape (an outline left open) fills to its last crossing.
        int inside = 0, start = 0;
        for (int i = 0; i < count; ++i) {
            const int x = first[i] >> 1, was = inside;
            inside ^= 1 << (first[i] & 1);
            if (!was)
                start = x;
            else if (!inside && x > start)
                addSpan(start, x);
        }
        if (inside && (first[count - 1] >> 1) > start)
            addSpan(start, first[count - 1] >> 1);
    }
    if (pixelRow != INT_MIN)
        flush(pixelRow);
}

void TQmMiniVecDraw::ScanConvertLayers(int penX, int penY)
{
    // Each sub-row's edges, linked newest first.
    for (size_t i = 0; i < mEdges.size(); ++i) {
        const int bucket = mEdges[i].firstRow + mRowOffset;
        mEdges[i].nextInBucket = mBuckets[bucket];
        mBuckets[bucket] = int(i);
    }
    const int phaseX = penX & 3;
    mActive.clear();
    int pixelRow = INT_MIN;
    for (int r = mWindowFirst; r < mWindowEnd; ++r) {
        const int yf = r - mRowOffset;
        const int row = (penY + yf) >> 2;
        if (row != pixelRow) {
            if (pixelRow != INT_MIN)
                FlushCoverage(pixelRow);
            pixelRow = row;
        }
        // Edges that ended leave; the rest step down one sub-row.
        size_t kept = 0;
        for (int index : mActive) {
            Edge& e = mEdges[index];
            if (e.endRow <= yf)
                continue;
            e.x += e.step;
            mActive[kept++] = index;
        }
        mActive.resize(kept);
        for (int index = mBuckets[r]; index >= 0; index = mEdges[index].nextInBucket) {
            Edge& e = mEdges[index];
            e.x = FirstCrossing(e, yf, phaseX);
            mActive.push_back(index);
        }
        mBuckets[r] = -1;
        // Insertion sort: the order barely changes from one sub-row to the next.
        for (size_t i = 1; i < mActive.size(); ++i) {
            int moving = mActive[i];
            size_t j = i;
            for (; j > 0 && mEdges[mActive[j - 1]].x > mEdges[moving].x; --j)
                mActive[j] = mActive[j - 1];
            mActive[j] = moving;
        }
        FillSubRow();
    }
    if (pixelRow != INT_MIN)
        FlushCoverage(pixelRow);
}

void TQmMiniVecDraw::FillSubRow()
{
    int fill[kMaxTag + 1] = {kNone, kNone, kNone, kNone};
    int winding[kStrokeTags] = {0, 0};
    int start = INT_MIN, end = INT_MIN;
    for (int index : mActive) {
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
            fill[e.tag] = fill[e.tag] == e.colour ? kNone : e.colour;  // even-odd
        }
        end = xi;
    }
    AddSpan(start, end);
}

void TQmMiniVecDraw::AddSpan(int x1, int x2)
{
    // [x1, x2) in quarter pixels from the glyph's pen pixel; clipped to the row.
    if (x1 == INT_MIN || x2 <= x1)
        return;
    const int s = std::clamp(x1 + kQuarterOrigin, 0, kSpanLength * 4 - 1);
    const int e = std::clamp(x2 + kQuarterOrigin, 0, kSpanLength * 4);
    if (e <= s)
        return;
    const int bank = BankOfSlot(mCurrentSlot);
    int16_t* delta = mDelta[bank].data();
    const int c1 = s >> 2, f1 = s & 3, c2 = e >> 2, f2 = e & 3;
    delta[c1] += int16_t(4 - f1);
    delta[c1 + 1] += int16_t(f1);
    delta[c2] += int16_t(f2 - 4);
    delta[c2 + 1] -= int16_t(f2);
    mTouchedMin[bank] = std::min(mTouchedMin[bank], c1);
    mTouchedMax[bank] = std::max(mTouchedMax[bank], c2 + 1);
}

void TQmMiniVecDraw::FlushCoverage(int pixelRow)
{
    const int relativeRow = pixelRow - mGlyphPixelY;
    for (int bank = 0; bank < kBankCount; ++bank) {
        if (mTouchedMin[bank] > mTouchedMax[bank])
            continue;
        // The glyph's box grows by the columns touched: a little wider than
        // the spans, never narrower.
        mBoxLeft = std::min(mBoxLeft, mTouchedMin[bank]);
        mBoxRight = std::max(mBoxRight, mTouchedMax[bank] + 1);
        mBoxTop = std::min(mBoxTop, relativeRow);
        mBoxBottom = std::max(mBoxBottom, relativeRow + 1);
        auto& delta = mDelta[bank];
        int sum = 0, previousLevel = 255, previousColumn = mTouchedMin[bank];
        for (int c = mTouchedMin[bank]; c <= mTouchedMax[bank]; ++c) {
            sum += delta[c];
            delta[c] = 0;
            // Coverage 1..16 samples is level 0..15; overlaps clamp at the table's end.
            const int level = sum <= 0 ? 255 : std::min(sum - 1, kLevels - 1);
            if (level != previousLevel) {
                if (previousLevel != 255)
                    mSpanStore.push_back({int16_t(previousColumn - kColumnOrigin), int16_t(c - kColumnOrigin),
                                          int16_t(relativeRow), uint8_t(previousLevel), uint8_t(bank)});
                previousColumn = c;
                previousLevel = level;
            }
        }
        mTouchedMin[bank] = INT_MAX;
        mTouchedMax[bank] = -1;
    }
}

void TQmMiniVecDraw::Replay(Spans spans, const SpanRange* box)
{
    if (!mTarget) {
        const float left = float(mOriginX + mGlyphPixelX);
        for (const SpanEntry& s : spans) {
            const float y = float(mOriginY + mGlyphPixelY + s.row) + mCalY;
            PushVertexPair(s.x1 + mCalX1 + left, s.x2 + mCalX2 + left, y, mBankColour[s.bank][s.level]);
        }
        return;
    }
    if (!mPixels)
        return;
    // Into a surface: each span clipped and blended, with what is the same
    // for the whole glyph worked out once.
    const long long left = (long long)mOriginX + mGlyphPixelX, top = (long long)mOriginY + mGlyphPixelY;
    const long long width = mSurfaceWidth, height = mSurfaceHeight;
    if (box && left + box->left >= 0 && left + box->right <= width && top + box->top >= 0 &&
        top + box->bottom <= height) {
        // The whole glyph on the surface: nothing to clip.
        const ptrdiff_t origin = ptrdiff_t(top) * mPitch + ptrdiff_t(left) * 4;
        for (const SpanEntry& s : spans)
            BlendRun(mPixels + (origin + ptrdiff_t(s.row) * mPitch + ptrdiff_t(s.x1) * 4), s.x2 - s.x1,
                     mBankBlend[s.bank][s.level]);
        return;
    }
    for (const SpanEntry& s : spans) {
        const long long y = top + s.row, x1 = left + s.x1, x2 = std::min(left + s.x2, width);
        if (y < 0 || y >= height || x1 >= width)
            continue;
        const long long from = std::max(x1, 0LL);
        BlendRun(mPixels + size_t(y) * mPitch + size_t(from) * 4, int(x2 - from), mBankBlend[s.bank][s.level]);
    }
}

// --- Glyph atlas -----------------------------------------------------------
//
// A cached glyph on the display is a few textured quads instead of one line
// a run: drivers that draw lines slowly (software ones) draw a quad about as
// fast as a sprite. Each texel holds exactly the colour its line would have
// had, and the quads are blended in the lines' order, so every pixel matches.

size_t TQmMiniVecDraw::AtlasKeyHash::operator()(const AtlasKey& k) const
{
    size_t h = CacheKeyHash()(k.glyph);
    for (uint32_t c : k.colours)
        h ^= c + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    return h;
}

void TQmMiniVecDraw::SetGlyphAtlasEnabled(bool on)
{
    Flush();
    mAtlasEnabled = on;
}

bool TQmMiniVecDraw::AtlasReady()
{
    if (!mAtlasEnabled || mAtlasUnavailable || mTarget || !mDisplay)
        return false;
    if (!mAtlas) {
        mAtlas = mDisplay->CreateGlyphAtlas(kAtlasSize, kAtlasSize);
        if (!mAtlas) {
            mAtlasUnavailable = true;
            return false;
        }
        mAtlasVertices.reserve(kAtlasVertexCapacity);
    }
    return true;
}

bool TQmMiniVecDraw::DrawFromAtlas(const CacheKey& key, const unsigned char* outline, int x, int y)
{
    // Level 15 is the bank's colour at full alpha: it tells colours apart.
    AtlasKey atlasKey{key, {}};
    for (int bank = 0; bank < kBankCount; ++bank)
        atlasKey.colours[bank] = mBankColour[bank][15].Word();
    auto hit = mAtlasEntries.find(atlasKey);
    if (hit != mAtlasEntries.end()) {
        PushAtlasQuads(hit->second);
        return true;
    }
    // Only a glyph new to the atlas needs its spans (from the cache, or made now).
    const Spans spans = CachedSpans(key, outline, x, y);
    AtlasEntry entry;
    if (!AddToAtlas(spans, &entry)) {
        if (!mAtlas || mAtlasUnavailable)
            return false;
        ResetAtlas();
        if (!AddToAtlas(spans, &entry))
            return false;  // larger than the whole atlas
    }
    PushAtlasQuads(mAtlasEntries.emplace(atlasKey, entry).first->second);
    return true;
}

bool TQmMiniVecDraw::AddToAtlas(Spans spans, AtlasEntry* entry)
{
    if (!mAtlasPixels) {
        int width = 0, height = 0;
        if (!mAtlas->Lock(&mAtlasPixels, &width, &height, &mAtlasPitch) || width < kAtlasSize ||
            height < kAtlasSize) {
            if (mAtlasPixels)
                mAtlas->Unlock();
            mAtlasPixels = nullptr;
            mAtlasUnavailable = true;  // glyphs stay lines
            return false;
        }
    }
    entry->count = 0;
    for (int bank = 0; bank < kBankCount; ++bank) {
        int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
        for (const SpanEntry& s : spans) {
            if (s.bank != bank)
                continue;
            left = std::min(left, int(s.x1));
            right = std::max(right, int(s.x2));
            top = std::min(top, int(s.row));
            bottom = std::max(bottom, s.row + 1);
        }
        if (left >= right)
            continue;
        AtlasLayer layer{0, 0, int16_t(left), int16_t(top), int16_t(right - left), int16_t(bottom - top)};
        int x = 0, y = 0;
        if (!AllocateAtlas(layer.width, layer.height, &x, &y))
            return false;
        layer.atlasX = int16_t(x);
        layer.atlasY = int16_t(y);
        for (int row = 0; row < layer.height; ++row)
            std::memset(mAtlasPixels + size_t(y + row) * mAtlasPitch + size_t(x) * 4, 0, size_t(layer.width) * 4);
        for (const SpanEntry& s : spans) {
            if (s.bank != bank)
                continue;
            const TColor32 c = mBankColour[bank][s.level];
            unsigned char* p = mAtlasPixels + size_t(y + s.row - top) * mAtlasPitch + size_t(x + s.x1 - left) * 4;
            for (int column = s.x1; column < s.x2; ++column, p += 4) {
                p[0] = c.Blue();
                p[1] = c.Green();
                p[2] = c.Red();
                p[3] = c.Alpha();
            }
        }
        entry->layers[entry->count++] = layer;
    }
    return true;
}

bool TQmMiniVecDraw::AllocateAtlas(int width, int height, int* x, int* y)
{
    // Shelves of glyph rectangles, a texel apart; a glyph too large for the
    // atlas stays lines. A full atlas is drawn, emptied and filled again.
    if (width + 1 > kAtlasSize || height + 1 > kAtlasSize)
        return false;
    if (mShelfX + width + 1 > kAtlasSize) {
        mShelfY += mShelfHeight;
        mShelfX = 0;
        mShelfHeight = 0;
    }
    if (mShelfY + height + 1 > kAtlasSize)
        return false;
    *x = mShelfX;
    *y = mShelfY;
    mShelfX += width + 1;
    mShelfHeight = std::max(mShelfHeight, height + 1);
    return true;
}

void TQmMiniVecDraw::ResetAtlas()
{
    FlushAtlasQuads();
    mAtlasEntries.clear();
    mShelfX = mShelfY = mShelfHeight = 0;
}

void TQmMiniVecDraw::PushAtlasQuads(const AtlasEntry& entry)
{
    if (mVertexCount > 0) {
        // The lines queued before this glyph go first.
        const int lines = mVertexCount;
        mVertexCount = 0;
        if (mDisplay)
            mDisplay->DrawLines(mVertices.data(), lines);
    }
    if (mAtlasVertices.size() + size_t(6 * entry.count) > size_t(kAtlasVertexCapacity))
        FlushAtlasQuads();
    const float left = float(mOriginX + mGlyphPixelX), top = float(mOriginY + mGlyphPixelY);
    constexpr float kTexel = 1.0f / kAtlasSize;
    // Every vertex alike but for position and texel: one made, copied and placed.
    TSpanVertex v{};
    v.z = 0.1f;
    v.rhw = 0.5f;
    v.color = TColor32(255, 255, 255, 255);
    const size_t start = mAtlasVertices.size();
    mAtlasVertices.resize(start + size_t(6 * entry.count), v);
    TSpanVertex* out = mAtlasVertices.data() + start;
    for (int i = 0; i < entry.count; ++i) {
        const AtlasLayer& l = entry.layers[i];
        const float x1 = left + l.column, x2 = x1 + l.width, y1 = top + l.row, y2 = y1 + l.height;
        const float u1 = l.atlasX * kTexel, u2 = (l.atlasX + l.width) * kTexel;
        const float v1 = l.atlasY * kTexel, v2 = (l.atlasY + l.height) * kTexel;
        const float corners[6][4] = {{x1, y1, u1, v1}, {x2, y1, u2, v1}, {x2, y2, u2, v2},
                                     {x1, y1, u1, v1}, {x2, y2, u2, v2}, {x1, y2, u1, v2}};
        for (const auto& c : corners) {
            out->x = c[0];
            out->y = c[1];
            out->u = c[2];
            out->v = c[3];
            ++out;
        }
    }
}

void TQmMiniVecDraw::FlushAtlasQuads()
{
    if (mAtlasPixels) {
        mAtlas->Unlock();  // uploads the glyphs added since the last draw
        mAtlasPixels = nullptr;
    }
    if (mAtlasVertices.empty())
        return;
    mDisplay->DrawGlyphQuads(mAtlas.get(), mAtlasVertices.data(), int(mAtlasVertices.size()));
    mAtlasVertices.clear();
}

// --- Calibration -----------------------------------------------------------

void TQmMiniVecDraw::CalibrationSpan(int pixel, int row, const TColor32* partial)
{
    if (mVertexCount + 6 > mVertexCapacity)
        Flush();
    // A span from quarter 0 to quarter 3 of the pixel: partial colour 3.
    PushVertexPair(pixel + mCalX1, pixel + 1 + mCalX2, row + mCalY, partial[3]);
}

// The candidates: every combination of start offset x1 and end offset x2
// (-1 to +0.75 in quarters) and row offset y (0 to 0.75). Drivers differ in
// which pixels a line touching a pixel's diamond lights, and some decide by
// position, so each candidate is drawn at several places and must light
// exactly its pixels at all of them.
namespace {

constexpr int kCandidates = 256;
constexpr int kPlaces = 4;
constexpr int kCellsAcross = kCalibrationWidth / 4;

struct TCandidate {
    float x1, x2, y;
};

TCandidate Candidate(int i)
{
    return TCandidate{((i % 64) / 8) * 0.25f - 1, (i % 8) * 0.25f - 1, (i / 64) * 0.25f};
}

// Each candidate owns a cell of 4 x 4 pixels at every place.
void CellOrigin(int candidate, int place, int* x, int* y)
{
    const int cell = candidate + place * kCandidates;
    *x = 4 * (cell % kCellsAcross);
    *y = 4 * (cell / kCellsAcross);
}

}  // namespace

bool TQmMiniVecDraw::CalibrationPass(int* blanks)
{
    WriteDbg("TEXT CALIBRATION pass 0");
    if (!mDisplay)
        return false;
    std::shared_ptr<TSpanTarget> target = mDisplay->CreateRenderTarget(kCalibrationWidth, kCalibrationHeight);
    if (!target) {
        WriteDbg("TEXT CALIBRATION: no render target");
        return false;
    }
    mDisplay->FillRect(0, 0, kCalibrationWidth, kCalibrationHeight, TColor{0, 0, 0, 1}, target.get());
    if (!mDisplay->BeginRenderTarget(target.get())) {
        WriteDbg("TEXT CALIBRATION: cannot draw into the render target");
        return false;
    }
    mDisplay->Begin2d();
    SetColor(0, TColor{1, 1, 1, 1}, 1.0f);
    Start(0, 0, nullptr);
    for (int i = 0; i < kCandidates; ++i) {
        const TCandidate c = Candidate(i);
        mCalX1 = c.x1;
        mCalX2 = c.x2;
        mCalY = c.y;
        for (int place = 0; place < kPlaces; ++place) {
            int x, y;
            CellOrigin(i, place, &x, &y);
            CalibrationSpan(x + 1, y + 1, mPartial[0].data());
            CalibrationSpan(x + 2, y + 2, mPartial[0].data());
        }
    }
    Stop();
    mDisplay->End2d();
    mDisplay->EndRenderTarget();
    WriteDbg("TEXT CALIBRATION pass 1");

    unsigned char* pixels = nullptr;
    int width = 0, height = 0, pitch = 0;
    if (!target->Lock(&pixels, &width, &height, &pitch)) {
        WriteDbg("TEXT CALIBRATION: cannot read the render target");
        return false;
    }
    auto rgb = [&](int x, int y) -> uint32_t {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        const unsigned char* p = pixels + size_t(y) * pitch + size_t(x) * 4;
        return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    };
    int best = -1;
    uint32_t bestScore = 0;
    for (int i = 0; i < kCandidates; ++i) {
        const TCandidate c = Candidate(i);
        bool passes = true, blank = true;
        uint32_t score = 0;
        for (int place = 0; place < kPlaces; ++place) {
            int x, y;
            CellOrigin(i, place, &x, &y);
            // The two intended pixels, (1, 1) and (2, 2) of the cell, and their neighbours.
            const uint32_t v[8] = {rgb(x, y + 1),     rgb(x + 1, y + 1), rgb(x + 2, y + 1), rgb(x + 1, y),
                                   rgb(x + 1, y + 2), rgb(x + 2, y + 2), rgb(x + 3, y + 2), rgb(x + 2, y + 3)};
            if (place == 0)
                WriteDbg("TEXT CALIBRATION PIXELS x1: %f x2: %f y: %f: %08x %08x %08x %08x %08x %08x %08x %08x", c.x1,
                         c.x2, c.y, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
            bool exact = v[1] && v[5];
            for (int k : {0, 2, 3, 4, 6, 7})
                exact = exact && !v[k];
            passes = passes && exact;
            score += v[1] + v[5];
            blank = blank && std::all_of(std::begin(v), std::end(v), [](uint32_t p) { return p == 0; });
        }
        // A line shorter than half a pixel (or running backwards) may light the
        // right pixel for a one-pixel span but not for longer ones.
        if (1 + c.x2 - c.x1 < 0.5f)
            passes = false;
        if (passes) {
            WriteDbg("TEXT CALIBRATION SUCCESS: %f %f %f", c.x1, c.x2, c.y);
            if (score > bestScore) {
                bestScore = score;
                best = i;
            }
        }
        if (blank)
            ++*blanks;
    }
    target->Unlock();
    if (best < 0)
        return false;
    const TCandidate c = Candidate(best);
    mCalX1 = c.x1;
    mCalX2 = c.x2;
    mCalY = c.y;
    return true;
}

void TQmMiniVecDraw::Calibrate()
{
    for (;;) {
        int blanks = 0;
        mCalibrated = CalibrationPass(&blanks);
        if (mCalibrated)
            return;
        // Offsets that suit most drivers when nothing could be measured.
        mCalX1 = -0.75f;
        mCalX2 = -0.75f;
        mCalY = 0.25f;
        if (blanks * 128 < 76 * kCandidates || mVertexCapacity == 64)
            return;
        // Many blank candidates hint at a driver that drops long vertex batches.
        mVertexCapacity = 64;
        WriteDbg("TEXT CALIBRATION FAILURE: LOWERING VERT BUFFER TO %d", 64);
    }
}
