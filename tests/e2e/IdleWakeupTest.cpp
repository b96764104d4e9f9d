// An idle loop must sleep: no timer counting, no wake-ups. Measured from outside as
// the growth of the process's voluntary context switches over one second.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <chrono>
#include <thread>

#include "ProgramRunner.h"
#include "WindowProbe.h"

namespace {

using namespace std::chrono_literals;

// Voluntary context switches of `pid` during one second.
long WakeupsInOneSecond(pid_t pid)
{
    const long before = ProcStatusField(pid, "voluntary_ctxt_switches");
    std::this_thread::sleep_for(1s);
    const long after = ProcStatusField(pid, "voluntary_ctxt_switches");
    return before < 0 || after < 0 ? -1 : after - before;
}

class IdleWakeupTest : public testing::Test {
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

    // Closes the program's window and expects it to end normally.
    void CloseAndExpectCleanExit(ProgramRunner& run, Window w)
    {
        ASSERT_TRUE(SendDeleteWindow(display, w));
        ProgramRunner::Outcome s = run.Wait(10s);
        EXPECT_FALSE(s.timedOut);
        EXPECT_TRUE(s.exited);
        EXPECT_EQ(s.exitCode, 0) << run.Stderr();
    }

    Display* display = XOpenDisplay(nullptr);
};

}  // namespace

TEST_F(IdleWakeupTest, LoopWithAStoppedTimerDoesNotWakeUp)
{
    ProgramRunner run(QUORREL_IDLE_LOOP);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForOutput("looping\n", 10s)) << run.Stderr();
    Window w = WaitForWindowOfClass(display, "Quorrel.exe", 5s);
    ASSERT_NE(w, 0u);
    std::this_thread::sleep_for(300ms);  // let start-up traffic settle
    EXPECT_LE(WakeupsInOneSecond(run.Pid()), 2);
    CloseAndExpectCleanExit(run, w);
}

TEST_F(IdleWakeupTest, LoopWithARunningTimerPollsEveryTenMilliseconds)
{
    // The counterpart that shows the measurement would catch a polling loop.
    ProgramRunner run(QUORREL_IDLE_LOOP, {"running"});
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForOutput("looping\n", 10s)) << run.Stderr();
    Window w = WaitForWindowOfClass(display, "Quorrel.exe", 5s);
    ASSERT_NE(w, 0u);
    EXPECT_GE(WakeupsInOneSecond(run.Pid()), 30);
    CloseAndExpectCleanExit(run, w);
}
