// What the movie tests share: the colours of the movies they make and a
// lossy-codec comparison of a picture's pixel with one of them.
#pragma once

#include "tools/moviegen/moviegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace movietest {

// Frame i of a test movie is kColours[i % 4].
inline const std::vector<TRgb> kColours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// Close when every channel of the B, G, R pixel is within the codec's loss.
inline ::testing::AssertionResult Near(const std::uint8_t* bgra, TRgb want)
{
    const int d = std::max({std::abs(bgra[2] - want.r), std::abs(bgra[1] - want.g), std::abs(bgra[0] - want.b)});
    if (d <= 16)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << int(bgra[2]) << "," << int(bgra[1]) << "," << int(bgra[0])
                                         << " want " << int(want.r) << "," << int(want.g) << "," << int(want.b);
}

}  // namespace movietest
