// Builds small ".mvec" files in memory for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

struct TestGlyph {
    uint32_t code;
    int16_t minX, maxX, top, bottom, advance;  // font units x 128
    std::vector<uint8_t> outline;
};

inline std::vector<uint8_t> WriteMvec(const std::vector<TestGlyph>& glyphs, const char* magic = "MVC4")
{
    std::vector<uint8_t> file(magic, magic + 4);
    auto put16 = [&](int v) {
        file.push_back(uint8_t(v & 0xff));
        file.push_back(uint8_t((v >> 8) & 0xff));
    };
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(v >> (8 * i)));
    };
    put16(int(glyphs.size()));
    file.resize(12, 0);
    uint32_t offset = uint32_t(12 + 18 * glyphs.size());
    for (const TestGlyph& g : glyphs) {
        put32(g.code);
        for (int v : {g.minX, g.maxX, g.top, g.bottom, g.advance})
            put16(v);
        put32(offset);
        offset += uint32_t(g.outline.size());
    }
    for (const TestGlyph& g : glyphs)
        file.insert(file.end(), g.outline.begin(), g.outline.end());
    return file;
}
