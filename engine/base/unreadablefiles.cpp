#include "engine/base/unreadablefiles.h"

#include <sys/stat.h>

namespace qm {

bool TUnreadableFiles::StampOf(const std::string& path, TStamp* out)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    out->size = static_cast<long long>(info.st_size);
    out->changed = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    return true;
}

bool TUnreadableFiles::Known(const std::string& path) const
{
    auto known = mFiles.find(path);
    TStamp now;
    return known != mFiles.end() && StampOf(path, &now) && known->second == now;
}

void TUnreadableFiles::Remember(const std::string& path)
{
    TStamp now;
    if (StampOf(path, &now))
        mFiles[path] = now;
}

}  // namespace qm
