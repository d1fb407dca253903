#include "engine/base/base64.h"

#include <array>
#include <cstddef>
#include <vector>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kFill = 64;
constexpr unsigned char kInvalid = 255;

constexpr std::array<unsigned char, 128> makeDecodeTable()
{
    std::array<unsigned char, 128> table{};
    for (auto& entry : table)
        entry = kInvalid;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    table['='] = kFill;
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();

// Bytes 128-255 lie outside the table: they are invalid characters like any other.
unsigned char decodeChar(unsigned char c)
{
    return c < kDecodeTable.size() ? kDecodeTable[c] : kInvalid;
}

}  // namespace

unsigned long Base64EncodeGetLength(unsigned long n)
{
    return (n + 2) / 3 * 4;
}

unsigned long Base64DecodeGetLength(unsigned long n)
{
    return (n + 3) / 4 * 3;
}

unsigned long Base64Encode(void* dst, const void* src, unsigned long n)
{
    auto* out = static_cast<char*>(dst);
    const auto* in = static_cast<const unsigned char*>(src);
    unsigned long written = 0;
    for (unsigned long at = 0; at < n; at += 3) {
        unsigned long left = n - at;
        unsigned value = unsigned{in[at]} << 16;
        if (left > 1)
            value |= unsigned{in[at + 1]} << 8;
        if (left > 2)
            value |= in[at + 2];
        out[written++] = kAlphabet[(value >> 18) & 63];
        out[written++] = kAlphabet[(value >> 12) & 63];
        out[written++] = left > 1 ? kAlphabet[(value >> 6) & 63] : '=';
        out[written++] = left > 2 ? kAlphabet[value & 63] : '=';
    }
    return written;
}

unsigned long Base64Decode(void* dst, const void* src, unsigned long n)
{
    if (n == 0)
        return 0;
    // Complete the last group with "=" in a copy.
    const auto* text = static_cast<const unsigned char*>(src);
    std::vector<unsigned char> padded(text, text + n);
    padded.resize((n + 3) / 4 * 4, '=');

    // Every group writes three bytes in its own place; "=" only shortens the count.
    auto* out = static_cast<unsigned char*>(dst);
    unsigned long count = 0;
    for (std::size_t at = 0, put = 0; at < padded.size(); at += 4, put += 3) {
        unsigned value = 0;
        for (int k = 0; k < 4; ++k)
            value = (value << 6) | (decodeChar(padded[at + k]) & 63u);
        out[put] = static_cast<unsigned char>(value >> 16);
        out[put + 1] = static_cast<unsigned char>(value >> 8);
        out[put + 2] = static_cast<unsigned char>(value);
        count += 3;
        if (padded[at + 3] == '=')
            count -= padded[at + 2] == '=' ? 2 : 1;
    }
    return count;
}
