// Files the program keeps for the player: written so that a crash or a full
// disk mid-save never destroys the previous version, and set aside rather
// than overwritten when they cannot be read.
#pragma once

#include "engine/base/str.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace qm {

// Replaces the file at `path` with the bytes: they go to a new temporary file
// in the same folder, which is flushed to the disk and renamed over `path`.
// The temporary takes the replaced file's owner, group and mode where the
// process may give them (ownership.h; a new file: mode 0600 and the folder's
// owner). It stays locked until it is renamed, so other processes know it is
// not abandoned; abandoned ones are removed first.
// On any failure the temporary file is removed, a line is logged, false is
// returned with errno saying why (ENOSPC for a full disk, EROFS or EACCES for
// a folder that cannot be written, ENAMETOOLONG, ...) and the old file is
// untouched.
bool WriteFileReplacing(const str& path, const void* data, std::size_t size);

// Removes the temporaries of `path` that a save killed mid-write left behind:
// path + "." + six letters or digits (the pattern WriteFileReplacing uses)
// that no running save holds locked. A save holds the folder's lock while
// it creates and locks its temporary; a pass that finds it held removes
// nothing (the leftovers go at a later one). Returns how many were removed.
// The file itself is never touched: until the rename, it holds the last
// good save.
int RemoveStaleTemporaries(const str& path);

// Why ReadWholeFile read nothing.
enum class EFileProblem {
    kNone,
    kMissing,     // nothing by that name
    kFolder,      // a folder stands there
    kNotAFile,    // a pipe, a device or a socket: its reading could wait for ever or never end
    kTooLarge,    // larger than any file of its kind could be
    kNotPermitted,  // this user may not open it (another user's file, or its mode)
    kUnreadable,  // it could not be opened for another reason, or its reading failed
};

// The problem in a log's words, after "it": "is a folder", "is larger than
// N bytes"...
std::string FileProblemText(EFileProblem problem, std::size_t limit);

// The whole content of a regular file of at most `limit` bytes. False, with
// the problem (when asked for), for anything else: what stands there is
// looked at before it is opened, and opened without waiting, so a pipe or a
// device by that name is refused without being read.
bool ReadWholeFile(const str& path, std::string* bytes, std::size_t limit, EFileProblem* problem = nullptr);

// Opens a regular file for appending (created when missing, mode 0600, with
// its folder's owner), as ReadWholeFile opens one: without waiting on a pipe.
// Null, with errno set, for anything else.
std::FILE* OpenForAppending(const str& path);

// Reads an open file to its end and closes it. False on a read error.
bool ReadAndClose(std::FILE* file, std::string* bytes);

// True when something exists at `path`.
bool PathExists(const str& path);

// Renames a file that cannot be read out of the way, to path + ".bad" (or
// ".bad2", ".bad3", ... when that name is taken, so no earlier one is lost).
// Returns the new name, or an empty string when the rename failed.
str KeepAside(const str& path);

// True when another process holds a lock (flock) on the regular file at
// `path`. A file this process may not open (one another user left) is
// looked up in the system's table of locks instead, so a lock held through
// it still counts. False when nothing, or no regular file, stands there.
bool LockHeldElsewhere(const str& path);

// An advisory lock (flock) on a file, held for as long as the object lives,
// so that two processes never keep the same saves at once. The file is
// created when missing (mode 0600, with its folder's owner) and left in
// place: an unlocked file means nothing, and a process that dies lets go of
// its lock.
class TLockFile {
public:
    // Tries once, without waiting.
    explicit TLockFile(const str& path);
    ~TLockFile();
    TLockFile(const TLockFile&) = delete;
    TLockFile& operator=(const TLockFile&) = delete;

    bool Held() const { return mFd >= 0; }
    // True when the lock was refused because another holds it. Neither held
    // nor held elsewhere: this name cannot serve as a lock at all (no regular
    // file stands there, it may not be opened, or none can be made), and the
    // log says why. A lock file already there is locked through a read-only
    // opening when it cannot be written.
    bool HeldElsewhere() const { return mHeldElsewhere; }
    // Why this name cannot serve: the errno value of the first opening tried,
    // or of the lock refused; 0 when held, held elsewhere, or when no
    // regular file stands there.
    int Error() const { return mError; }

private:
    int mFd = -1;
    bool mHeldElsewhere = false;
    int mError = 0;
};

}  // namespace qm
