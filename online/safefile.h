// Writing files so that a crash or a full disk never leaves a half-written
// one in place, and keeping unreadable files aside instead of overwriting them.
#pragma once

#include "engine/base/str.h"

#include <cstddef>
#include <string>

namespace qm {

// Writes the bytes to path + ".tmp", flushes them to disk and renames the
// result over path. False (and path untouched) on any failure.
bool WriteFileReplacing(const str& path, const void* data, size_t size);

// The whole file; false when it cannot be opened or read.
bool ReadWholeFile(const str& path, std::string* bytes);

// Renames an unreadable file to path + ".bad" so that the next save does not
// destroy what may still be recovered.
void KeepFileAside(const str& path);

}  // namespace qm
