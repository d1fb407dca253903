#include "engine/base/color.h"

#include <cstring>

namespace {

unsigned char channelByte(float v)
{
    float scaled = v * 255.0f;
    // Also catches NaN, which compares false both ways.
    if (!(scaled > 0))
        return 0;
    if (scaled >= 255)
        return 255;
    return static_cast<unsigned char>(scaled);
}

}  // namespace

TColor32::TColor32(unsigned long word)
{
    std::uint32_t value = static_cast<std::uint32_t>(word);
    std::memcpy(mBytes, &value, sizeof value);
}

TColor32::TColor32(const TColor& color)
    : mBytes{channelByte(color.r), channelByte(color.g), channelByte(color.b), channelByte(color.a)}
{
}

std::uint32_t TColor32::Word() const
{
    std::uint32_t value;
    std::memcpy(&value, mBytes, sizeof value);
    return value;
}
