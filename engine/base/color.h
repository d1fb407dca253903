// Colours: TColor holds four floats (nominally 0..1); TColor32 is one packed
// 32-bit word whose bytes in memory order are red, green, blue, alpha.
#pragma once

#include <cstdint>

struct TColor {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

class TColor32 {
public:
    TColor32() = default;
    TColor32(unsigned char r, unsigned char g, unsigned char b, unsigned char a) : mBytes{r, g, b, a} {}
    // The word as it lies in memory (on this little-endian machine:
    // alpha << 24 | blue << 16 | green << 8 | red).
    TColor32(unsigned long word);
    // Each channel x 255, truncated toward zero and limited to 0..255.
    TColor32(const TColor& color);

    unsigned char Red() const { return mBytes[0]; }
    unsigned char Green() const { return mBytes[1]; }
    unsigned char Blue() const { return mBytes[2]; }
    unsigned char Alpha() const { return mBytes[3]; }
    void SetAlpha(unsigned char a) { mBytes[3] = a; }

    // The four bytes read as one native word.
    std::uint32_t Word() const;

    bool operator==(const TColor32& o) const { return Word() == o.Word(); }

private:
    unsigned char mBytes[4] = {0, 0, 0, 0};
};

static_assert(sizeof(TColor32) == 4, "TColor32 is one packed word");
