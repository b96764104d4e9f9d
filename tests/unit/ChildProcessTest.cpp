#include "FileContents.h"
#include "ScopedTempDir.h"
#include "util/ShellCommands.h"
#include "util/Beep.h"
#include "util/ChildProcess.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sys/wait.h>
#include <thread>

namespace {

// Polls until `path` exists, at most a few seconds.
bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 500 && !FileExists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return FileExists(path);
}

// No child of this process is left to collect: the workers are not ours.
bool NoChildLeft() { return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

// Puts a stand-in player first on PATH: it records its arguments and takes a while,
// so that a caller that waited for it would be noticed. No sound is played.
class FakePlayer {
public:
    FakePlayer()
    {
        std::filesystem::create_directory("bin");
        PutFile("bin/aplay", "#!/bin/sh\necho \"$@\" >> played.txt\nsleep 0.3\nexit 1\n");
        std::filesystem::permissions("bin/aplay", std::filesystem::perms::owner_all);
        oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", (std::filesystem::current_path() / "bin").string().append(":").append(oldPath_).c_str(), 1);
    }
    ~FakePlayer() { setenv("PATH", oldPath_.c_str(), 1); }

private:
    std::string oldPath_;
};

}  // namespace

TEST(RunProgram, ReportsFailureAsTrue)
{
    EXPECT_FALSE(RunProgram("true", ""));
    EXPECT_TRUE(RunProgram("false", ""));
    EXPECT_TRUE(RunProgram("exit", "3"));
    EXPECT_FALSE(RunShellCommand("test 1 = 1"));
    EXPECT_TRUE(RunShellCommand("test 1 = 2"));
}

TEST(RunShellCommand, ReportsTheShellsExitStatus)
{
    int status = 0;
    EXPECT_TRUE(RunShellCommand("exit 3", &status));
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(RunShellCommand("no-such-program-anywhere 2>/dev/null", &status));
    EXPECT_EQ(status, 127);
    EXPECT_FALSE(RunWithoutShell({"test", "a b", "=", "a b"}));
    EXPECT_TRUE(RunWithoutShell({"no-such-program-anywhere"}));
}

TEST(RunDetached, RunsTheWorkAndLeavesNoChildBehind)
{
    ScopedTempDir dir;
    EXPECT_TRUE(RunDetached([] { RunShellCommand("echo done > marker.part && mv marker.part marker"); }));
    // Collected at once: the worker belongs to the system, not to us.
    EXPECT_TRUE(NoChildLeft());
    ASSERT_TRUE(WaitForFile("marker"));
    EXPECT_EQ(FileBytes("marker"), "done\n");
}

TEST(RunDetached, TheWorkerWritesNothingOnTheTerminal)
{
    ScopedTempDir dir;
    // The worker (the shell's parent) has /dev/null for its output and its errors.
    RunDetached([] { RunShellCommand("readlink /proc/$PPID/fd/1 /proc/$PPID/fd/2 > fds.part; mv fds.part fds"); });
    ASSERT_TRUE(WaitForFile("fds"));
    EXPECT_EQ(FileBytes("fds"), "/dev/null\n/dev/null\n");
}

TEST(RunDetached, LeavesSystemResultsInTheParentIntact)
{
    ScopedTempDir dir;
    RunDetached([] {});
    EXPECT_FALSE(RunShellCommand("true"));
    EXPECT_TRUE(RunShellCommand("false"));
    EXPECT_TRUE(NoChildLeft());
}

TEST(Beep, WithoutTheSoundFileStartsNoProcess)
{
    ScopedTempDir dir;
    FakePlayer player;
    Beep();
    EXPECT_TRUE(NoChildLeft());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(FileExists("played.txt"));
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(Beep, QuickBeepsEachStartAPlayerAndReturnAtOnce)
{
    ScopedTempDir dir;
    FakePlayer player;
    std::filesystem::create_directory("Data");
    PutFile("Data/beep.wav", "RIFF");
    const auto start = std::chrono::steady_clock::now();
    Beep();
    Beep();
    Beep();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(250));
    EXPECT_TRUE(NoChildLeft());
    for (int i = 0; i < 500 && FileBytes("played.txt").size() < 3 * 14; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(FileBytes("played.txt"), "Data/beep.wav\nData/beep.wav\nData/beep.wav\n");
}
