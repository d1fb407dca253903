// Helpers for XML texts that come from files and servers.
#pragma once

#include "engine/base/str.h"

class TXmlNode;

namespace qm {

// Parses a text that may hold several top-level elements (and an XML
// declaration) into holder, whose children become those elements.
void ParseElements(TXmlNode& holder, const char* text);

// Copies text into a caller's buffer of length bytes, always NUL-terminated;
// a null buffer or a length of 0 or less copies nothing.
void CopyText(char* buffer, int length, const char* text);

// The text with trailing white space removed.
str TrimRight(const char* text);

}  // namespace qm
