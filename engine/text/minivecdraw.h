// TQmMiniVecDraw: the anti-aliasing span rasteriser behind every glyph.
//
// An outline (see mvecfont.h) is walked into straight edges, scaled, slanted
// for italic and rotated, then scan-converted at 4 x 4 samples a pixel: each
// sub-row's spans add quarter-pixel coverage deltas into one of four colour
// banks, and every finished pixel row becomes runs of constant coverage, sent
// as line primitives (two vertices a run) or blended into a locked surface.
// The runs of each glyph are cached, keyed by outline, sub-pixel phase and
// transform but not colour, so repeated glyphs are a lookup and a replay.
#pragma once

#include "engine/text/text_display.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

class TQmMiniVecDraw {
public:
    static constexpr int kSlotCount = 256;
    static constexpr int kBankCount = 4;
    static constexpr int kLevels = 32;
    static constexpr int kSpanLength = 3200;       // pixel columns a row can hold
    static constexpr int kColumnOrigin = 1600;     // column of the glyph's pen pixel
    static constexpr size_t kMaxCachedSpans = 1u << 18;  // about 12,000 glyphs; the whole cache is dropped beyond
    static constexpr size_t kFirstSpans = 1u << 15;      // room kept from the start

    explicit TQmMiniVecDraw(TTextDisplay* display = nullptr);
    virtual ~TQmMiniVecDraw();
    TQmMiniVecDraw(const TQmMiniVecDraw&) = delete;
    TQmMiniVecDraw& operator=(const TQmMiniVecDraw&) = delete;

    // Colour of a slot: slot 1 fills glyphs, 255 and 254 the strokes.
    void SetColor(int slot, const TColor& colour, float opacity);
    // Opens a batch at origin (x, y) pixels into target (empty: the display).
    bool Start(float x, float y, std::shared_ptr<TSpanTarget> target);
    // Draws one outline with its pen at (x, y) quarter pixels from the origin.
    // `cache` false draws without recording (outlines that live only briefly).
    void Draw(const unsigned char* outline, int x, int y, bool cache = true);
    void Flush();
    void Stop();
    // Finds the sub-pixel offsets at which the display lights a line's pixels.
    void Calibrate();

    // The transform of the next Draw; clients set these directly.
    float mScaleX = 1, mScaleY = 1;
    float mRotationCos = 1, mRotationSin = 0;
    float mStrokeWidth[2] = {0, 0};  // pixels
    bool mItalic = false;

    // For tests and diagnostics.
    int GetVertexCapacity() const { return mVertexCapacity; }
    float GetCalibrationX1() const { return mCalX1; }
    float GetCalibrationX2() const { return mCalX2; }
    float GetCalibrationY() const { return mCalY; }
    // True when the last Calibrate found offsets that light exactly the span's pixels.
    bool IsCalibrated() const { return mCalibrated; }
    size_t GetCachedGlyphCount() const { return mCache.size(); }
    size_t GetCachedSpanCount() const { return mCachedSpans; }
    // Cached glyphs on the display come from the glyph atlas when the display
    // has one; off, they are drawn as lines like uncached ones.
    void SetGlyphAtlasEnabled(bool on);
    size_t GetAtlasGlyphCount() const { return mAtlasEntries.size(); }

private:
    // One colour's blend over B, G, R, A pixels, worked out beforehand: its
    // alpha, 255 - alpha, blue and red (16-bit lanes) and green times alpha,
    // and the colour's own bytes for full alpha.
    struct TBlend {
        uint32_t alpha, inverse, redBlue, green, rgb;
    };
    static TBlend BlendOf(TColor32 colour);
    static void BlendRun(unsigned char* pixels, int count, const TBlend& blend);

    static constexpr int kNone = 0;
    static constexpr int kStrokeTags = 2;
    static constexpr int kMaxTag = 3;
    static constexpr int kMaxStoredCrossings = 1 << 18;

    struct Edge {
        float x1, y1, x2, y2;
        float x, step;
        int firstRow, endRow;  // sub-rows sampled: firstRow <= r < endRow
        int nextInBucket;
        uint8_t colour;        // fill slot; for strokes 1 when reversed to point down
        uint8_t tag;           // 0, 1 stroke slot; 2 and up shape number
    };
    struct SpanEntry {
        int16_t x1, x2, row;
        uint8_t level, bank;
    };
    struct CacheKey {
        const unsigned char* outline;
        int phaseX, phaseY;
        float scaleX, scaleY, stroke0, stroke1, cos, sin;
        bool italic;
        bool operator==(const CacheKey&) const = default;
    };
    struct CacheKeyHash {
        size_t operator()(const CacheKey& k) const;
    };
    // A cached glyph's spans: a stretch of the one span store, so caching a
    // glyph costs no allocation of its own.
    struct SpanRange {
        uint32_t first = 0, count = 0;
        // The box the spans light, from the glyph's pen pixel: columns
        // [left, right), rows [top, bottom).
        int16_t left = 0, right = 0, top = 0, bottom = 0;
    };
    using Spans = std::span<const SpanEntry>;
    struct Point {
        float x, y;
    };
    // A glyph in the atlas keeps one rectangle per colour bank it lights,
    // drawn in bank order as lines would be; its texels hold the colours.
    struct AtlasKey {
        CacheKey glyph;
        std::array<uint32_t, kBankCount> colours;
        bool operator==(const AtlasKey&) const = default;
    };
    struct AtlasKeyHash {
        size_t operator()(const AtlasKey& k) const;
    };
    struct AtlasLayer {
        int16_t atlasX, atlasY, column, row, width, height;
    };
    struct AtlasEntry {
        std::array<AtlasLayer, kBankCount> layers;
        int count = 0;
    };

