// Writes outline streams for tests, in font units (the format's 1/128 units
// are applied here).
#pragma once

#include <cstdint>
#include <vector>

class OutlineBuilder {
public:
    OutlineBuilder& NewShape() { return Op(1); }
    OutlineBuilder& Fill(int n) { return Op(2).Byte(n); }
    OutlineBuilder& Move(float x, float y) { return Op(4).Coord(x).Coord(y); }
    OutlineBuilder& Line(float x, float y) { return Op(5).Coord(x).Coord(y); }
    OutlineBuilder& Curve(float cx, float cy, float x, float y) { return Op(6).Coord(cx).Coord(cy).Coord(x).Coord(y); }
    OutlineBuilder& Colour(int r, int g, int b) { return Op(7).Byte(r).Byte(g).Byte(b); }
    OutlineBuilder& Rect(float x1, float y1, float x2, float y2)
    {
        return Move(x1, y1).Line(x2, y1).Line(x2, y2).Line(x1, y2).Line(x1, y1);
    }
    OutlineBuilder& End() { return Op(8); }
    OutlineBuilder& Byte(int b)
    {
        mBytes.push_back(uint8_t(b));
        return *this;
    }
    const unsigned char* Data() const { return mBytes.data(); }
    std::vector<uint8_t>& Bytes() { return mBytes; }

private:
    OutlineBuilder& Op(int op) { return Byte(op); }
    OutlineBuilder& Coord(float v)
    {
        int16_t i = int16_t(v * 128);
        Byte(uint16_t(i) & 0xff);
        return Byte(uint16_t(i) >> 8);
    }
    std::vector<uint8_t> mBytes;
};
