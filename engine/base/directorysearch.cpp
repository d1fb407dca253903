#include "engine/base/directorysearch.h"

#include "engine/base/debuglog.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>

TDirectorySearch::TDirectorySearch(const char* path)
{
    Reset(path);
}

void TDirectorySearch::Reset(const char* path)
{
    mEntries.clear();
    mNext = 0;
    if (!path)
        return;
    DIR* dir = ::opendir(path);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir))
        mEntries.emplace_back(entry->d_name);
    ::closedir(dir);
    // Byte-wise (unsigned) order, as strcmp compares.
    std::sort(mEntries.begin(), mEntries.end(), [](const std::string& a, const std::string& b) {
        return std::strcmp(a.c_str(), b.c_str()) < 0;
    });
}

bool TDirectorySearch::GetNextFile(char* buffer, unsigned long size)
{
    while (mNext < mEntries.size()) {
        const std::string& name = mEntries[mNext++];
        if (buffer && name.size() < size) {
            std::memcpy(buffer, name.c_str(), name.size() + 1);
            return true;
        }
        WriteDbg("TDirectorySearch: name too long for its buffer, skipped: %s", name.c_str());
    }
    mEntries.clear();
    mNext = 0;
    return false;
}
