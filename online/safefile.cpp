#include "online/safefile.h"

#include "engine/base/debuglog.h"

#include <cstdio>
#include <unistd.h>

namespace qm {

bool WriteFileReplacing(const str& path, const void* data, size_t size)
{
    str temp = path + str(".tmp");
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    ok = std::fflush(file) == 0 && ok;
    ok = ::fsync(::fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temp.c_str());
    return false;
}

bool ReadWholeFile(const str& path, std::string* bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes->clear();
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes->append(buffer, n);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

void KeepFileAside(const str& path)
{
    str aside = path + str(".bad");
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        WriteDbg("Kept unreadable %s as %s", path.c_str(), aside.c_str());
}

}  // namespace qm
