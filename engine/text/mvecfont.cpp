#include "engine/text/mvecfont.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int16_t ReadS16(const unsigned char* p) { return static_cast<int16_t>(ReadU16(p)); }
uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Bytes each opcode occupies, opcode included; 0 for bytes outside the format.
size_t CommandLength(unsigned char op)
{
    static constexpr size_t kLengths[9] = {0, 1, 2, 2, 5, 5, 9, 4, 1};
    return op < 9 ? kLengths[op] : 0;
}

}  // namespace

TMvecFont::TMvecFont(std::unique_ptr<unsigned char[]> data, size_t size) : mData(std::move(data)), mSize(size)
{
    if (!mData)
        mSize = 0;
    Parse();
}

std::unique_ptr<TMvecFont> TMvecFont::FromBytes(const unsigned char* bytes, size_t size)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[size ? size : 1]);
    if (size)
        std::memcpy(copy.get(), bytes, size);
    return std::make_unique<TMvecFont>(std::move(copy), size);
}

size_t TMvecFont::OutlineLength(const unsigned char* data, size_t size)
{
    size_t at = 0;
    while (at < size) {
        size_t length = CommandLength(data[at]);
        if (length == 0 || at + length > size)
            return 0;
        if (data[at] == 8)
            return at + 1;
        at += length;
    }
    return 0;
}

void TMvecFont::Parse()
{
    if (mSize == 0)
        return;
    mHasHeader = mSize >= kHeaderSize && std::memcmp(mData.get(), "MVC4", 4) == 0;
    if (!mHasHeader)
        return;

    // A table that claims more records than the file holds is cut to what is there.
    size_t count = ReadU16(mData.get() + 4);
    count = std::min(count, (mSize - kHeaderSize) / kRecordSize);

    std::vector<uint32_t> usable;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* record = mData.get() + kHeaderSize + i * kRecordSize;
        uint32_t offset = ReadU32(record + 14);
        if (offset >= mSize || OutlineLength(mData.get() + offset, mSize - offset) == 0) {
            ++mDamagedGlyphs;  // left out; the loader names the file once
            continue;
        }
        usable.push_back(i);
    }
    // The search needs ascending unique codes; a careless file is put in order
    // (the first record of a code wins).
    std::stable_sort(usable.begin(), usable.end(), [&](uint32_t a, uint32_t b) {
        return ReadU32(mData.get() + kHeaderSize + a * kRecordSize) < ReadU32(mData.get() + kHeaderSize + b * kRecordSize);
    });
    for (uint32_t record : usable) {
        unsigned long code = ReadU32(mData.get() + kHeaderSize + record * kRecordSize);
        if (!mCodes.empty() && mCodes.back() == code)
            continue;
        mCodes.push_back(code);
        mRecords.push_back(record);
    }

    // Ascent: the height of 'W'. A font without one takes its tallest ASCII glyph.
    int w = GetGlyphIndex('W');
    if (w >= 0) {
        mAscent = -RawField(w, kTop);
    } else {
        for (int i = 0; i < GetGlyphCount() && mCodes[i] < 128; ++i)
            mAscent = std::max(mAscent, -RawField(i, kTop));
    }
    // Descent: the lowest ASCII glyph, leaving out the underscore, which sits
    // lower than any letter and would open the lines up.
    for (int i = 0; i < GetGlyphCount() && mCodes[i] < 128; ++i)
        if (mCodes[i] != '_')
            mDescent = std::max(mDescent, RawField(i, kBottom));

    const float above = mAscent + GetLeading(true);
    const float below = mDescent + GetLeading(false);
    mScaleY.assign(mCodes.size(), 1.0f);
    for (size_t i = 0; i < mCodes.size(); ++i) {
        float t = above > 0 ? -RawField(int(i), kTop) / above : 0;
        float b = below > 0 ? RawField(int(i), kBottom) / below : 0;
        if (t > 1 || b > 1)
            mScaleY[i] = 1.0f / std::max(t, b);
    }
}

int TMvecFont::GetGlyphIndex(unsigned long code) const
{
    int lo = 0, hi = GetGlyphCount() - 1;
    while (lo <= hi) {
        int probe = (lo + hi) / 2;
        if (mCodes[probe] == code)
            return probe;
        if (mCodes[probe] < code)
            lo = probe + 1;
        else
            hi = probe - 1;
    }
    return -1;
}

const unsigned char* TMvecFont::Record(int index) const
{
    if (index < 0 || index >= GetGlyphCount())
        return nullptr;
    return mData.get() + kHeaderSize + size_t(mRecords[index]) * kRecordSize;
}

const unsigned char* TMvecFont::GetGlyphData(int index) const
{
    const unsigned char* record = Record(index);
    return record ? mData.get() + ReadU32(record + 14) : nullptr;
}

float TMvecFont::RawField(int index, int offset) const { return ReadS16(Record(index) + offset) / 128.0f; }

float TMvecFont::Field(int index, int offset) const { return Record(index) ? RawField(index, offset) : 0.0f; }

float TMvecFont::GetGlyphScaleY(int index) const
{
    return index >= 0 && index < GetGlyphCount() ? mScaleY[index] : 1.0f;
}

unsigned long TMvecFont::GetGlyphCode(int index) const
{
    return index >= 0 && index < GetGlyphCount() ? mCodes[index] : 0;
}

float TMvecFont::GetLeading(bool top) const
{
    const float total = (mAscent + mDescent) * 0.2f / GetLinePercent();
    return (top ? kTopShare : kBottomShare) * total / 0.2f;
}
