#include "engine/platform/browser.h"

#include "engine/base/debuglog.h"

#include <cstring>
#include <ctime>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace qm {

namespace {

constexpr int kEarlyAnswerMs = 300;
constexpr int kPollMs = 10;

// Children already started; reaped whenever another is started, so finished
// ones do not linger as zombies.
std::vector<pid_t>& children()
{
    static std::vector<pid_t> pids;
    return pids;
}

void reapFinishedChildren()
{
    auto& pids = children();
    std::erase_if(pids, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
}

}  // namespace

bool IsWebAddress(const char* url)
{
    if (!url)
        return false;
    size_t schemeLength;
    if (::strncasecmp(url, "http://", 7) == 0)
        schemeLength = 7;
    else if (::strncasecmp(url, "https://", 8) == 0)
        schemeLength = 8;
    else
        return false;
    if (url[schemeLength] == 0)
        return false;
    for (const char* p = url; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

bool SpawnBrowser(const char* url)
{
    reapFinishedChildren();
    char program[] = "xdg-open";
    std::vector<char> address(url, url + std::strlen(url) + 1);
    char* argv[] = {program, address.data(), nullptr};
    pid_t pid = 0;
    int error = ::posix_spawnp(&pid, program, nullptr, nullptr, argv, environ);
    if (error != 0) {
        WriteDbg("OpenBrowser: cannot start xdg-open: %s", std::strerror(error));
        return false;
    }
    // xdg-open that finds no browser says so by its exit status, at once:
    // the program waits a moment for that answer. One still running then is
    // taken as a browser starting (it may stay until the browser closes).
    for (int waited = 0; waited < kEarlyAnswerMs; waited += kPollMs) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return true;
            WriteDbg("OpenBrowser: xdg-open started no browser (%s %d)",
                     WIFEXITED(status) ? "exit status" : "signal",
                     WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
            return false;
        }
        const timespec pause{0, kPollMs * 1000000L};
        ::nanosleep(&pause, nullptr);
    }
    children().push_back(pid);
    return true;
}

}  // namespace qm
