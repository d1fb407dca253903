// A ".mvec" vector font held in memory: a sorted glyph table and one outline
// stream per glyph (the format is described in README.md). All file values
// are in 1/128 of a font unit; the y axis points down and the baseline is 0.
//
// The loader trusts nothing in the file: every record and outline stream is
// checked against the buffer's size before it is used, and a glyph whose
// outline would read past the end (or holds an unknown opcode) is left out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TMvecFont {
public:
    // The share of a line that ascent + descent fill; 15 % above, 5 % below.
    static constexpr float kTopShare = 0.15f;
    static constexpr float kBottomShare = 0.05f;

    // Takes the whole file. An empty buffer makes a font with no glyphs.
    TMvecFont(std::unique_ptr<unsigned char[]> data, size_t size);
    // Copies the bytes (the built-in font, test fixtures).
    static std::unique_ptr<TMvecFont> FromBytes(const unsigned char* bytes, size_t size);

    int GetGlyphCount() const { return static_cast<int>(mCodes.size()); }
    // What the file held that could not be used, for its loader to report:
    // whether it began with the format's header, and how many of its glyphs
    // were left out (outline past the end of the file or malformed).
    bool HasHeader() const { return mHasHeader; }
    int GetDamagedGlyphCount() const { return mDamagedGlyphs; }
    // Index of the glyph for a code point, or -1.
    int GetGlyphIndex(unsigned long code) const;
    // The glyph's outline stream (always ends in opcode 8), or null for a bad index.
    const unsigned char* GetGlyphData(int index) const;
    float GetGlyphAdvance(int index) const { return Field(index, kAdvance); }
    float GetGlyphMinX(int index) const { return Field(index, kMinX); }
    float GetGlyphMaxX(int index) const { return Field(index, kMaxX); }
    float GetGlyphTop(int index) const { return Field(index, kTop); }
    float GetGlyphBottom(int index) const { return Field(index, kBottom); }
    float GetGlyphScaleY(int index) const;
    unsigned long GetGlyphCode(int index) const;

    float GetAscent() const { return mAscent; }
    float GetDescent() const { return mDescent; }
    float GetLinePercent() const { return 1.0f - kTopShare - kBottomShare; }
    float GetLeading(bool top) const;
    bool GetForceBold() const { return false; }
    float GetBoldScale() const { return 1.0f; }

    // Length in bytes of a well-formed outline stream starting at data, opcode 8
    // included; 0 when it holds an unknown opcode or runs past `size` bytes.
    static size_t OutlineLength(const unsigned char* data, size_t size);

private:
    enum Field { kMinX = 4, kMaxX = 6, kTop = 8, kBottom = 10, kAdvance = 12 };
    static constexpr size_t kHeaderSize = 12;
    static constexpr size_t kRecordSize = 18;

    void Parse();
    const unsigned char* Record(int index) const;
    float Field(int index, int offset) const;
    float RawField(int index, int offset) const;

    std::unique_ptr<unsigned char[]> mData;
    size_t mSize = 0;
    // Only the usable glyphs, sorted by code: code and record number in the file.
    std::vector<unsigned long> mCodes;
    std::vector<uint32_t> mRecords;
    std::vector<float> mScaleY;
    float mAscent = 0;
    float mDescent = 0;
    bool mHasHeader = false;
    int mDamagedGlyphs = 0;
};
