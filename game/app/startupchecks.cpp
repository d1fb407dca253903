#include "game/app/startupchecks.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace game {

namespace {

bool deniedToThisUser(int error) { return error == EACCES || error == EPERM; }

// 0 when `path` is a regular file this user may read, else why not (ENOENT
// for anything that is no file).
int readError(const str& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return ENOENT;
    return ::access(path.c_str(), R_OK) == 0 ? 0 : errno;
}

str systemWords(int error) { return str(std::strerror(error)); }

}  // namespace

str UnreadableGameFiles(const str& folder, int enterError, const char* startScript)
{
    if (deniedToThisUser(enterError))
        return str("this user may not read that folder");
    if (enterError == ENOENT)
        return str("that folder is missing");
    if (enterError != 0)
        return systemWords(enterError);
    const str inAssets = str("assets/") + str(startScript);
    const int scriptError = readError(folder + str("/") + inAssets);
    if (scriptError == 0 || readError(folder + str("/") + str(startScript)) == 0)
        return str();
    if (deniedToThisUser(scriptError))
        return str("this user may not read ") + inAssets;
    if (readError(folder + str("/assets/strings.xml")) != 0)
        return str("that folder holds none of the game's files");
    return inAssets + str(", the script the game starts with, is missing");
}

ELockStep LockNameStep(const str& file)
{
    std::error_code error;
    const auto status = std::filesystem::symlink_status(file.c_str(), error);
    if (!std::filesystem::exists(status))
        return ELockStep::kMakeFile;
    return std::filesystem::is_regular_file(status) ? ELockStep::kOpenFile : ELockStep::kNoFile;
}

const char* LockFailureLabel(ELockStep step, int error)
{
    if (step == ELockStep::kNoFile)
        return "savesunlocked_notfile";
    if (deniedToThisUser(error)) {
        switch (step) {
        case ELockStep::kMakeFolder:
            return "savesunlocked_nocreate";
        case ELockStep::kMakeFile:
            return "savesunlocked_nowrite";
        default:
            return "savesunlocked_otheruser";
        }
    }
    switch (error) {
    case EROFS:
        return "savefailed_readonly";
    case ENOSPC:
    case EDQUOT:
        return "savefailed_full";
    case ENAMETOOLONG:
        return "savefailed_toolong";
    default:
        return step == ELockStep::kMakeFolder ? "savesunlocked_nomake" : "savefailed_other";
    }
}

}  // namespace game
