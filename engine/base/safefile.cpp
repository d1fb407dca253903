#include "engine/base/safefile.h"

#include "engine/base/debuglog.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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

}  // namespace

bool WriteFileReplacing(const str& path, const void* data, std::size_t size)
{
    str pattern = path + str(".XXXXXX");
    std::string temp(pattern.c_str());
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        WriteDbg("Cannot save %s: cannot create a temporary file (%s)", path.c_str(), std::strerror(errno));
        return false;
    }
    bool written = writeAll(fd, static_cast<const char*>(data), size);
    int error = errno;
    if (written && ::fsync(fd) != 0) {
        written = false;
        error = errno;
    }
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        WriteDbg("Cannot save %s: %s; the previous file is kept", path.c_str(), std::strerror(error));
        return false;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        WriteDbg("Cannot save %s: rename failed (%s); the previous file is kept", path.c_str(), std::strerror(error));
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

bool ReadWholeFile(const str& path, std::string* bytes)
{
    bytes->clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    return file && ReadAndClose(file, bytes);
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

}  // namespace qm
