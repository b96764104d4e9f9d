// The dispatch table, driven with hand-made events on a real created form: which
// element operations each event reaches, and in which order.
#include "FormWorld.h"

#include <X11/keysym.h>
#include "gui/Form.h"

namespace {
class DispatchTest : public FormTest {
protected:
    RecordingForm& form = MakeRecordingForm();
};
using Calls = CallLog;
}  // namespace

// ---------------------------------------------------------------- keys

TEST_F(DispatchTest, KeyPressReachesTheFocusThenTheForm)
{
    Application::SetFocused(&Add("a", 0, 0, 10, 10));
    Dispatch(Key(KeyPress, XK_a));
    EXPECT_EQ(calls, (Calls{"a.KeyDown(a)", "form.KeyDown(a)"}));
}

TEST_F(DispatchTest, KeyPressWithoutFocusReachesOnlyTheForm)
{
    Add("a", 0, 0, 10, 10);
    Dispatch(Key(KeyPress, XK_a));
    EXPECT_EQ(calls, (Calls{"form.KeyDown(a)"}));
}

TEST_F(DispatchTest, KeyReleaseGivesCharacterAndKeyUpToTheFocusThenToTheForm)
{
    Application::SetFocused(&Add("a", 0, 0, 10, 10));
    Dispatch(Key(KeyRelease, XK_a));
    EXPECT_EQ(calls, (Calls{"a.KeyChar(97)", "a.KeyUp(a)", "form.KeyChar(97)", "form.KeyUp(a)"}));
}

TEST_F(DispatchTest, KeyWithoutCharacterReachesKeyUpButNoKeyChar)
{
    Application::SetFocused(&Add("a", 0, 0, 10, 10));
    Type(XK_F1);
    EXPECT_EQ(calls, (Calls{"a.KeyDown(F1)", "form.KeyDown(F1)", "a.KeyUp(F1)", "form.KeyUp(F1)"}));
}

TEST_F(DispatchTest, DisabledFormIgnoresKeysAndMotion)
{
    Application::SetFocused(&Add("a", 0, 0, 10, 10));
    form.SetEnabled(false);
    Type(XK_a);
    Type(XK_Tab);
    XEvent motion{};
    motion.type = MotionNotify;
    motion.xmotion.window = form.GetWindow();
    Dispatch(motion);
    EXPECT_TRUE(calls.empty());
}

TEST_F(DispatchTest, DisabledFormGetsOnlyItsOwnMouseDownAndMouseUp)
{
    RecordingControl& a = Add("a", 0, 0, 50, 50);
    RecordingControl& b = Add("b", 100, 0, 50, 50);
    Application::SetFocused(&a);
    form.SetEnabled(false);
    Dispatch(Button(ButtonPress, 120, 10));
    Dispatch(Button(ButtonRelease, 120, 10));
    Dispatch(Button(ButtonPress, 10, 10, Button3));
    EXPECT_EQ(calls, (Calls{"form.MouseDown(120,10)", "form.MouseUp(120,10)", "form.MouseDown(10,10)"}));
    EXPECT_EQ(Application::Focused(), &a);
    EXPECT_FALSE(b.HasFocus());
}

// ---------------------------------------------------------------- Tab

TEST_F(DispatchTest, TabMovesFocusToTheNextTabStopAndOnlyTheFormSeesTheKey)
{
    RecordingControl& a = Add("a", 0, 0, 10, 10);
    RecordingControl& b = Add("b", 20, 0, 10, 10);
    Application::SetFocused(&a);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "b.GotFocus", "form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), &b);
}

