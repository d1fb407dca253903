#include "online/httpargs.h"

#include <cstring>
#include <string>

namespace qm {

namespace {

// Characters that have a meaning in URLs or form bodies and so must be escaped.
bool isReserved(unsigned char c)
{
    return c != 0 && std::strchr(" \"#$%&+,/:;<=>?@[\\]^`{|}", c) != nullptr;
}

bool needsEscape(unsigned char c)
{
    return c < 0x20 || c >= 0x7F || isReserved(c);
}

}  // namespace

str EncodeArgValue(const char* value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    if (value) {
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
            if (needsEscape(*p)) {
                out += '%';
                out += kHex[*p >> 4];
                out += kHex[*p & 15];
            } else {
                out += static_cast<char>(*p);
            }
        }
    }
    return str(out.c_str());
}

void AppendArg(str& args, bool first, bool post, const char* key, const char* value)
{
    if (!first)
        args += str("&");
    else if (!post)
        args += str("?");
    args += str(key ? key : "");
    args += str("=");
    args += EncodeArgValue(value);
}

}  // namespace qm
