// Building the argument text of a request: a query string for GET, an
// application/x-www-form-urlencoded body for POST.
#pragma once

#include "engine/base/str.h"

namespace qm {

// The value percent-encoded for a query string or form body: the reserved
// characters of URLs and forms, every control byte, DEL and every byte of 128
// or more become "%XX" (upper-case hex), so no value can end a line or
// produce an invalid URL. Letters, digits and ! ' ( ) * - . _ ~ stay as they are.
str EncodeArgValue(const char* value);

// Appends one key=value pair to args: "?" (GET) or nothing (POST) before the
// first pair, "&" before later ones. The key is taken as it is; a null value
// counts as empty.
void AppendArg(str& args, bool first, bool post, const char* key, const char* value);

}  // namespace qm
