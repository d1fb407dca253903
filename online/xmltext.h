// Small text helpers shared by the online services.
#pragma once

#include "engine/base/str.h"

namespace qm {

// Copies text into a caller's buffer of length bytes, always NUL-terminated;
// a null buffer or a length of 0 or less copies nothing.
void CopyText(char* buffer, int length, const char* text);

// The text with trailing white space removed.
str TrimRight(const char* text);

}  // namespace qm
