#include "engine/base/folders.h"

#include "engine/base/ownership.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {

bool isDirectory(const str& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Opens a regular file for reading; folders and devices are not resources,
// though fopen would open a folder and report a nonsense size for it.
std::FILE* openRegularFile(const char* path)
{
    struct stat info;
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    return std::fopen(path, "rb");
}

str parentOf(const str& path)
{
    int slash = path.find('/', str::kBackwards, 0);
    if (slash <= 0)
        return str(slash == 0 ? "/" : ".");
    return path.substr(0, slash);
}

// A folder made in another user's folder is that user's (a game of root's
// making a player's data home must leave it the player's).
void giveParentsOwner(const str& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    GiveFolderOwner(fd, parentOf(path));
    ::close(fd);
}

// A folder, or something this user may not look into (another user's
// private folder, or anything below one). A resource folder of the second
// kind is still the one chosen: the player is told that it cannot be read,
// rather than the game going on quietly with other files or none.
bool isDirectoryOrHidden(const str& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    return errno == EACCES;
}

str folderOfExecutable(const char* executablePath)
{
    char resolved[4096];
    if (!executablePath || !executablePath[0] || !::realpath(executablePath, resolved))
        return str();
    return parentOf(str(resolved));
}

str currentDirectory()
{
    char buffer[4096];
    if (!::getcwd(buffer, sizeof buffer))
        return str();
    return str(buffer);
}

str dataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return str(xdg);
    const char* home = std::getenv("HOME");
    if (!home || !home[0])
        return str();
    return str(home) + str("/.local/share");
}

}  // namespace

bool MakeDirectories(const str& path, unsigned mode)
{
    if (path.length() == 0)
        return false;
    if (isDirectory(path))
        return true;
    str parent = parentOf(path);
    if (parent != path && !isDirectory(parent) && !MakeDirectories(parent, mode))
        return false;
    if (::mkdir(path.c_str(), mode) == 0)
        giveParentsOwner(path);
    else if (errno != EEXIST)
        return false;
    return isDirectory(path);
}

bool CopyPath(char* out, int outSize, const char* text)
{
    size_t len = std::strlen(text);
    if (outSize <= 0)
        return false;
    if (len + 1 > static_cast<size_t>(outSize)) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, text, len + 1);
    return true;
}

str FindResourceFolder(const char* executablePath)
{
    if (const char* env = std::getenv("CORVELLATRIP_DATA"); env && env[0] && isDirectoryOrHidden(str(env)))
        return str(env);
    if (str folder = folderOfExecutable(executablePath); folder.length() > 0) {
        for (int up = 0; up < 4; ++up) {
            str candidate = folder + str("/data");
            if (isDirectoryOrHidden(candidate + str("/assets")))
                return candidate;
            folder = parentOf(folder);
        }
    }
#ifdef QM_SOURCE_DATA_DIR
    if (isDirectory(str(QM_SOURCE_DATA_DIR)))
        return str(QM_SOURCE_DATA_DIR);
#endif
    return str();
}

str ExpectedResourceFolder(const char* executablePath)
{
    if (const char* env = std::getenv("CORVELLATRIP_DATA"); env && env[0])
        return str(env);
    const str folder = folderOfExecutable(executablePath);
    return (folder.length() > 0 ? folder + str("/") : str()) + str("data");
}

str UserDataDirectoryPath()
{
    str base = dataHome();
    return base.length() == 0 ? str() : base + str("/") + str(kApplicationName);
}

str UserDataDirectory()
{
    str folder = UserDataDirectoryPath();
    return MakeDirectories(folder, 0700) ? folder : str();
}

str CommonDataDirectory()
{
    str base = dataHome();
    if (base.length() == 0)
        return str();
    str folder = base + str("/quellmoor/") + str(kApplicationName);
    return MakeDirectories(folder, 0700) ? folder : str();
}

std::FILE* OpenResource(const char* name, char* outPath)
{
    outPath[0] = 0;
    if (!name || !name[0])
        return nullptr;
    if (std::FILE* file = openRegularFile(name)) {
        str full;
        if (name[0] == '/') {
            full = str(name);
        } else {
            full = currentDirectory();
            if (full[full.length() - 1] != '/')
                full += str("/");
            full += str(name);
        }
        if (!CopyPath(outPath, kPathBufferSize, full.c_str())) {
            std::fclose(file);
            return nullptr;
        }
        return file;
    }
    str fallback = currentDirectory() + str("/assets/") + str(name);
    if (!CopyPath(outPath, kPathBufferSize, fallback.c_str()))
        return nullptr;
    return openRegularFile(outPath);
}

}  // namespace qm
