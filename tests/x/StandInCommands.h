#pragma once
// Stand-ins for the outside programs the game starts (the sound player, the browser,
// the mail client): small shell scripts put first on PATH for the length of a test,
// each writing the arguments it was given into a file of its own, one a line. The
// helpers below wait for such a file and for the children the game started to be
// collected again, so that a test never leaves a zombie behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "util/ChildProcess.h"

namespace stand_in {

// Polls `done` every 5 ms until it holds or `timeout` has passed.
template <typename Pred>
bool WaitUntil(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Collects the children started through RunInChild as they end; false when some are
// still running after `timeout`.
inline bool ReapAll(std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    return WaitUntil(
        [] {
            ReapFinishedChildren();
            return PendingChildren() == 0;
        },
        timeout);
}

// Waits for one child of this process to end and returns its wait status; -1 when
// none ended in time. Only for tests that know exactly one child is under way.
inline int WaitForAnyChild(std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    int status = -1;
    const bool ended = WaitUntil(
        [&status] {
            int s = 0;
            const pid_t pid = waitpid(-1, &s, WNOHANG);
            if (pid > 0) status = s;
            return pid > 0 || (pid < 0 && errno == ECHILD);
        },
        timeout);
    return ended ? status : -1;
}

// A folder of stand-in programs, first on PATH until the object goes away.
class Programs {
public:
    Programs()
    {
        const char* path = std::getenv("PATH");
        hadPath_ = path != nullptr;
        oldPath_ = path ? path : "";
        setenv("PATH", (bin_.Path() + ":" + oldPath_).c_str(), 1);
    }
    ~Programs()
    {
        if (hadPath_)
            setenv("PATH", oldPath_.c_str(), 1);
        else
            unsetenv("PATH");
    }
    Programs(const Programs&) = delete;
    Programs& operator=(const Programs&) = delete;

    bool Ok() const { return bin_.Ok(); }

    // A program `name` that first runs the shell text `before`, then writes its
    // arguments to ArgsFile(name) and ends with `exitCode`. The file appears whole or
    // not at all.
    bool Add(const std::string& name, int exitCode = 0, const std::string& before = "")
    {
        const std::string args = ArgsFile(name);
        const std::string script = "#!/bin/sh\n" + before + "\nprintf '%s\\n' \"$@\" > '" + args + ".part' && mv '" +
                                   args + ".part' '" + args + "'\nexit " + std::to_string(exitCode) + "\n";
        if (!bin_.WriteFile(name, script)) return false;
        return chmod(bin_.File(name).c_str(), 0755) == 0;
    }

    std::string ArgsFile(const std::string& name) const { return bin_.File(name + ".args"); }
    bool Ran(const std::string& name) const { return bin_.Exists(name + ".args"); }
    bool WaitForRun(const std::string& name) const
    {
        return WaitUntil([&] { return Ran(name); });
    }
    // The arguments the program was started with, one per entry.
    std::vector<std::string> Args(const std::string& name) const
    {
        std::vector<std::string> lines;
        std::string text = bin_.ReadFile(name + ".args");
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find('\n', start);
            lines.push_back(text.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        return lines;
    }

private:
    TempDir bin_;
    std::string oldPath_;
    bool hadPath_ = false;
};

}  // namespace stand_in
