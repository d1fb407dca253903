#include "engine/base/blowfish.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t readBigEndian(const unsigned char* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

void writeBigEndian(unsigned char* p, uint32_t value)
{
    p[0] = static_cast<unsigned char>(value >> 24);
    p[1] = static_cast<unsigned char>(value >> 16);
    p[2] = static_cast<unsigned char>(value >> 8);
    p[3] = static_cast<unsigned char>(value);
}

}  // namespace

TBlowfish::TBlowfish()
{
    std::memcpy(mP, kInitialP, sizeof mP);
    std::memcpy(mS, kInitialS, sizeof mS);
}

void TBlowfish::Init(const unsigned char* key, int length)
{
    std::memcpy(mP, kInitialP, sizeof mP);
    std::memcpy(mS, kInitialS, sizeof mS);
    if (key && length > 0) {
        int next = 0;
        for (uint32_t& p : mP) {
            uint32_t word = 0;
            for (int k = 0; k < 4; ++k) {
                word = (word << 8) | key[next];
                next = (next + 1) % length;
            }
            p ^= word;
        }
    }
    uint32_t left = 0, right = 0;
    for (int i = 0; i < kRounds + 2; i += 2) {
        EncryptBlock(&left, &right);
        mP[i] = left;
        mP[i + 1] = right;
    }
    for (auto& box : mS) {
        for (int i = 0; i < 256; i += 2) {
            EncryptBlock(&left, &right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

uint32_t TBlowfish::F(uint32_t x) const
{
    uint32_t a = mS[0][x >> 24], b = mS[1][(x >> 16) & 0xFF];
    uint32_t c = mS[2][(x >> 8) & 0xFF], d = mS[3][x & 0xFF];
    return ((a + b) ^ c) + d;
}

void TBlowfish::EncryptBlock(uint32_t* left, uint32_t* right) const
{
    uint32_t l = *left, r = *right;
    for (int i = 0; i < kRounds; ++i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[kRounds];
    l ^= mP[kRounds + 1];
    *left = l;
    *right = r;
}

void TBlowfish::DecryptBlock(uint32_t* left, uint32_t* right) const
{
    uint32_t l = *left, r = *right;
    for (int i = kRounds + 1; i > 1; --i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[1];
    l ^= mP[0];
    *left = l;
    *right = r;
}

void TBlowfish::EncryptBytes(unsigned char* block) const
{
    uint32_t left = readBigEndian(block), right = readBigEndian(block + 4);
    EncryptBlock(&left, &right);
    writeBigEndian(block, left);
    writeBigEndian(block + 4, right);
}

void TBlowfish::DecryptBytes(unsigned char* block) const
{
    uint32_t left = readBigEndian(block), right = readBigEndian(block + 4);
    DecryptBlock(&left, &right);
    writeBigEndian(block, left);
    writeBigEndian(block + 4, right);
}

std::unique_ptr<char[]> TBlowfish::EncryptString(const char* data, int length, int* outLength) const
{
    length = std::max(length, 0);
    int pad = kBlockSize - length % kBlockSize;
    int total = length + pad;
    auto out = std::make_unique<char[]>(static_cast<size_t>(total));
    if (length > 0)
        std::memcpy(out.get(), data, static_cast<size_t>(length));
    std::memset(out.get() + length, pad, static_cast<size_t>(pad));
    auto* bytes = reinterpret_cast<unsigned char*>(out.get());
    for (int at = 0; at < total; at += kBlockSize)
        EncryptBytes(bytes + at);
    if (outLength)
        *outLength = total;
    return out;
}

std::unique_ptr<char[]> TBlowfish::DecryptString(const char* data, int length, int* outLength) const
{
    // Nothing to decipher, hence no pad byte to read: an empty result.
    if (length <= 0) {
        if (outLength)
            *outLength = 0;
        return std::make_unique<char[]>(1);
    }
    int rounded = (length + kBlockSize - 1) / kBlockSize * kBlockSize;
    auto buffer = std::make_unique<char[]>(static_cast<size_t>(rounded));  // zero-filled
    std::memcpy(buffer.get(), data, static_cast<size_t>(length));
    auto* bytes = reinterpret_cast<unsigned char*>(buffer.get());
    for (int at = 0; at < rounded; at += kBlockSize)
        DecryptBytes(bytes + at);
    int pad = static_cast<signed char>(buffer[static_cast<size_t>(length - 1)]);
    int plain = length - pad;
    if (plain < 0 || plain > length)
        plain = 0;
    // The buffer already holds the plain bytes first; hand it over as it is.
    if (outLength)
        *outLength = plain;
    return buffer;
}
