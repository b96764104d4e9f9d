#include "ProgramRunner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#include "FileContents.h"

namespace {
using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// The CPU time and context switches of a sleeping process, which stay the same while
// it sleeps on; "" while it runs, waits to run or waits for the disk.
std::string SleepMark(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const std::size_t name = stat.rfind(')');
    if (name == std::string::npos || stat.compare(name, 4, ") S ") != 0) return "";
    std::istringstream fields(stat.substr(name + 4));
    std::string field, times;
    for (int i = 4; i <= 15 && fields >> field; ++i)
        if (i >= 14) times += field + " ";  // utime and stime
    return times + std::to_string(ProcStatusField(pid, "voluntary_ctxt_switches")) + " " +
           std::to_string(ProcStatusField(pid, "nonvoluntary_ctxt_switches"));
}
}  // namespace

ProgramRunner::ProgramRunner(std::string program, std::vector<std::string> args)
    : program_(std::move(program)),
      args_(std::move(args)),
      ownDir_(std::make_unique<TempDir>()),
      workDir_(ownDir_->Path())
{}

ProgramRunner::~ProgramRunner()
{
    if (pid_ > 0) Kill(SIGKILL);
    CloseFds();
}

void ProgramRunner::SetEnv(const std::string& name, const std::string& value) { setEnv_[name] = value; }
void ProgramRunner::UnsetEnv(const std::string& name) { unsetEnv_.push_back(name); }

std::string ProgramRunner::ReadFile(const std::string& relative) const
{
    return ReadWholeFile(workDir_ + "/" + relative);
}

std::string ProgramRunner::Log() const { return ReadLog(workDir_); }

bool ProgramRunner::FileExists(const std::string& relative) const
{
    return access((workDir_ + "/" + relative).c_str(), F_OK) == 0;
}

bool ProgramRunner::WriteFile(const std::string& relative, const std::string& contents) const
{
    return WriteWholeFile(workDir_ + "/" + relative, contents);
}

bool ProgramRunner::CopyDir(const std::string& source, const std::string& relative) const
{
    std::error_code ec;
    std::filesystem::copy(source, workDir_ + "/" + relative, std::filesystem::copy_options::recursive, ec);
    return !ec;
}

bool ProgramRunner::Start()
{
    if (pid_ > 0 || workDir_.empty()) return false;
    int out[2], err[2], exec[2];
    if (pipe2(out, O_CLOEXEC) != 0) return false;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return false;
    }
    // Closed by a successful exec; carries errno when exec fails.
    if (pipe2(exec, O_CLOEXEC) != 0) {
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        return false;
    }

    std::vector<std::string> argvText = {program_};
    argvText.insert(argvText.end(), args_.begin(), args_.end());
    std::vector<char*> argv;
    for (std::string& a : argvText) argv.push_back(a.data());
    argv.push_back(nullptr);

    status_ = Outcome{};
    out_.clear();
    err_.clear();
    pid_ = fork();
    if (pid_ == 0) {
        int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (const std::string& name : unsetEnv_) unsetenv(name.c_str());
        for (const auto& [name, value] : setEnv_) setenv(name.c_str(), value.c_str(), 1);
        if (chdir(workDir_.c_str()) == 0) execv(program_.c_str(), argv.data());
        int e = errno;
        (void)!write(exec[1], &e, sizeof e);
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    close(exec[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    bool started = pid_ > 0;
    if (started) {
        int e = 0;
        ssize_t n;
        while ((n = read(exec[0], &e, sizeof e)) < 0 && errno == EINTR) {}
        if (n > 0) {
            started = false;
            Reap(true);
        }
    }
    close(exec[0]);
    if (!started) {
        CloseFds();
        pid_ = -1;
    }
    return started;
}

void ProgramRunner::Drain(int timeoutMs)
{
    pollfd fds[2];
    int count = 0;
    if (outFd_ >= 0) fds[count++] = {outFd_, POLLIN, 0};
    if (errFd_ >= 0) fds[count++] = {errFd_, POLLIN, 0};
    if (count == 0) {
        if (timeoutMs > 0) usleep(static_cast<useconds_t>(timeoutMs) * 1000);
        return;
    }
    if (poll(fds, static_cast<nfds_t>(count), timeoutMs) <= 0) return;
    for (int i = 0; i < count; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char buffer[4096];
        ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        const bool isOut = fds[i].fd == outFd_;
        if (n > 0) {
            (isOut ? out_ : err_).append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            close(fds[i].fd);
            (isOut ? outFd_ : errFd_) = -1;
        }
    }
}

void ProgramRunner::CloseFds()
{
    if (outFd_ >= 0) close(outFd_);
    if (errFd_ >= 0) close(errFd_);
    outFd_ = errFd_ = -1;
}

bool ProgramRunner::Reap(bool block)
{
    if (pid_ <= 0) return true;
    int raw = 0;
    pid_t r;
    while ((r = waitpid(pid_, &raw, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {}
    if (r == 0) return false;
    if (r == pid_) {
        status_.exited = WIFEXITED(raw);
        status_.exitCode = status_.exited ? WEXITSTATUS(raw) : -1;
        status_.signaled = WIFSIGNALED(raw);
        status_.signal = status_.signaled ? WTERMSIG(raw) : 0;
    }
    pid_ = -1;
    return true;
}

bool ProgramRunner::Running()
{
    Drain(0);
    return pid_ > 0 && !Reap(false);
}

ProgramRunner::Outcome ProgramRunner::Wait(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (pid_ > 0) {
        if (Reap(false)) break;
        if (Clock::now() >= deadline) {
            Outcome s = status_;
            s.timedOut = true;
            return s;
        }
        Drain(std::min(20, MillisecondsLeft(deadline)));
    }
    // Whatever the program wrote just before it ended; a child it left behind may
    // hold the pipes open, so this does not wait for their end forever.
    const auto drainUntil = Clock::now() + std::chrono::seconds(1);
    while ((outFd_ >= 0 || errFd_ >= 0) && Clock::now() < drainUntil) Drain(50);
    return status_;
}

bool ProgramRunner::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (out_.find(text) != std::string::npos) return true;
        if (Clock::now() >= deadline || (outFd_ < 0 && !Running())) return false;
        Drain(std::min(20, MillisecondsLeft(deadline)));
    }
}

bool ProgramRunner::WaitForIdle(std::chrono::milliseconds timeout, const std::vector<pid_t>& others)
{
    const auto deadline = Clock::now() + timeout;
    std::string last;
    while (Running()) {
        std::string mark = SleepMark(pid_);
        for (pid_t other : others) {
            const std::string more = mark.empty() ? "" : SleepMark(other);
            mark = more.empty() ? "" : mark + "|" + more;
        }
        if (!mark.empty() && mark == last) return true;
        if (Clock::now() >= deadline) return false;
        last = mark;
        Drain(20);  // a full output pipe would hold the program asleep in its write
    }
    return false;
}

void ProgramRunner::Kill(int signal)
{
    if (pid_ <= 0) return;
    kill(pid_, signal);
    if (signal == SIGKILL) Reap(true);
}

const std::string& ProgramRunner::Stdout()
{
    Drain(0);
    return out_;
}

const std::string& ProgramRunner::Stderr()
{
    Drain(0);
    return err_;
}

long ProcStatusField(pid_t pid, const std::string& field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, field.size() + 1, field + ":") != 0) continue;
        return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}
