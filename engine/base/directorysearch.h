// Lists the entries of a directory ("." and ".." included, files and folders
// alike) in byte-wise order of their names. The order matters: the game maps
// files to animation frames by listing order, so it must not depend on the
// file system.
#pragma once

#include <string>
#include <vector>

class TDirectorySearch {
public:
    TDirectorySearch() = default;
    explicit TDirectorySearch(const char* path);

    // Starts listing another directory; a path that cannot be opened lists nothing.
    void Reset(const char* path);

    // Copies the next name with its NUL into the buffer. False when no
    // directory is open or the listing has ended (and from then on until
    // Reset). A name that does not fit the buffer is skipped with a log line.
    bool GetNextFile(char* buffer, unsigned long size);

private:
    // The whole listing is read at Reset and sorted; iteration walks it.
    std::vector<std::string> mEntries;
    size_t mNext = 0;
};
