// The real program from the outside: without a display it stops with a message; on a
// display it shows its window, sleeps while idle and ends when the window is closed.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ProgramRunner.h"
#include "WindowProbe.h"

namespace {

using namespace std::chrono_literals;

class ProgramStartTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(display, nullptr);
        ASSERT_TRUE(WaitForNoWindowOfClass(display, "Quorrel.exe", 5s)) << "a program of an earlier test is still up";
    }
    void TearDown() override
    {
        if (display) XCloseDisplay(display);
    }

    // Starts the program and waits for its main window.
    Window StartAndWaitForWindow(ProgramRunner& run)
    {
        if (!run.Start()) return 0;
        return WaitForWindowOfClass(display, "Quorrel.exe", 60s);
    }

    Display* display = XOpenDisplay(nullptr);
};

}  // namespace

TEST_F(ProgramStartTest, WithoutDisplayItPrintsTheFailureAndExitsWithOne)
{
    ProgramRunner run(QUORREL_PROGRAM);
    run.UnsetEnv("DISPLAY");
    ASSERT_TRUE(run.Start());
    ProgramRunner::Outcome s = run.Wait(10s);
    ASSERT_FALSE(s.timedOut);
    EXPECT_TRUE(s.exited);
    EXPECT_EQ(s.exitCode, 1) << run.Stderr();
    EXPECT_EQ(run.Stdout(), "XOpenDisplay(0) failed.\n");
    EXPECT_EQ(run.Log(), "XOpenDisplay(0) failed.\n");
}

TEST_F(ProgramStartTest, ALogLeftFromAnEarlierRunIsReplaced)
{
    ProgramRunner run(QUORREL_PROGRAM);
    ASSERT_TRUE(run.WriteFile("log.txt", "from an earlier run\n"));
    run.UnsetEnv("DISPLAY");
    ASSERT_TRUE(run.Start());
    ASSERT_FALSE(run.Wait(10s).timedOut);
    EXPECT_EQ(run.Log(), "XOpenDisplay(0) failed.\n");
}

TEST_F(ProgramStartTest, ShowsOneWindowNamedAfterTheProgram)
{
    ProgramRunner run(QUORREL_PROGRAM);
    ASSERT_TRUE(run.CopyDir(QUORREL_DATA_DIR, "Data"));
    Window w = StartAndWaitForWindow(run);
    ASSERT_NE(w, 0u) << run.Stderr();
    char* name = nullptr;
    ASSERT_NE(XFetchName(display, w, &name), 0);
    EXPECT_EQ(std::string(name).rfind("Quorrel", 0), 0u) << name;
    XFree(name);
    EXPECT_EQ(WindowsOfClass(display, "Quorrel.exe").size(), 1u);
}

TEST_F(ProgramStartTest, AStartThatLogsNothingLeavesNoLogBehind)
{
    ProgramRunner run(QUORREL_PROGRAM);
    ASSERT_TRUE(run.CopyDir(QUORREL_DATA_DIR, "Data"));
    ASSERT_TRUE(run.WriteFile("log.txt", "from an earlier run\n"));
    ASSERT_NE(StartAndWaitForWindow(run), 0u) << run.Stderr();
    ASSERT_TRUE(run.WaitForIdle());  // the first paint loads the stored game
    EXPECT_FALSE(run.FileExists("log.txt")) << run.Log();
    EXPECT_EQ(run.Stdout(), "");
}

// A session bus that is no bus: it takes the connection and then says nothing, hangs
// up, or answers with garbage.
class BrokenBus {
public:
    BrokenBus(const std::string& path, const char* kind) : kind_(kind)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 4) != 0)
            return;
        thread_ = std::thread([this] {
            for (int c; (c = accept(listener_, nullptr, nullptr)) >= 0; connected_ = true) {
                if (kind_ == "hangs up") close(c);
                if (kind_ == "garbage") {
                    static const char junk[] = "\x01\xff garbage\r\nOK \x6c\x02\x01\r\n";
                    (void)!write(c, junk, sizeof junk - 1);
                }
                if (kind_ != "hangs up") held_.push_back(c);
            }
        });
    }
    ~BrokenBus()
    {
        shutdown(listener_, SHUT_RDWR);
        close(listener_);
        if (thread_.joinable()) thread_.join();
        for (int c : held_) close(c);
    }

    // The game has come to it (a while after its first picture).
    bool Connected() const { return connected_; }

private:
    std::atomic<bool> connected_ = false;
    std::string kind_;
    int listener_ = -1;
    std::thread thread_;
    std::vector<int> held_;
};

// Idle, the game sleeps; so it does beside a session bus that fails it, which costs
// at most one line of the log.
TEST_F(ProgramStartTest, MakesNoWakeupsWhileIdle)
{
    for (const char* bus : {"", "says nothing", "hangs up", "garbage"}) {
        SCOPED_TRACE(std::string("session bus: ") + bus);
        ProgramRunner run(QUORREL_PROGRAM);
        ASSERT_TRUE(run.CopyDir(QUORREL_DATA_DIR, "Data"));
        std::optional<BrokenBus> broken;
        if (*bus) {
            broken.emplace(run.WorkDir() + "/bus", bus);
            run.SetEnv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + run.WorkDir() + "/bus");
        }
        ASSERT_NE(StartAndWaitForWindow(run), 0u) << run.Stderr();
        for (int i = 0; broken && !broken->Connected() && i < 3000; ++i) std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(!broken || broken->Connected());
        ASSERT_TRUE(run.WaitForIdle());  // the first paint is done, and what the bus did
        const long before = ProcStatusField(run.Pid(), "voluntary_ctxt_switches");
        std::this_thread::sleep_for(1s);
        const long after = ProcStatusField(run.Pid(), "voluntary_ctxt_switches");
        ASSERT_GE(before, 0);
        EXPECT_LE(after - before, 2);
        const std::string log = run.Log();
        EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 1) << log;
        run.Kill();
        ASSERT_TRUE(WaitForNoWindowOfClass(display, "Quorrel.exe", 30s));
    }
}

TEST_F(ProgramStartTest, TheCloseBoxAloneDoesNotEndTheProgram)
{
    ProgramRunner run(QUORREL_PROGRAM);
    ASSERT_TRUE(run.CopyDir(QUORREL_DATA_DIR, "Data"));
    Window w = StartAndWaitForWindow(run);
    ASSERT_NE(w, 0u) << run.Stderr();
    ASSERT_TRUE(SendDeleteWindow(display, w));
    // Handled (the question is up) and still running.
    ASSERT_TRUE(run.WaitForIdle(60s, {ServerPid(display)}));
    const std::vector<Window> windows = WindowsOfClass(display, "Quorrel.exe");
    EXPECT_NE(std::find(windows.begin(), windows.end(), w), windows.end());
}
