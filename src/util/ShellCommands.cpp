#include "util/ShellCommands.h"

#include <cerrno>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

bool RunShellCommand(const std::string& command, int* exitStatus)
{
    const int status = std::system(command.c_str());
    if (exitStatus) *exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status != 0;
}

bool RunWithoutShell(const std::vector<std::string>& args)
{
    if (args.empty()) return true;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return true;
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return true;
    }
    return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
}
