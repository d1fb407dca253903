#include "engine/base/encrypt.h"

#include "engine/base/base64.h"

#include <algorithm>
#include <cstring>
#include <vector>

TEncrypt::TEncrypt(str keyText) : mCipher(std::make_unique<TBlowfish>())
{
    unsigned long textLength = static_cast<unsigned long>(keyText.length());
    std::vector<unsigned char> key(Base64DecodeGetLength(textLength));
    Base64Decode(key.data(), keyText.c_str(), textLength);
    mCipher->Init(key.data(), static_cast<int>(key.size()));
}

int TEncrypt::EncryptBinary(const void* in, int inLength, void* out, int outSize, bool base64) const
{
    int n = 0;
    auto enciphered = mCipher->EncryptString(static_cast<const char*>(in), std::max(inLength, 0), &n);
    if (!base64) {
        if (!out || n > outSize)
            return n;
        std::memcpy(out, enciphered.get(), static_cast<size_t>(n));
        return 0;
    }
    int needed = static_cast<int>(Base64EncodeGetLength(static_cast<unsigned long>(n))) + 1;
    if (!out || outSize < needed)
        return needed;
    auto* text = static_cast<char*>(out);
    unsigned long written = Base64Encode(text, enciphered.get(), static_cast<unsigned long>(n));
    text[written] = 0;
    return 0;
}

int TEncrypt::DecryptBinary(const void* in, int inLength, void* out, int outSize, bool base64) const
{
    inLength = std::max(inLength, 0);
    const char* cipherText = static_cast<const char*>(in);
    std::vector<char> decoded;
    if (base64) {
        decoded.resize(Base64DecodeGetLength(static_cast<unsigned long>(inLength)));
        inLength = static_cast<int>(Base64Decode(decoded.data(), in, static_cast<unsigned long>(inLength)));
        cipherText = decoded.data();
    }
    int plainLength = 0;
    auto plain = mCipher->DecryptString(cipherText, inLength, &plainLength);
    if (!out || plainLength > outSize)
        return plainLength;
    std::memcpy(out, plain.get(), static_cast<size_t>(plainLength));
    return 0;
}

str TEncrypt::EncryptStr(str text) const
{
    int length = text.length() + 1;  // the NUL is enciphered with the text
    int size = EncryptBinary(text.c_str(), length, nullptr, 0, true);
    if (size < 1)
        return str("");
    std::vector<char> buffer(static_cast<size_t>(size));
    if (EncryptBinary(text.c_str(), length, buffer.data(), size, true) != 0)
        return str("");
    return str(buffer.data());
}

str TEncrypt::DecryptStr(str base64Text) const
{
    int length = base64Text.length();
    int size = DecryptBinary(base64Text.c_str(), length, nullptr, 0, true);
    if (size < 1)
        return str("");
    std::vector<char> buffer(static_cast<size_t>(size));
    if (DecryptBinary(base64Text.c_str(), length, buffer.data(), size, true) != 0)
        return str("");
    // Up to the first NUL, or every byte when there is none.
    return str(buffer.data(), static_cast<int>(strnlen(buffer.data(), buffer.size())));
}
