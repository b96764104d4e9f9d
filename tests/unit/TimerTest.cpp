// Timers counted in idle 10 ms steps: when they fire, what changes elapsed, and the
// order in which Application::TickTimers visits them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "FreshRegistry.h"
#include "RecordingForm.h"
#include "ScopedTempDir.h"
#include "app/Application.h"
#include "controls/Timer.h"

namespace {

std::vector<std::string> fired;
void RecordTick(Timer* t) { fired.push_back(t->GetTag()); }

class TimerTest : public testing::Test {
protected:
    void SetUp() override { fired.clear(); }

    // The number of the first Application::TickTimers(10) step that fires, or 0 within `limit`.
    int StepsUntilFired(int limit)
    {
        for (int step = 1; step <= limit; ++step) {
            Application::TickTimers(10);
            if (!fired.empty()) return step;
        }
        return 0;
    }

private:
    ScopedTempDir dir_;
    FreshRegistry fresh_;

protected:
    CallLog calls;
    RecordingForm form{calls, "form"};
};

Timer* spawned = nullptr;
void SpawnRunningTimer(Timer* t)
{
    fired.push_back(t->GetTag());
    if (spawned) return;
    spawned = new Timer(nullptr, 0);
    spawned->SetTag("spawned");
    spawned->SetOnTick(RecordTick);
    spawned->Start();
}

void StopSelf(Timer* t)
{
    fired.push_back(t->GetTag());
    t->Stop();
}

}  // namespace

TEST_F(TimerTest, IsAnInvisibleNonTabStopChildOfItsForm)
{
    Timer t(&form, 100);
    EXPECT_EQ(t.GetKind(), "timer");
    EXPECT_EQ(t.GetText(), "timer");
    EXPECT_EQ(t.GetParent(), &form);
    EXPECT_FALSE(t.IsTabStop());
    EXPECT_EQ(t.GetSize(), (Point{0, 0}));
    EXPECT_EQ(t.GetInterval(), 100u);
}

TEST_F(TimerTest, DoesNotCountUntilStarted)
{
    Timer t(&form, 0);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    Application::TickTimers(10);
    t.Fire();
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(t.GetElapsed(), 0u);
}

TEST_F(TimerTest, StartCreatesItAndGivesItAnIdButLeavesUserDataAndVisibility)
{
    Timer t(&form, 100);
    t.Start();
    EXPECT_TRUE(t.IsRunning());
    EXPECT_TRUE(t.IsCreated());
    EXPECT_GT(t.GetId(), 0u);
    EXPECT_EQ(t.GetUserDataRef(), 0u);
    EXPECT_FALSE(t.IsVisible());
}

TEST_F(TimerTest, FourHundredMillisecondsFireOnTheFortiethStep)
{
    Timer t(&form, 400);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    EXPECT_EQ(StepsUntilFired(100), 40);
    EXPECT_EQ(t.GetElapsed(), 0u);
}

TEST_F(TimerTest, KeepsFiringEveryIntervalAfterAnExpiry)
{
    Timer t(&form, 30);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    for (int i = 0; i < 9; ++i) Application::TickTimers(10);
    EXPECT_EQ(fired.size(), 3u);
    EXPECT_TRUE(t.IsRunning());
}

TEST_F(TimerTest, IntervalNotAMultipleOfTheStepRoundsUp)
{
    Timer t(&form, 25);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    EXPECT_EQ(StepsUntilFired(10), 3);
}

TEST_F(TimerTest, IntervalZeroFiresOnEveryStep)
{
    Timer t(&form, 0);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    for (int i = 0; i < 5; ++i) Application::TickTimers(10);
    EXPECT_EQ(fired.size(), 5u);
}

TEST_F(TimerTest, SetIntervalOnARunningTimerKeepsElapsed)
{
    Timer t(&form, 1000);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    for (int i = 0; i < 30; ++i) Application::TickTimers(10);
    t.SetInterval(200);
    EXPECT_TRUE(t.IsRunning());
    EXPECT_EQ(t.GetElapsed(), 300u);
    EXPECT_EQ(StepsUntilFired(1), 1);
}

