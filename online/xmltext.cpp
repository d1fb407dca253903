#include "online/xmltext.h"

#include <cctype>
#include <cstring>
#include <string>

namespace qm {

void CopyText(char* buffer, int length, const char* text)
{
    if (!buffer || length <= 0)
        return;
    size_t n = text ? std::strlen(text) : 0;
    if (n > static_cast<size_t>(length - 1))
        n = static_cast<size_t>(length - 1);
    if (n > 0)
        std::memcpy(buffer, text, n);
    buffer[n] = 0;
    buffer[length - 1] = 0;
}

str TrimRight(const char* text)
{
    std::string value = text ? text : "";
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.pop_back();
    return str(value.c_str());
}

}  // namespace qm
