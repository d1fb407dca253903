// The preferences loader on any file content. The first byte chooses the
// form: 'P' reads it as a plain store, anything else as one enciphered under
// the program key (the seed corpus holds valid files of both forms, so the
// fuzzer also reaches the deciphered, checksummed text).
#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    str key = data[0] == 'P' ? str("") : str(ENCRYPTION_KEY);
    TXmlNode document;
    if (TPrefs::ReadDocument(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1), key, &document))
        TPrefs::WriteDocument(document, key);
    return 0;
}
