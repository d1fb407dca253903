#include "debuglog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

void WriteDbg(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    int needed = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    if (needed < 0) {
        va_end(args);
        return;
    }
    // Sized to the text: a line is never cut.
    std::string line(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(line.data(), line.size(), format, args);
    va_end(args);
    line.back() = '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void ResetDbg(const char*)
{
}
