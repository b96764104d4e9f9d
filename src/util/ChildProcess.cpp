#include "util/ChildProcess.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The worker's descriptors: /dev/null for the standard three, nothing else.
void DetachDescriptors()
{
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    const long limit = sysconf(_SC_OPEN_MAX);
    const int last = limit > 0 && limit < INT_MAX ? static_cast<int>(limit) : 1024;
    for (int fd = STDERR_FILENO + 1; fd < last; ++fd) close(fd);
}

}  // namespace

bool RunDetached(const std::function<void()>& work)
{
    const pid_t child = fork();
    if (child < 0) {
        work();
        return false;
    }
    if (child == 0) {
        const pid_t worker = fork();
        if (worker == 0 || worker < 0) {
            // Without a second process the child does the work itself; the caller
            // then waits for it, as when the first fork fails.
            DetachDescriptors();
            work();
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    return true;
}
