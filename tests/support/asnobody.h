// Runs a check as another user: what a file's mode keeps from a user cannot
// be seen as root, who may read and write anything.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qmtest {

// The exit status of `what` (an int between 0 and 98) run in a child
// process turned into the user nobody; 99 when the child could not become
// that user, -1 when it did not exit. Root only.
template <typename F>
int AsNobody(const F& what)
{
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(99);
        ::_exit(what());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace qmtest
