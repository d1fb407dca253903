// Enciphers small records (preferences, scores, configuration files) with
// Blowfish in ECB mode, optionally carried as Base64 text so that they fit
// in an XML attribute or a URL parameter.
//
// Size convention of the buffer-filling calls: 0 when the result was copied
// into `out`; otherwise (no `out`, or `outSize` too small) nothing is
// written and the size `out` must have is returned.
#pragma once

#include "engine/base/blowfish.h"
#include "engine/base/str.h"

#include <memory>

class TEncrypt {
public:
    // The key is Base64 text; it keys the cipher with Base64DecodeGetLength
    // of its length in bytes (56 characters give 42 bytes).
    explicit TEncrypt(str keyText);

    // Base64 mode: the needed size includes a terminating NUL after the text.
    int EncryptBinary(const void* in, int inLength, void* out, int outSize, bool base64) const;
    // Base64 mode: `in` is Base64 text, decoded before it is deciphered.
    int DecryptBinary(const void* in, int inLength, void* out, int outSize, bool base64) const;

    // The Base64 text of the enciphered text and its NUL; "" on failure.
    str EncryptStr(str text) const;
    // The text deciphered from Base64 text, up to its first NUL; "" on failure.
    str DecryptStr(str base64Text) const;

private:
    std::unique_ptr<TBlowfish> mCipher;
};
