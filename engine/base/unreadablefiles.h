// Files that could not be read, remembered as they were then (their length
// and the time of their last change): a loader asked for one again and
// again (a picture each frame, an animation at each play) neither reads it
// nor names it in the log again until the file changes.
#pragma once

#include <map>
#include <string>

namespace qm {

class TUnreadableFiles {
public:
    // True when the file is remembered and has not changed since.
    bool Known(const std::string& path) const;
    // Remembers the file as it is now (nothing when it cannot be looked at).
    void Remember(const std::string& path);

private:
    struct TStamp {
        long long size = 0;
        long long changed = 0;
        bool operator==(const TStamp& other) const { return size == other.size && changed == other.changed; }
    };
    static bool StampOf(const std::string& path, TStamp* out);

    std::map<std::string, TStamp> mFiles;
};

}  // namespace qm