TEST_F(DispatchTest, TabSkipsControlsThatAreNoTabStopsDisabledOrHidden)
{
    RecordingControl& a = Add("a", 0, 0, 10, 10);
    Add("skipped", 20, 0, 10, 10).SetTabStop(false);
    Add("disabled", 30, 0, 10, 10).SetEnabled(false);
    Add("hidden", 40, 0, 10, 10).Hide();
    RecordingControl& c = Add("c", 50, 0, 10, 10);
    Application::SetFocused(&a);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(Application::Focused(), &c);
    // Round again: the disabled and the hidden control are not taken on the way.
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, TabFromTheLastTabStopWrapsAroundToTheFirst)
{
    RecordingControl& a = Add("a", 0, 0, 10, 10);
    RecordingControl& b = Add("b", 20, 0, 10, 10);
    Application::SetFocused(&b);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"b.LostFocus", "a.GotFocus", "form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, TabWithoutFocusGoesToTheFirstTabStop)
{
    Add("notab", 0, 0, 10, 10).SetTabStop(false);
    RecordingControl& b = Add("b", 20, 0, 10, 10);
    Add("c", 40, 0, 10, 10);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"b.GotFocus", "form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), &b);
}

TEST_F(DispatchTest, TabOnALoneFocusedTabStopRefocusesIt)
{
    RecordingControl& a = Add("a", 0, 0, 10, 10);
    Add("notab", 20, 0, 10, 10).SetTabStop(false);
    Application::SetFocused(&a);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "a.GotFocus", "form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, TabWithNoTabStopAnywhereLeavesFocusUnchanged)
{
    Add("notab", 0, 0, 10, 10).SetTabStop(false);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(DispatchTest, TabOnAFocusedControlThatIsNoTabStopIsAnOrdinaryKey)
{
    RecordingControl& x = Add("x", 0, 0, 10, 10);
    x.SetTabStop(false);
    Add("b", 20, 0, 10, 10);
    Application::SetFocused(&x);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(calls, (Calls{"x.KeyChar(9)", "x.KeyUp(Tab)", "form.KeyChar(9)", "form.KeyUp(Tab)"}));
    EXPECT_EQ(Application::Focused(), &x);
}

TEST_F(DispatchTest, TabReachesAControlInsideAPanel)
{
    RecordingControl& a = Add("a", 0, 0, 10, 10);
    RecordingControl& panel = Add("panel", 50, 50, 100, 100, nullptr, kKindPanel);
    panel.SetTabStop(false);
    RecordingControl& inner = Add("inner", 5, 5, 10, 10, &panel);
    Application::SetFocused(&a);
    Dispatch(Key(KeyRelease, XK_Tab));
    EXPECT_EQ(Application::Focused(), &inner);
}

// ---------------------------------------------------------------- left press

TEST_F(DispatchTest, LeftPressOnAControlWithoutFocusFocusesItAndReachesItThenTheForm)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    Dispatch(Button(ButtonPress, 20, 20));
    EXPECT_EQ(calls, (Calls{"a.GotFocus", "a.MouseDown(20,20)", "form.MouseDown(20,20)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, LeftPressOnAnotherControlMovesTheFocus)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    RecordingControl& b = Add("b", 100, 10, 50, 50);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonPress, 120, 20));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "b.GotFocus", "b.MouseDown(120,20)", "form.MouseDown(120,20)"}));
    EXPECT_EQ(Application::Focused(), &b);
}

TEST_F(DispatchTest, LeftPressOnTheFocusedControlMakesNoFocusCalls)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonPress, 60, 60));
    EXPECT_EQ(calls, (Calls{"a.MouseDown(60,60)", "form.MouseDown(60,60)"}));
}

TEST_F(DispatchTest, LeftPressOnAnEmptyPartTakesTheFocusAwayAndReachesTheForm)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonPress, 200, 150));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "form.MouseDown(200,150)"}));
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(DispatchTest, LeftPressOnTheFocusedControlInAPanelIsFoundThroughThePanel)
{
    RecordingControl& panel = Add("panel", 100, 100, 100, 80, nullptr, kKindPanel);
    RecordingControl& inner = Add("inner", 10, 10, 20, 20, &panel);
    Application::SetFocused(&inner);
    Dispatch(Button(ButtonPress, 115, 115));
    EXPECT_EQ(calls, (Calls{"inner.MouseDown(115,115)", "form.MouseDown(115,115)"}));
}