TEST_F(TimerTest, SetIntervalOnAStoppedTimerLeavesItStopped)
{
    Timer t(&form, 1000);
    t.SetInterval(50);
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.GetInterval(), 50u);
}

TEST_F(TimerTest, StopThenStartContinuesFromTheElapsedTime)
{
    Timer t(&form, 100);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    for (int i = 0; i < 6; ++i) Application::TickTimers(10);
    t.Stop();
    Application::TickTimers(10);
    EXPECT_EQ(t.GetElapsed(), 60u);
    t.Start();
    EXPECT_EQ(StepsUntilFired(10), 4);
}

TEST_F(TimerTest, AdvanceReturnsTrueExactlyWhenItResetsElapsed)
{
    Timer t(&form, 25);
    EXPECT_FALSE(t.Advance(10));
    EXPECT_EQ(t.GetElapsed(), 10u);
    EXPECT_FALSE(t.Advance(10));
    EXPECT_TRUE(t.Advance(10));
    EXPECT_EQ(t.GetElapsed(), 0u);
}

TEST_F(TimerTest, AdvanceDoesNotCallTheHandler)
{
    Timer t(&form, 0);
    t.SetTag("t");
    t.SetOnTick(RecordTick);
    t.Start();
    EXPECT_TRUE(t.Advance(10));
    EXPECT_TRUE(fired.empty());
}

TEST_F(TimerTest, WithoutHandlerItStillResetsAtEachExpiry)
{
    Timer t(&form, 30);
    t.Start();
    for (int i = 0; i < 3; ++i) Application::TickTimers(10);
    EXPECT_EQ(t.GetElapsed(), 0u);
    Application::TickTimers(10);
    EXPECT_EQ(t.GetElapsed(), 10u);
}

TEST_F(TimerTest, TickTimersVisitsTimersInConstructionOrder)
{
    Timer second(&form, 10);
    Timer first(&form, 10);
    second.SetTag("constructed first");
    first.SetTag("constructed second");
    second.SetOnTick(RecordTick);
    first.SetOnTick(RecordTick);
    first.Start();
    second.Start();
    Application::TickTimers(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"constructed first", "constructed second"}));
}

TEST_F(TimerTest, ATimerCreatedByAHandlerIsFirstVisitedInTheNextPass)
{
    Timer t(&form, 0);
    t.SetTag("t");
    t.SetOnTick(SpawnRunningTimer);
    t.Start();
    spawned = nullptr;
    Application::TickTimers(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"t"}));
    Application::TickTimers(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"t", "t", "spawned"}));
    delete spawned;
    spawned = nullptr;
}

TEST_F(TimerTest, AHandlerMayStopItsOwnTimer)
{
    Timer t(&form, 10);
    t.SetTag("t");
    t.SetOnTick(StopSelf);
    t.Start();
    Application::TickTimers(10);
    Application::TickTimers(10);
    EXPECT_EQ(fired, (std::vector<std::string>{"t"}));
    EXPECT_FALSE(t.IsRunning());
}

TEST_F(TimerTest, AnyTimerRunningIsTrueOnlyWhileOneCounts)
{
    Timer t(&form, 10);
    EXPECT_FALSE(Application::AnyTimerRunning());
    t.Start();
    EXPECT_TRUE(Application::AnyTimerRunning());
    t.Stop();
    EXPECT_FALSE(Application::AnyTimerRunning());
}

TEST(WaitReadableTest, TimesOutWithZeroWhenNothingArrives)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    EXPECT_EQ(WaitReadable(fds[0], 10), 0);
    close(fds[0]);
    close(fds[1]);
}

TEST(WaitReadableTest, ReturnsPositiveWhenTheDescriptorIsReadable)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    EXPECT_GT(WaitReadable(fds[0], 1000), 0);
    close(fds[0]);
    close(fds[1]);
}
