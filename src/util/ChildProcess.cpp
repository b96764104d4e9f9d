#include "util/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<pid_t>& StartedChildren()
{
    static std::vector<pid_t> children;
    return children;
}

} // namespace

pid_t RunInChild(const std::string& command)
{
    ReapFinishedChildren();
    const pid_t pid = fork();
    if (pid == 0) {
        [[maybe_unused]] const int status = std::system(command.c_str());
        _exit(0);
    }
    if (pid < 0) {
        [[maybe_unused]] const int status = std::system(command.c_str());
        return 0;
    }
    StartedChildren().push_back(pid);
    return pid;
}

void ReapFinishedChildren()
{
    std::vector<pid_t>& children = StartedChildren();
    const auto collected = [](pid_t pid) {
        const pid_t result = waitpid(pid, nullptr, WNOHANG);
        // ECHILD: someone else already collected it; it is gone all the same.
        return result == pid || (result < 0 && errno == ECHILD);
    };
    children.erase(std::remove_if(children.begin(), children.end(), collected), children.end());
}

std::size_t PendingChildren()
{
    return StartedChildren().size();
}
