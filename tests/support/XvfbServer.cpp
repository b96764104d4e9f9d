#include "XvfbServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

XvfbServer::XvfbServer() { Start(Options{}); }
XvfbServer::XvfbServer(const Options& options) { Start(options); }
XvfbServer::~XvfbServer() { Stop(); }

void XvfbServer::Start(const Options& options)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    const std::string visualClass = std::to_string(options.visualClass);
    std::string screen =
        std::to_string(options.width) + "x" + std::to_string(options.height) + "x" + std::to_string(options.depth);
    pid_ = fork();
    if (pid_ == 0) {
        // The write end must survive exec: Xvfb writes the display number into it.
        int out = dup(fds[1]);
        std::string fd = std::to_string(out);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        std::vector<const char*> argv = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                         screen.c_str(), "-nolisten",  "tcp",      "-noreset"};
        if (options.visualClass >= 0) {
            argv.push_back("-cc");
            argv.push_back(visualClass.c_str());
        }
        if (options.builtinFontsOnly) {
            argv.push_back("-fp");
            argv.push_back("built-ins");
        }
        argv.push_back(nullptr);
        execvp("Xvfb", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) {
        close(fds[0]);
        return;
    }
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char c;
        ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n') break;
        number.push_back(c);
    }
    close(fds[0]);
    if (number.empty()) {
        Kill();
        return;
    }
    display_ = ":" + number;
}

void XvfbServer::Kill()
{
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
    pid_ = -1;
}

void XvfbServer::Stop()
{
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        usleep(10000);
    }
    Kill();
}

ScopedDisplayEnv::ScopedDisplayEnv(const std::string& display)
{
    if (const char* old = getenv("DISPLAY")) {
        old_ = old;
        hadOld_ = true;
    }
    setenv("DISPLAY", display.c_str(), 1);
}

ScopedDisplayEnv::~ScopedDisplayEnv()
{
    if (hadOld_)
        setenv("DISPLAY", old_.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
