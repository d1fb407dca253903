// Base64Decode on any bytes (bytes 128-255 included), then what it decoded
// must survive encoding and decoding; the same text is deciphered as a
// stored value would be.
#include "engine/base/base64.h"
#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> decoded(Base64DecodeGetLength(size));
    unsigned long count = Base64Decode(decoded.data(), data, size);
    if (count > decoded.size())
        std::abort();

    std::vector<char> text(Base64EncodeGetLength(count));
    unsigned long written = Base64Encode(text.data(), decoded.data(), count);
    std::vector<unsigned char> back(Base64DecodeGetLength(written));
    if (Base64Decode(back.data(), text.data(), written) != count)
        std::abort();
    if (count > 0 && std::memcmp(back.data(), decoded.data(), count) != 0)
        std::abort();

    static const TEncrypt crypt(ENCRYPTION_KEY);
    std::string asText(reinterpret_cast<const char*>(data), size);
    crypt.DecryptStr(str(asText.c_str()));
    return 0;
}
