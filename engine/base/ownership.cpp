#include "engine/base/ownership.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qm {

namespace {

// True when the file has that owner and group, given now or already. A
// process that may not give the file away (not root) keeps it.
bool giveTo(int fd, uid_t owner, gid_t group)
{
    struct stat made;
    if (::fstat(fd, &made) == 0 && made.st_uid == owner && made.st_gid == group)
        return true;
    return ::fchown(fd, owner, group) == 0;
}

}  // namespace

void GiveFolderOwner(int fd, const str& folder)
{
    struct stat info;
    // In a folder of its own the process's file is as it should be.
    if (::stat(folder.c_str(), &info) != 0 || info.st_uid == ::geteuid())
        return;
    giveTo(fd, info.st_uid, info.st_gid);
}

void TakeOverOwnership(int fd, const str& replaced, const str& folder)
{
    struct stat info;
    // (a link or anything else there is replaced by a file of the folder's owner)
    if (::lstat(replaced.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        GiveFolderOwner(fd, folder);
        return;
    }
    giveTo(fd, info.st_uid, info.st_gid);
    // After the owner: giving a file away clears its set-id bits. (A mode
    // that cannot be set leaves the temporary's 0600.)
    ::fchmod(fd, info.st_mode & 07777);
}

std::string OwnerName(const str& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return std::string();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(info.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name[0])
        return found->pw_name;
    return std::to_string(info.st_uid);
}

}  // namespace qm
