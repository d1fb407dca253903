// Tests of what the program does with a file its user may not open: another
// user's, as a game started as root leaves in a player's data home.
//
// As root (which may open anything) the file is made root's own, mode 0600,
// and what is tested runs in a child process turned into the user nobody,
// who owns the folder, as a player owns the data home. Without root the file
// is this user's, mode 000, and the child runs as this user. Either way the
// child reports by its exit status.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qmtest {

inline constexpr uid_t kNobody = 65534;

inline bool IsRoot() { return ::geteuid() == 0; }

// The exit status of `what` run in a child process (as nobody when root);
// -1 when it did not end by itself, 99 when the user could not be changed.
inline int RunAsOtherUser(const std::function<int()>& what)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (IsRoot() && (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                         ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(99);
        ::_exit(what());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Makes `file` one the child of RunAsOtherUser may not open, in a `folder`
// that is that child's own as a player's data home is the player's; every
// folder from `top` down to `folder` may be entered by anyone.
inline void MakeNotPermitted(const std::filesystem::path& file, const std::filesystem::path& folder,
                             const std::filesystem::path& top)
{
    namespace fs = std::filesystem;
    if (!IsRoot()) {
        fs::permissions(file, fs::perms::none);
        return;
    }
    const fs::perms enter = fs::perms::group_exec | fs::perms::others_exec;
    for (fs::path at = folder;; at = at.parent_path()) {
        fs::permissions(at, enter, fs::perm_options::add);
        if (at == top || at == at.parent_path())
            break;
    }
    if (::chown(folder.c_str(), kNobody, kNobody) != 0 || ::chown(file.c_str(), 0, 0) != 0)
        return;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
}

// What stands at `path`, as compared before and after: owner, group, mode,
// size, change of content (to the nanosecond) and the bytes themselves (read
// as this process may: a file of mode 000 is opened for the reading only).
struct TFileState {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    std::string bytes;

    bool operator==(const TFileState&) const = default;
};

inline TFileState FileState(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    TFileState state;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return state;
    state = {info.st_uid, info.st_gid, info.st_mode, info.st_size,
             info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec, std::string()};
    const bool closed = (info.st_mode & S_IRUSR) == 0 && !IsRoot();
    if (closed)
        fs::permissions(path, fs::perms::owner_read, fs::perm_options::add);
    std::ifstream in(path, std::ios::binary);
    state.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (closed)
        fs::permissions(path, fs::perms::owner_read, fs::perm_options::remove);
    return state;
}

}  // namespace qmtest
