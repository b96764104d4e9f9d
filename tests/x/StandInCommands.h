#pragma once
// Stand-ins for the outside programs the game starts (the sound player, the browser,
// the mail client): small shell scripts put first on PATH for the length of a test,
// each writing the arguments it was given into a file of its own, one a line. The
// helpers below wait for such a file and check that the game leaves no zombie
// behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"

namespace stand_in {

// Polls `done` every 5 ms until it holds or `timeout` (generous: a loaded machine
// starts a shell slowly) has passed.
template <typename Pred>
bool WaitUntil(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(60))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// The children of this process that have ended and were not collected (zombies).
inline int ZombieChildren()
{
    int zombies = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return 0;
    while (dirent* t = readdir(tasks)) {
        if (t->d_name[0] == '.') continue;
        std::ifstream list(std::string("/proc/self/task/") + t->d_name + "/children");
        long pid = 0;
        while (list >> pid) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
            const size_t close = text.rfind(')');
            if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z') ++zombies;
        }
    }
    closedir(tasks);
    return zombies;
}

// The game's workers are detached: none of them may stay behind as a zombie of
// this process. Polls briefly for the short-lived intermediate child.
inline bool ReapAll(std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    return WaitUntil([] { return ZombieChildren() == 0; }, timeout);
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
    // The folder holding the stand-ins.
    std::string Dir() const { return bin_.Path(); }
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
