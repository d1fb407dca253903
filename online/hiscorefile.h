// The enciphered container of hiscore.dat: the XML text (with its NUL)
// enciphered without Base64, followed by one enciphered block holding a
// 4-byte XOR checksum of that ciphertext.
#pragma once

#include "engine/base/str.h"

#include <cstddef>
#include <string>

class TEncrypt;

namespace qm {

enum class EHiscoreFile {
    kMissing,   // no file: start empty
    kRead,      // text holds the deciphered XML
    kRejected,  // short, tampered or undecipherable: start empty
    kNotPermitted,  // this user may not open it (another user's): left alone, start empty, save nothing
};

// The largest hiscore.dat read: its tables hold a few thousand rows of
// some 200 bytes at most. Anything larger is treated as damaged.
inline constexpr std::size_t kMaxHiscoreFileBytes = std::size_t(8) << 20;

// Enciphers the text and writes it through a temporary file. False when nothing was written.
bool WriteHiscoreFile(const str& path, const str& text, TEncrypt& cipher);

// Reads and checks the file. A rejected file (unreadable, short, tampered,
// undecipherable) has been named in the log and kept aside as path + ".bad"
// (or ".bad2"...): *keptAside (when given) is that name, "" when the rename
// failed. A file this user may not open is named in the log and left alone.
EHiscoreFile ReadHiscoreFile(const str& path, TEncrypt& cipher, str* text, str* keptAside = nullptr);

// The deciphered text of a hiscore.dat's bytes, checksum checked. Null when
// they were read, else why not, in a log's words after the file's name
// ("fails its checksum", ...).
const char* DecodeHiscoreBytes(const std::string& bytes, TEncrypt& cipher, str* text);

}  // namespace qm
