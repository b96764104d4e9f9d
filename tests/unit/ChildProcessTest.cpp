#include "FileContents.h"
#include "ScopedTempDir.h"
#include "game/ShellCommands.h"
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

// Collects our children, waiting at most a few seconds for slow ones.
bool AllChildrenCollected()
{
    for (int i = 0; i < 500 && PendingChildren() > 0; ++i) {
        ReapFinishedChildren();
        if (PendingChildren() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return PendingChildren() == 0;
}

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

} // namespace

TEST(RunProgram, ReportsFailureAsTrue)
{
    EXPECT_FALSE(RunProgram("true", ""));
    EXPECT_TRUE(RunProgram("false", ""));
    EXPECT_TRUE(RunProgram("exit", "3"));
    EXPECT_FALSE(RunShellCommand("test 1 = 1"));
    EXPECT_TRUE(RunShellCommand("test 1 = 2"));
}

TEST(RunInChild, RunsTheCommandAndTheFinishedChildIsCollected)
{
    ScopedTempDir dir;
    const pid_t pid = RunInChild("echo done > marker");
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(AllChildrenCollected());
    EXPECT_EQ(FileBytes("marker"), "done\n");
    // Collected: no zombie is left to wait for.
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(RunInChild, ChildrenEndCleanlyWhateverTheCommandReported)
{
    ScopedTempDir dir;
    const pid_t pid = RunInChild("exit 7");
    ASSERT_GT(pid, 0);
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ReapFinishedChildren();
    EXPECT_EQ(PendingChildren(), 0u);
}

TEST(RunInChild, StartingAChildCollectsTheOnesThatFinished)
{
    ScopedTempDir dir;
    for (int i = 0; i < 5; ++i) RunInChild("true");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RunInChild("true");
    EXPECT_LE(PendingChildren(), 1u);
    EXPECT_TRUE(AllChildrenCollected());
}

TEST(RunInChild, LeavesSystemResultsInTheParentIntact)
{
    ScopedTempDir dir;
    RunInChild("true");
    EXPECT_FALSE(RunShellCommand("true"));
    EXPECT_TRUE(RunShellCommand("false"));
    EXPECT_TRUE(AllChildrenCollected());
}

TEST(Beep, WithoutTheSoundFileStartsNoProcess)
{
    ScopedTempDir dir;
    FakePlayer player;
    Beep();
    EXPECT_EQ(PendingChildren(), 0u);
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
    ASSERT_TRUE(AllChildrenCollected());
    EXPECT_EQ(FileBytes("played.txt"), "Data/beep.wav\nData/beep.wav\nData/beep.wav\n");
}