    // Outline walk and edges.
    void WalkOutline(const unsigned char* outline);
    void AddSegment(Point a, Point b, int fill1, int fill2, int shape);
    void AddEdge(Point a, Point b, int colour, int tag);
    void AddStroke(Point a, Point b, int slot);
    // Scan conversion.
    void ScanConvert(int penX, int penY);
    void ScanConvertOneFill(int penX, int penY);
    void ScanConvertLayers(int penX, int penY);
    static float FirstCrossing(const Edge& e, int yf, int phaseX);
    void FillSubRow();
    void AddSpan(int x1, int x2);
    void FlushCoverage(int pixelRow);
    void Replay(Spans spans, const SpanRange* box = nullptr);
    Spans SpansOf(SpanRange range) const { return Spans(mSpanStore.data() + range.first, range.count); }
    Spans CachedSpans(const CacheKey& key, const unsigned char* outline, int x, int y);
    SpanRange& StartRecording(const CacheKey& key);
    void StopRecording(SpanRange& range);
    bool PrepareScan(const unsigned char* outline);
    // Glyph atlas.
    bool AtlasReady();
    bool DrawFromAtlas(const CacheKey& key, const unsigned char* outline, int x, int y);
    bool AddToAtlas(Spans spans, AtlasEntry* entry);
    bool AllocateAtlas(int width, int height, int* x, int* y);
    void PushAtlasQuads(const AtlasEntry& entry);
    void FlushAtlasQuads();
    void ResetAtlas();
    // Output.
    void PushVertexPair(float x1, float x2, float y, TColor32 colour);
    int BankOfSlot(int slot) const;
    // Calibration.
    bool CalibrationPass(int* blanks);
    void CalibrationSpan(int pixel, int row, const TColor32* partial);

    TTextDisplay* mDisplay;

    int mVertexCapacity = 256;
    std::vector<TSpanVertex> mVertices;
    int mVertexCount = 0;

    std::array<std::array<TColor32, 4>, kSlotCount> mPartial{};
    std::array<std::array<TColor32, kLevels>, kBankCount> mBankColour{};
    std::array<std::array<TBlend, kLevels>, kBankCount> mBankBlend{};

    std::vector<Edge> mEdges;
    std::vector<int> mBuckets;  // first edge of each sub-row, -1 for none
    std::vector<int> mActive;
    bool mOneFill = true;        // every edge fills one colour even-odd (no strokes, shapes 2 and 3)
    std::vector<int> mRowStart;  // one-fill scan: where each sub-row's crossings begin
    std::vector<int> mRowFill;
    std::vector<int> mCrossings;
    int mScanCount = 0, mRowOffset = 0;
    int mWindowFirst = 0, mWindowEnd = 0;

    int mOriginX = 0, mOriginY = 0;
    int mGlyphPixelX = 0, mGlyphPixelY = 0;

    std::array<std::vector<int16_t>, kBankCount> mDelta;
    std::array<int, kBankCount> mTouchedMin{}, mTouchedMax{};
    int mBoxLeft = 0, mBoxRight = 0, mBoxTop = 0, mBoxBottom = 0;  // the glyph being made: columns and rows
    int mCurrentSlot = 1;
    bool mSlotZeroClear = false;  // slot 0 (and its bank) transparent since the last SetColor

    std::unordered_map<CacheKey, SpanRange, CacheKeyHash> mCache;
    std::vector<SpanEntry> mSpanStore;
    size_t mCachedSpans = 0;

    float mCalX1 = 0.25f, mCalX2 = 0.25f, mCalY = 0.25f;
    bool mCalibrated = false;

    static constexpr int kAtlasSize = 512;                 // no wider than the display
    static constexpr int kAtlasVertexCapacity = 6 * 2048;  // quads kept before a draw
    bool mAtlasEnabled = true, mAtlasUnavailable = false;
    std::shared_ptr<TSpanTarget> mAtlas;
    unsigned char* mAtlasPixels = nullptr;  // while locked for new glyphs
    int mAtlasPitch = 0;
    int mShelfX = 0, mShelfY = 0, mShelfHeight = 0;
    std::unordered_map<AtlasKey, AtlasEntry, AtlasKeyHash> mAtlasEntries;
    std::vector<TSpanVertex> mAtlasVertices;

    std::shared_ptr<TSpanTarget> mTarget;
    unsigned char* mPixels = nullptr;
    int mSurfaceWidth = 0, mSurfaceHeight = 0, mPitch = 0;
};
