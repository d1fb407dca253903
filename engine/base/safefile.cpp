#include "engine/base/safefile.h"

#include "engine/base/debuglog.h"
#include "engine/base/ownership.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qm {

namespace {

str folderOf(const str& path)
{
    int slash = path.find('/', str::kBackwards, 0);
    if (slash < 0)
        return str(".");
    return slash == 0 ? str("/") : path.substr(0, slash);
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a failure here loses nothing, so it is not an error.
void syncFolder(const str& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

str baseNameOf(const str& path)
{
    int slash = path.find('/', str::kBackwards, 0);
    return slash < 0 ? path : path.substr(slash + 1, path.length() - slash - 1);
}

// mkstemp replaces the six X of "<name>.XXXXXX" with letters and digits.
bool isTemporaryName(const char* entry, const std::string& prefix)
{
    if (std::strncmp(entry, prefix.c_str(), prefix.size()) != 0)
        return false;
    const char* suffix = entry + prefix.size();
    if (std::strlen(suffix) != 6)
        return false;
    for (const char* c = suffix; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// A temporary no live save holds: its writer's lock ended with its process.
bool removeIfAbandoned(const str& file)
{
    struct stat info;
    if (::lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    bool removed = abandoned && ::unlink(file.c_str()) == 0;
    ::close(fd);
    return removed;
}

// A lock on the folder itself closes the moment between a save creating its
// temporary and locking it, when the temporary looks abandoned: saves hold
// it shared over that moment, the cleanup exclusively over its whole pass.
// Without a folder that can be opened there is no lock, and nothing worse
// than before.
class TFolderLock {
public:
    TFolderLock(const str& folder, int operation)
    {
        mFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (mFd >= 0 && ::flock(mFd, operation) != 0) {
            ::close(mFd);
            mFd = -1;
            mRefused = true;
        }
    }
    ~TFolderLock()
    {
        if (mFd >= 0)
            ::close(mFd);
    }
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;
    // True when another process holds the folder (a save creating its temporary).
    bool Refused() const { return mRefused; }

private:
    int mFd = -1;
    bool mRefused = false;
};

}  // namespace

int RemoveStaleTemporaries(const str& path)
{
    str folder = folderOf(path);
    std::string prefix = std::string(baseNameOf(path).c_str()) + ".";
    // A save is creating its temporary right now: leftovers wait for the next pass.
    const TFolderLock lock(folder, LOCK_EX | LOCK_NB);
    if (lock.Refused())
        return 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name, prefix))
            continue;
        str file = folder + str("/") + str(entry->d_name);
        if (removeIfAbandoned(file)) {
            WriteDbg("Removed %s, left by a save that did not finish", file.c_str());
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

bool WriteFileReplacing(const str& path, const void* data, std::size_t size)
{
    RemoveStaleTemporaries(path);
    str pattern = path + str(".XXXXXX");
    std::string temp(pattern.c_str());
    int fd = -1;
    {
        // Created and locked under the folder's lock, so no cleanup ever
        // finds it unlocked.
        const TFolderLock creating(folderOf(path), LOCK_SH);
        fd = ::mkstemp(temp.data());
        if (fd < 0) {
            const int error = errno;
            WriteDbg("Cannot save %s: cannot create a temporary file (%s)", path.c_str(), std::strerror(error));
            errno = error;
            return false;
        }
        // Held until the rename, so another process's cleanup leaves it alone.
        ::flock(fd, LOCK_EX);
        // At once: even a temporary that a killed save leaves is the player's.
        TakeOverOwnership(fd, path, folderOf(path));
    }
    bool written = writeAll(fd, static_cast<const char*>(data), size);
    int error = errno;
    if (written && ::fsync(fd) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        ::close(fd);
        WriteDbg("Cannot save %s: %s; the previous file is kept", path.c_str(), std::strerror(error));
        errno = error;
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        ::close(fd);
        WriteDbg("Cannot save %s: rename failed (%s); the previous file is kept", path.c_str(), std::strerror(error));
        errno = error;
        return false;
    }
    // The bytes are on the disk already (fsync above); closing cannot lose them.
    ::close(fd);
    syncFolder(folderOf(path));
    return true;
}

namespace {

// Opens the file, made (mode 0600) when missing. One made here takes its
// folder's owner, as a new file among a player's files must; one that was
// there is left as it is.
int openMakingIfMissing(const str& path, int flags)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(path.c_str(), flags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0600);
        if (fd >= 0)
            GiveFolderOwner(fd, folderOf(path));
        // (EEXIST: another process made it meanwhile, and it is opened as it stands)
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return ::open(path.c_str(), flags);
}

EFileProblem problemOfEntry(const struct stat& info, std::size_t limit)
{
    if (S_ISDIR(info.st_mode))
        return EFileProblem::kFolder;
    if (!S_ISREG(info.st_mode))
        return EFileProblem::kNotAFile;
    if (static_cast<unsigned long long>(info.st_size) > limit)
        return EFileProblem::kTooLarge;
    return EFileProblem::kNone;
}

EFileProblem problemOfOpening(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return EFileProblem::kMissing;
    return error == EACCES || error == EPERM ? EFileProblem::kNotPermitted : EFileProblem::kUnreadable;
}

// To its end, but never past the limit: the file may grow while it is read.
EFileProblem readOpenFile(int fd, std::size_t limit, std::string* bytes)
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return EFileProblem::kUnreadable;
        if (got == 0)
            return EFileProblem::kNone;
        if (bytes->size() + static_cast<std::size_t>(got) > limit)
            return EFileProblem::kTooLarge;
        bytes->append(chunk, static_cast<std::size_t>(got));
    }
}

EFileProblem readRegularFile(const str& path, std::size_t limit, std::string* bytes)
{
    // Looked at before it is opened: opening a device can do something by itself.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return problemOfOpening(errno);
    if (const EFileProblem seen = problemOfEntry(info, limit); seen != EFileProblem::kNone)
        return seen;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return problemOfOpening(errno);
    // Something else may have been put there since the look.
    EFileProblem found = ::fstat(fd, &info) != 0 ? EFileProblem::kUnreadable : problemOfEntry(info, limit);
    if (found == EFileProblem::kNone)
        found = readOpenFile(fd, limit, bytes);
    ::close(fd);
    return found;
}

}  // namespace

std::string FileProblemText(EFileProblem problem, std::size_t limit)
{
    switch (problem) {
    case EFileProblem::kNone: return "was read";
    case EFileProblem::kMissing: return "is missing";
    case EFileProblem::kFolder: return "is a folder";
    case EFileProblem::kNotAFile: return "is no regular file (a pipe, a device or a socket)";
    case EFileProblem::kTooLarge: return "is larger than " + std::to_string(limit) + " bytes";
    case EFileProblem::kNotPermitted: return "may not be opened by this user";
    case EFileProblem::kUnreadable: break;
    }
    return "could not be opened or read";
}

bool ReadWholeFile(const str& path, std::string* bytes, std::size_t limit, EFileProblem* problem)
{
    bytes->clear();
    const EFileProblem found = readRegularFile(path, limit, bytes);
    if (found != EFileProblem::kNone)
        bytes->clear();
    if (problem)
        *problem = found;
    return found == EFileProblem::kNone;
}

std::FILE* OpenForAppending(const str& path)
{
    // A pipe that no one reads refuses at once (ENXIO) instead of waiting.
    const int fd = openMakingIfMissing(path, O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    // Writing a regular file never waits anyway; stdio expects a plain descriptor.
    ::fcntl(fd, F_SETFL, O_APPEND);
    std::FILE* file = ::fdopen(fd, "a");
    if (!file)
        ::close(fd);
    return file;
}

bool ReadAndClose(std::FILE* file, std::string* bytes)
{
    bytes->clear();
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool PathExists(const str& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

str KeepAside(const str& path)
{
    str aside = path + str(".bad");
    for (int n = 2; PathExists(aside) && n < 1000; ++n)
        aside = path + str::getFormatted(".bad%d", n);
    if (PathExists(aside) || ::rename(path.c_str(), aside.c_str()) != 0)
        return str();
    syncFolder(folderOf(path));
    return aside;
}

namespace {

// Opens the lock file, made when missing; -1 (logged, and in `error` the
// errno value of the first opening tried) when no regular file of that name
// can be opened. Never waits: a pipe by that name would hold an opening up
// until someone wrote to it.
int openLockFile(const str& path, int* error)
{
    struct stat info;
    // (a device by that name is not even opened)
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        WriteDbg("%s is no regular file: it cannot serve as a lock", path.c_str());
        return -1;
    }
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int fd = openMakingIfMissing(path, O_RDWR | flags);
    // The first error is the one that tells: where no file stands and the
    // folder cannot be written, the read-only retry only finds no file.
    *error = fd < 0 ? errno : 0;
    // flock needs no write access: a lock file left in a folder that has
    // turned read-only, or one another user may only read, still locks.
    if (fd < 0 && (*error == EACCES || *error == EROFS || *error == EPERM))
        fd = ::open(path.c_str(), O_RDONLY | flags);
    if (fd < 0) {
        WriteDbg("Cannot open the lock file %s (%s)", path.c_str(), std::strerror(*error));
        return -1;
    }
    *error = 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        WriteDbg("%s is no regular file: it cannot serve as a lock", path.c_str());
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the system's table of locks lists a whole-file lock (flock) on
// the file `info` describes. Its lines read "1: FLOCK  ADVISORY  WRITE 1234
// 08:01:5678 0 EOF": device major and minor in hex, then the inode.
bool listedAsLocked(const struct stat& info)
{
    std::ifstream locks("/proc/locks");
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find(" FLOCK ") == std::string::npos)
            continue;
        const std::size_t at = line.find(wanted);
        if (at == std::string::npos || at == 0 || line[at - 1] != ' ')
            continue;
        const std::size_t end = at + std::strlen(wanted);
        if (end == line.size() || line[end] == ' ')
            return true;
    }
    return false;
}

}  // namespace

bool LockHeldElsewhere(const str& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return listedAsLocked(info);
    // A shared lock is refused only while another holds it exclusively, as
    // a game does; it is let go at once.
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

TLockFile::TLockFile(const str& path)
{
    const int fd = openLockFile(path, &mError);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        mHeldElsewhere = errno == EWOULDBLOCK;
        if (!mHeldElsewhere) {
            mError = errno;
            WriteDbg("Cannot lock %s (%s)", path.c_str(), std::strerror(mError));
        }
        ::close(fd);
        return;
    }
    mFd = fd;
}

TLockFile::~TLockFile()
{
    if (mFd >= 0)
        ::close(mFd);
}

}  // namespace qm
