// The blocking loop itself, in this process: how it ends and what its shut-down does.
#include "FormWorld.h"
#include "controls/Timer.h"
#include "gui/Form.h"

namespace {

class RunTest : public FormTest {
protected:
    RecordingForm& form = MakeRecordingForm();
    void TearDown() override { Application::SetShutdownHook(nullptr); }
};

int ticks = 0;
void QuitOnThirdTick(Timer*)
{
    if (++ticks == 3) Application::SetQuit(true);
}

bool QuitOnClose(GUIElement*)
{
    Application::SetQuit(true);
    return true;
}

CallLog* hookCalls = nullptr;
void RecordShutdownHook() { hookCalls->push_back("shutdown hook"); }

}  // namespace

TEST_F(RunTest, WithQuitAlreadySetItShutsDownAtOnce)
{
    RecordingForm other(calls, "other");
    other.SetScreen(screen.get());
    other.Create();
    RecordingForm never(calls, "never");
    hookCalls = &calls;
    Application::SetShutdownHook(RecordShutdownHook);
    calls.clear();
    Application::SetQuit(true);
    Application::Run(&form);
    EXPECT_EQ(calls, (CallLog{"form.DestroyWindow", "other.DestroyWindow", "shutdown hook", "form.NotifyClosed"}));
    EXPECT_FALSE(form.IsCreated());
    EXPECT_FALSE(other.IsCreated());
}

TEST_F(RunTest, EndsWhenATimerHandlerSetsTheQuitFlag)
{
    Timer timer(&form, 20);
    ticks = 0;
    timer.SetOnTick(QuitOnThirdTick);
    timer.Start();
    Application::Run(&form);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(form.IsCreated());
    EXPECT_TRUE(form.IsClosed());
}

TEST_F(RunTest, DeleteWindowFromTheServerReachesTheMainFormsQueryCloseHandler)
{
    Form main(nullptr);
    main.SetScreen(screen.get());
    main.SetOnQueryClose(QuitOnClose);
    main.Create();
    XEvent ev{};
    ev.type = ClientMessage;
    ev.xclient.window = main.GetWindow();
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(main.GetDeleteAtom());
    ev.xclient.data.l[1] = CurrentTime;
    ASSERT_NE(XSendEvent(display, main.GetWindow(), False, NoEventMask, &ev), 0);
    XFlush(display);
    Application::Run(&main);
    EXPECT_TRUE(Application::Quit());
    EXPECT_FALSE(main.IsCreated());
    EXPECT_TRUE(main.IsClosed());
}