TEST_F(DispatchTest, LeftPressWhereAPanelControlWouldBeInPanelCoordinatesMissesIt)
{
    RecordingControl& panel = Add("panel", 100, 100, 100, 80, nullptr, kKindPanel);
    RecordingControl& inner = Add("inner", 10, 10, 20, 20, &panel);
    Application::SetFocused(&inner);
    Dispatch(Button(ButtonPress, 15, 15));
    EXPECT_EQ(calls, (Calls{"inner.LostFocus", "form.MouseDown(15,15)"}));
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(DispatchTest, OtherButtonsReachOnlyTheFormAndLeaveTheFocus)
{
    RecordingControl& a = Add("a", 0, 0, 100, 100);
    Application::SetFocused(&a);
    for (unsigned b : {Button2, Button3, Button4}) {
        Dispatch(Button(ButtonPress, 5, 6, b));
        Dispatch(Button(ButtonRelease, 5, 6, b));
    }
    EXPECT_EQ(calls, (Calls{"form.OtherButtonDown(5,6)", "form.OtherButtonUp(5,6)", "form.OtherButtonDown(5,6)",
                            "form.OtherButtonUp(5,6)", "form.OtherButtonDown(5,6)", "form.OtherButtonUp(5,6)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, ButtonFiveAndAboveReachNothing)
{
    Add("a", 0, 0, 100, 100);
    Dispatch(Button(ButtonPress, 5, 6, Button5));
    Dispatch(Button(ButtonRelease, 5, 6, Button5));
    Dispatch(Button(ButtonPress, 5, 6, 7));
    EXPECT_TRUE(calls.empty());
}

// ---------------------------------------------------------------- left release

TEST_F(DispatchTest, LeftReleaseOnTheFocusedControlReachesItThenTheForm)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonRelease, 30, 30));
    EXPECT_EQ(calls, (Calls{"a.MouseUp(30,30)", "form.MouseUp(30,30)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, APressLetGoOverAnotherControlKeepsTheFocusAndReachesOnlyTheForm)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    Add("b", 100, 10, 50, 50);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonRelease, 120, 20));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "a.GotFocus", "form.MouseUp(120,20)"}));
    EXPECT_EQ(Application::Focused(), &a);
}

TEST_F(DispatchTest, AClickOnWhatTakesNoFocusTakesItShiftTabGoesBackAndTheKeypadEndIsOne)
{
    RecordingControl& a = Add("a", 10, 10, 50, 50);
    RecordingControl& b = Add("b", 100, 10, 50, 50);
    Add("peg", 200, 10, 50, 50).SetTabStop(false);
    Application::SetFocused(&a);
    Dispatch(Button(ButtonPress, 210, 20));
    Dispatch(Button(ButtonRelease, 210, 20));
    EXPECT_EQ(calls, (Calls{"a.LostFocus", "peg.MouseDown(210,20)", "form.MouseDown(210,20)", "peg.MouseUp(210,20)",
                            "form.MouseUp(210,20)"}));
    EXPECT_EQ(Application::Focused(), nullptr);
    XEvent shiftTab = Key(KeyRelease, XK_Tab);
    shiftTab.xkey.state = ShiftMask;
    Dispatch(shiftTab);
    EXPECT_EQ(Application::Focused(), &b) << "from the form back round to the last tab stop";
    calls.clear();
    Dispatch(Key(KeyPress, XK_KP_End));
    EXPECT_EQ(calls, (Calls{"b.KeyDown(KP_1)", "form.KeyDown(KP_1)"}));
}

TEST_F(DispatchTest, LeftReleaseOverAControlWithoutFocusReachesOnlyTheForm)
{
    Add("a", 10, 10, 50, 50);
    Dispatch(Button(ButtonRelease, 20, 20));
    EXPECT_EQ(calls, (Calls{"form.MouseUp(20,20)"}));
}

TEST_F(DispatchTest, LeftReleaseOnTheFocusedControlInAPanelReachesIt)
{
    RecordingControl& panel = Add("panel", 100, 100, 100, 80, nullptr, kKindPanel);
    RecordingControl& inner = Add("inner", 10, 10, 20, 20, &panel);
    Application::SetFocused(&inner);
    Dispatch(Button(ButtonRelease, 115, 115));
    EXPECT_EQ(calls, (Calls{"inner.MouseUp(115,115)", "form.MouseUp(115,115)"}));
}

// ---------------------------------------------------------------- motion, crossing, expose, configure

TEST_F(DispatchTest, MotionEnterAndLeaveReachTheForm)
{
    XEvent ev{};
    ev.type = MotionNotify;
    ev.xmotion.window = form.GetWindow();
    ev.xmotion.x = 7;
    ev.xmotion.y = 8;
    Dispatch(ev);
    ev = XEvent{};
    ev.type = EnterNotify;
    ev.xcrossing.window = form.GetWindow();
    Dispatch(ev);
    ev.type = LeaveNotify;
    Dispatch(ev);
    EXPECT_EQ(calls, (Calls{"form.MouseMove(7,8)", "form.MouseEnter", "form.MouseLeave"}));
}

TEST_F(DispatchTest, ExposePaintsTheFormAndItsCreatedControlsPaintedByTheForm)
{
    Add("painted", 0, 0, 10, 10).SetPaintedByForm(true);
    Add("own", 0, 0, 10, 10);
    RecordingControl& panel = Add("panel", 0, 0, 100, 100, nullptr, kKindPanel);
    Add("inPanel", 0, 0, 10, 10, &panel).SetPaintedByForm(true);
    controls.push_back(std::make_unique<RecordingControl>(calls, "uncreated", &form));
    controls.back()->SetPaintedByForm(true);
    XEvent ev{};
    ev.type = Expose;
    ev.xexpose.window = form.GetWindow();
    ev.xexpose.count = 3;
    Dispatch(ev);
    ev.xexpose.count = 0;
    Dispatch(ev);
    EXPECT_EQ(calls,
              (Calls{"form.Paint", "painted.Paint", "inPanel.Paint", "form.Paint", "painted.Paint", "inPanel.Paint"}));
}

TEST_F(DispatchTest, ConfigureWithANewSizeNotifiesBeforeStoringTheGeometry)
{
    XEvent ev{};
    ev.type = ConfigureNotify;
    ev.xconfigure.event = DefaultRootWindow(display);  // as a parent's substructure report
    ev.xconfigure.window = form.GetWindow();
    ev.xconfigure.x = 40;
    ev.xconfigure.y = 50;
    ev.xconfigure.width = 320;
    ev.xconfigure.height = 240;
    Dispatch(ev);
    EXPECT_EQ(calls, (Calls{"form.NotifyResized(300,200)"}));
    EXPECT_EQ(form.GetSize(), (Point{320, 240}));
}

TEST_F(DispatchTest, ConfigureWithTheSameSizeOnlyStoresTheGeometry)
{
    XEvent ev{};
    ev.type = ConfigureNotify;
    ev.xconfigure.window = form.GetWindow();
    ev.xconfigure.width = 300;
    ev.xconfigure.height = 200;
    Dispatch(ev);
    EXPECT_TRUE(calls.empty());
}

// ---------------------------------------------------------------- client messages

namespace {
XEvent ClientMessageFor(Form& f, long datum, Atom type)
{
    XEvent ev{};
    ev.type = ClientMessage;
    ev.xclient.window = f.GetWindow();
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = datum;
    return ev;
}
}  // namespace

TEST_F(DispatchTest, DeleteWindowOnTheMainFormOnlyAsksQueryClose)
{
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Dispatch(ClientMessageFor(form, static_cast<long>(form.GetDeleteAtom()), protocols));
    EXPECT_EQ(calls, (Calls{"form.QueryClose"}));
    EXPECT_TRUE(form.IsCreated());
    EXPECT_FALSE(Application::Quit());
}

TEST_F(DispatchTest, DeleteWindowOnAnotherFormClosesItWhenQueryCloseAgrees)
{
    RecordingForm dialog(calls, "dialog", true);
    dialog.SetScreen(screen.get());
    dialog.Create();
    calls.clear();
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    Dispatch(ClientMessageFor(dialog, static_cast<long>(dialog.GetDeleteAtom()), protocols), &form);
    EXPECT_EQ(calls, (Calls{"dialog.QueryClose", "dialog.DestroyWindow", "dialog.NotifyClosed"}));
    EXPECT_FALSE(dialog.IsCreated());
    EXPECT_EQ(dialog.GetWindow(), 0u);
}

TEST_F(DispatchTest, AFormClosedByTheCloseBoxCanBeShownAgain)
{
    RecordingForm dialog(calls, "dialog", true);
    dialog.SetScreen(screen.get());
    dialog.Create();
    const uint32_t id = dialog.GetId();
    Dispatch(ClientMessageFor(dialog, static_cast<long>(dialog.GetDeleteAtom()), 0), &form);
    dialog.ShowForm();
    EXPECT_TRUE(dialog.IsCreated());
    EXPECT_NE(dialog.GetWindow(), 0u);
    EXPECT_EQ(dialog.GetId(), id);
    EXPECT_EQ(Application::FindFormByWindow(dialog.GetWindow()), &dialog);
}

TEST_F(DispatchTest, DeleteWindowOnAnotherFormThatRefusesKeepsItOpen)
{
    RecordingForm dialog(calls, "dialog", true);
    dialog.SetScreen(screen.get());
    dialog.Create();
    dialog.SetQueryCloseAnswer(false);
    calls.clear();
    Dispatch(ClientMessageFor(dialog, static_cast<long>(dialog.GetDeleteAtom()), 0), &form);
    EXPECT_EQ(calls, (Calls{"dialog.QueryClose"}));
    EXPECT_TRUE(dialog.IsCreated());
}

TEST_F(DispatchTest, UserMessageReachesOnUserMessage)
{
    Dispatch(ClientMessageFor(form, 1, 0));
    EXPECT_EQ(calls, (Calls{"form.OnUserMessage"}));
}

TEST_F(DispatchTest, OtherClientMessagesReachNothing)
{
    Dispatch(ClientMessageFor(form, 2, 0));
    Dispatch(ClientMessageFor(form, 1, XInternAtom(display, "WM_PROTOCOLS", False)));
    EXPECT_TRUE(calls.empty());
}

// ---------------------------------------------------------------- what is ignored

TEST_F(DispatchTest, EventsForWindowsOfNoFormAreIgnored)
{
    Add("a", 0, 0, 100, 100);
    Dispatch(Button(ButtonPress, 5, 5, Button1, DefaultRootWindow(display)));
    Dispatch(Key(KeyPress, XK_a, DefaultRootWindow(display)));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(DispatchTest, DestroyNotifyIsIgnored)
{
    XEvent ev{};
    ev.type = DestroyNotify;
    ev.xdestroywindow.event = form.GetWindow();
    ev.xdestroywindow.window = form.GetWindow();
    Dispatch(ev);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(form.IsCreated());
}

TEST_F(DispatchTest, DestroyingAnyFormsWindowClearsTheFocus)
{
    RecordingForm other(calls, "other");
    other.SetScreen(screen.get());
    other.Create();
    Application::SetFocused(&Add("a", 0, 0, 10, 10));
    other.DestroyWindow();
    EXPECT_EQ(Application::Focused(), nullptr);
}

// ---------------------------------------------------------------- handlers that destroy elements

namespace {
void DeleteElement(GUIElement* e, uint64_t, Point) { delete e; }

GUIElement* formToDelete = nullptr;
bool DeleteTheForm(GUIElement*, int)
{
    delete formToDelete;
    formToDelete = nullptr;
    return true;
}
}  // namespace

TEST_F(DispatchTest, AControlDestroyedByItsOwnMouseDownIsNotLeftFocused)
{
    auto* doomed = new RecordingControl(calls, "doomed", &form);
    doomed->Show();
    doomed->Place(10, 10, 50, 50);
    doomed->SetOnMouseDown(DeleteElement);
    Dispatch(Button(ButtonPress, 20, 20));
    EXPECT_EQ(calls, (Calls{"doomed.GotFocus", "doomed.MouseDown(20,20)", "form.MouseDown(20,20)"}));
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(DispatchTest, AFormDestroyedByItsFocusedControlGetsNoFurtherKeyCalls)
{
    auto* dialog = new RecordingForm(calls, "dialog");
    dialog->SetScreen(screen.get());
    dialog->Create();
    auto* control = new RecordingControl(calls, "control", dialog);  // the dialog's to delete
    control->Show();
    control->SetOnKeyChar(DeleteTheForm);
    Application::SetFocused(control);
    formToDelete = dialog;
    calls.clear();
    XEvent ev = Key(KeyRelease, XK_a, dialog->GetWindow());
    Application::Dispatch(ev, &form);
    EXPECT_EQ(calls, (Calls{"control.KeyChar(97)", "control.KeyUp(a)"}));
}

namespace {
// A control that writes into the log when it is freed.
class FreedControl : public RecordingControl {
public:
    FreedControl(CallLog& log, Form* form) : RecordingControl(log, "doomed", form), log_(log) {}
    ~FreedControl() override { log_.push_back("doomed freed"); }

private:
    CallLog& log_;
};

bool deletedFlagAfterDelete = false;
bool DeleteAndLookAgain(GUIElement* e, int)
{
    delete e;
    // Still in memory for the rest of the event: reading it is no use after free.
    deletedFlagAfterDelete = e->IsDeleted();
    return true;
}
}  // namespace

TEST_F(DispatchTest, AnElementDeletedMidEventGetsNoFurtherCallsAndIsFreedWhenDispatchReturns)
{
    auto* doomed = new FreedControl(calls, &form);
    doomed->Show();
    doomed->Place(10, 10, 50, 50);
    doomed->SetOnKeyChar(DeleteAndLookAgain);
    Application::SetFocused(doomed);
    calls.clear();

    Dispatch(Key(KeyRelease, XK_a));
    EXPECT_TRUE(deletedFlagAfterDelete);
    EXPECT_EQ(calls, (Calls{"doomed.KeyChar(97)", "form.KeyChar(97)", "form.KeyUp(a)", "doomed freed"}));
    EXPECT_EQ(Application::Focused(), nullptr);
    for (GUIElement* e : Application::Elements()) EXPECT_NE(e, static_cast<GUIElement*>(doomed));

    // Outside an event a delete frees at once.
    auto* plain = new FreedControl(calls, &form);
    calls.clear();
    delete plain;
    EXPECT_EQ(calls, (Calls{"doomed freed"}));
}
