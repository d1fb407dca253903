#include "debuglog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
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

namespace qm {

const char* SourceRelative(const char* file)
{
    // This file's own name tells where the tree was when it was compiled:
    // everything before "engine/base/debuglog.cpp". The compiler spells
    // every file of the build the same way (absolute, or relative to the
    // build folder when a compiler cache rewrites paths).
    static const char kSelf[] = "engine/base/debuglog.cpp";
    static const size_t prefix = std::strlen(__FILE__) - (sizeof kSelf - 1);
    if (!file)
        return "";
    if (std::strncmp(file, __FILE__, prefix) == 0)
        return file + prefix;
    // Spelled another way: at least drop the walk up out of the build folder.
    while (std::strncmp(file, "../", 3) == 0 || std::strncmp(file, "./", 2) == 0)
        file += file[0] == '.' && file[1] == '.' ? 3 : 2;
    return file;
}

}  // namespace qm

void ResetDbg(const char*)
{
}
