// How the program runs. Everything is driven by X events on one thread: Run() (at the
// bottom of this file) reads an event, or while a timer counts waits at most 10 ms
// and ticks the timers, and hands each event to Dispatch(). Dispatch() looks up the
// form that owns the event's window and calls the one handler that kDispatch keeps
// for the event type; the handlers turn the event into element operations
// (GUIElement.h) on the form and on the one control that matters: the focused
// control for keys, the control under the pointer for the left button, found by
// geometry with HitTestForm. Controls have no windows; they paint on their form's
// window through DrawContext. To follow a click, start at LeftPress and LeftRelease
// and continue in ButtonCustom and FormMain. docs/ARCHITECTURE.md draws the map.
#include "app/Application.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <sys/select.h>
#include <unistd.h>

#include "app/AccessBridge.h"
#include "app/IdleTimer.h"
#include "app/InputHabits.h"
#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "app/StartPhases.h"
#include "gui/Form.h"
#include "gui/GUIElement.h"
#include "gui/PixelLayout.h"

Application::ElementList Application::elements_;
Application::ElementList Application::forms_;
Application::ElementList Application::timers_;
GUIElement* Application::focused_ = nullptr;
bool Application::focusByPointer_ = false;
unsigned Application::windowChanges_ = 0;
GUIElement* Application::mainForm_ = nullptr;
bool Application::quit_ = false;
bool Application::loading_ = false;
uint32_t Application::nextId_ = 0;
unsigned Application::pointerButton_ = 0;
bool Application::dispatchingKey_ = false;
Time Application::inputTime_ = 0;
bool Application::keyRepeat_ = false;
bool Application::multiClick_ = false;
Time Application::pressTime_ = 0;
void (*Application::shutdownHook_)() = nullptr;
int Application::eventDepth_ = 0;
Application::ElementList Application::deleted_;

class Application::EventScope {
public:
    EventScope() { ++eventDepth_; }
    ~EventScope()
    {
        if (--eventDepth_ == 0) FreeDeleted();
    }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
};

// ---------------------------------------------------------------- registry

void Application::RegisterElement(GUIElement* e) { elements_.push_back(e); }

void Application::RegisterForm(GUIElement* e)
{
    if (e->IsKind(kKindForm)) forms_.push_back(e);
}

void Application::RegisterTimer(GUIElement* e)
{
    if (e->IsKind(kKindTimer)) timers_.push_back(e);
}

namespace {
bool RemoveFirst(Application::ElementList& list, GUIElement* e)
{
    auto it = std::find(list.begin(), list.end(), e);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}
}  // namespace

void Application::RemoveWindow(GUIElement* e)
{
    ElementList* list = nullptr;
    if (e->IsKind(kKindForm))
        list = &forms_;
    else if (e->IsKind(kKindTimer))
        list = &timers_;
    if (!list || RemoveFirst(*list, e)) return;
    WriteLog(" NON TROVATO! Application::RemoveWindow = " + e->GetKind() + " lx " + std::to_string(list->size()) +
             " id " + std::to_string(e->GetId()));
}

void Application::RemoveWinForm(GUIElement* e)
{
    RemoveWindow(e);
    // Focus never outlives the element it names.
    if (focused_ == e) focused_ = nullptr;
    if (mainForm_ == e) mainForm_ = nullptr;
    if (RemoveFirst(elements_, e)) return;
    WriteLog(" NON TROVATO! Application::RemoveWinForm = " + e->GetKind() + " size " +
             std::to_string(elements_.size()) + " id " + std::to_string(e->GetId()));
}

Form* Application::FindFormByWindow(Window w)
{
    for (GUIElement* e : forms_) {
        Form* f = static_cast<Form*>(e);
        if (f->GetWindow() == w) return f;
    }
    return nullptr;
}

namespace {
bool InsideContainer(GUIElement* e, uint32_t containerId)
{
    return e->IsChild() && e->GetParent() && e->GetParent()->GetId() == containerId;
}
}  // namespace

Application::ElementList Application::CollectChildren(uint32_t containerId)
{
    ElementList result;
    for (GUIElement* e : elements_) {
        if (!InsideContainer(e, containerId)) continue;
        result.push_back(e);
        if (e->IsKind(kKindPanel)) {
            ElementList inner = CollectChildren(e->GetId());
            result.insert(result.end(), inner.begin(), inner.end());
        }
    }
    return result;
}

GUIElement* Application::HitTestForm(uint32_t containerId, Point p)
{
    for (GUIElement* e : elements_) {
        if (!InsideContainer(e, containerId) || !e->IsCreated() || !e->IsVisible() || !e->IsEnabled()) continue;
        if (e->IsKind(kKindPanel)) {
            Point origin = e->GetPosition();
            if (GUIElement* hit = HitTestForm(e->GetId(), Point{p.x - origin.x, p.y - origin.y})) return hit;
        } else if (e->HitTest(p)) {
            return e;
        }
    }
    return nullptr;
}

namespace {
InputHabits habits;
// The control a left press went to without taking the focus (a peg, a picture); its
// release goes to it alone. And whether the press was swallowed as part of a
// multi-click, so that its release is swallowed too.
uint32_t pressedAside = 0;
bool pressSwallowed = false;
// The key whose press was swallowed as the second tap of a double tap: its release
// is swallowed too.
unsigned tapSwallowed = 0;
}  // namespace

void Application::ResetForTests()
{
    habits.Reset();
    pressedAside = 0;
    pressSwallowed = false;
    tapSwallowed = 0;
    pressTime_ = 0;
    keyRepeat_ = false;
    multiClick_ = false;
    elements_.clear();
    forms_.clear();
    timers_.clear();
    focused_ = nullptr;
    focusByPointer_ = false;
    mainForm_ = nullptr;
    quit_ = false;
    loading_ = false;
    pointerButton_ = 0;
    dispatchingKey_ = false;
    inputTime_ = 0;
}

// ---------------------------------------------------------------- deferred deletion

bool Application::DeferDeletion(GUIElement* e)
{
    if (eventDepth_ == 0) return false;
    if (!e->IsDeleted()) deleted_.push_back(e);
    if (focused_ == e) focused_ = nullptr;
    return true;
}

void Application::FreeDeleted()
{
    // No event is open now, so these deletes free at once; a destructor that deletes
    // further elements (a form its controls) frees them at once too.
    ElementList batch;
    batch.swap(deleted_);
    for (GUIElement* e : batch) delete e;
}

// ---------------------------------------------------------------- timers

namespace {
// The timer list holds elements; every one of kind "timer" is also an IdleTimer.
IdleTimer* AsIdleTimer(GUIElement* e) { return e->IsDeleted() ? nullptr : dynamic_cast<IdleTimer*>(e); }
}  // namespace

bool Application::AnyTimerRunning()
{
    for (GUIElement* e : timers_)
        if (IdleTimer* t = AsIdleTimer(e); t && t->IsRunning()) return true;
    return false;
}

void Application::TickTimers(uint32_t ms)
{
    EventScope scope;
    // A handler may create timers; those are first visited in the next pass.
    const size_t count = timers_.size();
    for (size_t i = 0; i < count && i < timers_.size(); ++i) {
        IdleTimer* t = AsIdleTimer(timers_[i]);
        if (!t || !t->IsRunning()) continue;
        if (t->Advance(ms)) t->Fire();
    }
}

int WaitReadable(int fd, uint32_t ms)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval timeout{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
    return select(fd + 1, &readable, nullptr, nullptr, &timeout);
}

// ---------------------------------------------------------------- dispatch

namespace {

struct KeyInfo {
    KeySym key = NoSymbol;
    int c = 0;  // the first translated byte, as a signed character
};

// The keypad's keys are its digits whether NumLock is on or off.
KeySym KeypadDigit(KeySym k)
{
    switch (k) {
    case XK_KP_Insert:
        return XK_KP_0;
    case XK_KP_End:
        return XK_KP_1;
    case XK_KP_Down:
        return XK_KP_2;
    case XK_KP_Next:
        return XK_KP_3;
    case XK_KP_Left:
        return XK_KP_4;
    case XK_KP_Begin:
        return XK_KP_5;
    case XK_KP_Right:
        return XK_KP_6;
    case XK_KP_Home:
        return XK_KP_7;
    case XK_KP_Up:
        return XK_KP_8;
    case XK_KP_Prior:
        return XK_KP_9;
    default:
        return k;
    }
}

KeyInfo TranslateKey(XKeyEvent& ev)
{
    char buffer[50] = {};
    KeyInfo info;
    XLookupString(&ev, buffer, sizeof buffer, &info.key, nullptr);
    info.c = static_cast<signed char>(buffer[0]);
    if (const KeySym digit = KeypadDigit(info.key); digit != info.key) {
        info.key = digit;
        info.c = static_cast<int>('0' + (digit - XK_KP_0));
    }
    return info;
}

// Keys that move the current peg or step its colour act on every auto-repeat; a
// repeat of any other key (Return, Space, a digit) is dropped, so a held key acts once.
bool ActsOnRepeat(XKeyEvent& ev)
{
    const KeySym k = XLookupKeysym(&ev, 0);
    return k == XK_Left || k == XK_Right || k == XK_Up || k == XK_Down;
}

// Keys that press a control (a focused button, GO on the board): a quick second tap
// of one of them on the same control is swallowed like the second click of a double
// click.
bool PressesControl(XKeyEvent& ev)
{
    const KeySym k = XLookupKeysym(&ev, 0);
    return k == XK_Return || k == XK_KP_Enter || k == XK_space;
}

Point EventPoint(int x, int y) { return Point{x, y}; }

// An element operation may run a handler that deletes elements (a command closing
// and replacing its dialog). Such an element stays in memory until the event is
// done, so the calls that follow read its flag and leave it out.
bool Reached(GUIElement* e) { return e && !e->IsDeleted(); }

// Moves the focus from the focused element (if any) to `to`.
void MoveFocus(GUIElement* to)
{
    GUIElement* from = Application::Focused();
    if (from) from->LostFocus();
    Application::SetFocused(to);
    if (to) to->GotFocus();
}

// Tab passes over controls that cannot take a key: disabled, hidden or not created.
bool TakesTab(GUIElement* e) { return e->IsTabStop() && e->IsEnabled() && e->IsCreated() && e->IsVisible(); }

// Tab moves to the next control that takes it, Shift+Tab to the previous one; both
// wrap around.
void TabTraversal(Form* form, bool backwards)
{
    Application::ElementList list = Application::CollectChildren(form->GetId());
    if (backwards) std::reverse(list.begin(), list.end());
    GUIElement* focus = Application::Focused();
    auto beyond = [&](GUIElement* e) {
        return !focus || (backwards ? e->GetId() < focus->GetId() : e->GetId() > focus->GetId());
    };
    GUIElement* candidate = nullptr;
    for (GUIElement* e : list) {
        if (beyond(e) && TakesTab(e)) {
            candidate = e;
            break;
        }
    }
    if (!candidate) {
        for (GUIElement* e : list) {
            if (TakesTab(e)) {
                candidate = e;
                break;
            }
        }
    }
    if (candidate) MoveFocus(candidate);
}

using Handler = void (*)(XEvent& ev, Form* form, Form* mainForm);

void OnKeyPress(XEvent& ev, Form* form, Form*)
{
    if (Application::IsKeyRepeat() && !ActsOnRepeat(ev.xkey)) return;
    if (Application::IsMultiClick()) {
        tapSwallowed = ev.xkey.keycode;
        return;
    }
    if (!form->IsEnabled()) return;
    KeyInfo k = TranslateKey(ev.xkey);
    if (GUIElement* focus = Application::Focused()) focus->KeyDown(k.key);
    if (Reached(form)) form->KeyDown(k.key);
}

void OnKeyRelease(XEvent& ev, Form* form, Form*)
{
    if (tapSwallowed != 0 && ev.xkey.keycode == tapSwallowed) {
        tapSwallowed = 0;
        return;
    }
    if (!form->IsEnabled()) return;
    KeyInfo k = TranslateKey(ev.xkey);
    GUIElement* focus = Application::Focused();
    const bool tab = k.key == XK_Tab || k.key == XK_ISO_Left_Tab;
    if (tab && (!focus || focus->IsTabStop())) {
        TabTraversal(form, k.key == XK_ISO_Left_Tab || (ev.xkey.state & ShiftMask));
    } else if (focus) {
        if (k.c > 0) focus->KeyChar(k.c);
        if (Reached(focus)) focus->KeyUp(k.key);
    }
    if (Reached(form) && k.c > 0) form->KeyChar(k.c);
    if (Reached(form)) form->KeyUp(k.key);
}

// The focused control keeps a press or release that lands on it, as long as it sits
// directly on this form; controls in panels are found again by the hit test.
bool FocusTakes(Form* form, Point p)
{
    GUIElement* focus = Application::Focused();
    return focus && focus->HitTest(p) && focus->GetParent() == form;
}

// The control a left press at `p` is for: the focused one when it is under the
// pointer and sits on the form directly, else the one the hit test finds.
GUIElement* PressTarget(Form* form, Point p)
{
    return FocusTakes(form, p) ? Application::Focused() : Application::HitTestForm(form->GetId(), p);
}

// A control that takes the focus acts on a click (a button, a link): the second and
// third click of a multi-click on it are swallowed, so a quick double or triple
// click acts once. Controls that take no focus (the pegs) get every click.
bool SwallowsClick(GUIElement* target) { return target && target->IsTabStop() && Application::IsMultiClick(); }

void LeftPress(Form* form, Point p)
{
    GUIElement* focus = Application::Focused();
    GUIElement* target = PressTarget(form, p);
    pressedAside = 0;
    pressSwallowed = SwallowsClick(target);
    if (pressSwallowed) {
        form->MouseDown(p);
        return;
    }
    GUIElement* hit = target;
    if (hit && !hit->TakesFocusOnClick()) {
        // The keyboard follows the mouse: a click on what takes no focus (a peg, a
        // link) takes it from the control that had it, so that Return and Tab start
        // from the form again and not from a button clicked long before.
        pressedAside = hit->GetId();
        if (focus) MoveFocus(nullptr);
        if (Reached(hit)) hit->MouseDown(p);
        if (Reached(form)) form->MouseDown(p);
        return;
    }
    if (hit) {
        // Focus given by a click shows no cue, also on a control that had it from Tab.
        const bool had = focus && focus->GetId() == hit->GetId();
        if (focus && !had) focus->LostFocus();
        Application::SetFocused(hit, true);
        if (!had && Reached(hit)) hit->GotFocus();
        if (Reached(hit)) hit->MouseDown(p);
        if (!Reached(hit)) Application::SetFocused(nullptr);
        if (Reached(form)) form->MouseDown(p);
        return;
    }
    if (focus) focus->LostFocus();
    Application::SetFocused(nullptr);
    if (Reached(form)) form->MouseDown(p);
}

void LeftRelease(Form* form, Point p)
{
    GUIElement* focus = Application::Focused();
    const uint32_t aside = pressedAside;
    const bool swallowed = pressSwallowed;
    pressedAside = 0;
    pressSwallowed = false;
    if (swallowed) {
        form->MouseUp(p);
        return;
    }
    if (aside) {
        GUIElement* hit = Application::HitTestForm(form->GetId(), p);
        if (hit && hit->GetId() == aside) hit->MouseUp(p);
        if (Reached(form)) form->MouseUp(p);
        return;
    }
    if (FocusTakes(form, p)) {
        focus->MouseUp(p);
        if (Reached(form)) form->MouseUp(p);
        return;
    }
    GUIElement* hit = Application::HitTestForm(form->GetId(), p);
    if (hit && focus && hit->GetId() == focus->GetId()) {
        hit->MouseUp(p);
    } else if (focus && focus->IsTabStop()) {
        // A press abandoned by moving off the control: it keeps the focus (so Return
        // and Space still work) and only loses its pressed look.
        focus->LostFocus();
        if (Reached(focus)) focus->GotFocus();
    } else if (focus) {
        focus->LostFocus();
        Application::SetFocused(nullptr);
    }
    if (Reached(form)) form->MouseUp(p);
}

void OnButtonPress(XEvent& ev, Form* form, Form*)
{
    Point p = EventPoint(ev.xbutton.x, ev.xbutton.y);
    if (!form->IsEnabled()) {
        // A click on a blocked window brings its dialog back, once per multi-click.
        if (Application::IsMultiClick()) return;
        form->BringBackModalChild();
        if (Reached(form)) form->MouseDown(p);
    } else if (ev.xbutton.button == Button1) {
        LeftPress(form, p);
    } else if (ev.xbutton.button <= Button4) {
        form->OtherButtonDown(p);
    }
}

void OnButtonRelease(XEvent& ev, Form* form, Form*)
{
    Point p = EventPoint(ev.xbutton.x, ev.xbutton.y);
    if (!form->IsEnabled()) {
        form->MouseUp(p);
    } else if (ev.xbutton.button == Button1) {
        LeftRelease(form, p);
    } else if (ev.xbutton.button <= Button4) {
        form->OtherButtonUp(p);
    }
}

void OnMotion(XEvent& ev, Form* form, Form*)
{
    if (form->IsEnabled()) form->MouseMove(ev.xmotion.x, ev.xmotion.y);
}

void OnEnter(XEvent&, Form* form, Form*) { form->MouseEnter(); }
void OnLeave(XEvent&, Form* form, Form*) { form->MouseLeave(); }
void OnExpose(XEvent&, Form* form, Form*)
{
    // The window is on the screen: the time from here to the picture is the first paint's.
    if (form->IsCreated()) StartPhases::Enter(StartPhases::kFirstPaint);
    form->PaintExposed();
    form->GiveIconBitmaps();
}

// A dialog asks for the keyboard when it shows: a window manager may not give it
// (the pointer resting on another window under focus-follows-pointer).
void OnMap(XEvent&, Form* form, Form*)
{
    if (!form->IsDialog() || !form->IsCreated()) return;
    form->RaiseNative();
    form->SetFocus();
}

// A blocked window that gets the keyboard (a task bar, a second start) hands it to
// its dialog, which comes back if it was minimised.
void OnFocusIn(XEvent& ev, Form* form, Form*)
{
    if (ev.xfocus.mode == NotifyGrab || ev.xfocus.detail == NotifyInferior) return;
    if (!form->IsEnabled()) form->BringBackModalChild();
}

void OnConfigure(XEvent& ev, Form* form, Form*)
{
    const XConfigureEvent& c = ev.xconfigure;
    Point size = form->GetSize();
    if (c.width != size.x || c.height != size.y) form->NotifyResized();
    form->SetGeometry(c.x, c.y, c.width, c.height);
    // Raised without a window manager (which would keep a transient dialog above
    // its owner): the dialog goes back on top.
    if (Form* child = form->GetModalChild(); child && !form->IsEnabled() && child->IsCreated()) child->RaiseNative();
}

void OnClientMessage(XEvent& ev, Form* form, Form* mainForm)
{
    const XClientMessageEvent& m = ev.xclient;
    if (static_cast<Atom>(m.data.l[0]) == form->GetTakeFocusAtom() && form->GetTakeFocusAtom() != None) {
        form->TakeFocus(static_cast<Time>(m.data.l[1]));
    } else if (m.message_type == form->GetActivateAtom() && form->GetActivateAtom() != None) {
        if (!form->IsEnabled()) form->BringBackModalChild();
    } else if (static_cast<Atom>(m.data.l[0]) == form->GetDeleteAtom() && form->GetDeleteAtom() != None) {
        if (mainForm && form->GetId() == mainForm->GetId()) {
            // The main window never closes by itself: its handler asks and sets the quit flag.
            mainForm->QueryClose();
        } else if (form->QueryClose() && Reached(form)) {
            form->DestroyWindow();
            form->NotifyClosed();
        }
    } else if (m.message_type == 0 && m.data.l[0] == 1) {
        form->OnUserMessage();
    }
}

// One handler per X event type; types without an entry are ignored.
struct DispatchTable {
    Handler handlers[LASTEvent] = {};
    constexpr DispatchTable()
    {
        handlers[KeyPress] = OnKeyPress;
        handlers[KeyRelease] = OnKeyRelease;
        handlers[ButtonPress] = OnButtonPress;
        handlers[ButtonRelease] = OnButtonRelease;
        handlers[MotionNotify] = OnMotion;
        handlers[EnterNotify] = OnEnter;
        handlers[LeaveNotify] = OnLeave;
        handlers[Expose] = OnExpose;
        handlers[MapNotify] = OnMap;
        handlers[FocusIn] = OnFocusIn;
        handlers[ConfigureNotify] = OnConfigure;
        handlers[ClientMessage] = OnClientMessage;
    }
};
constexpr DispatchTable kDispatch;

// Division rounding down, so that a point left of or above the window stays outside.
int FloorDiv(int v, int s) { return v >= 0 ? v / s : -((-v + s - 1) / s); }

// A form shown at a scale above 1 takes pointer positions and its own size in its
// own pixels: the handlers and hit tests never see the screen's.
void ToFormPixels(XEvent& ev, int s)
{
    switch (ev.type) {
    case ButtonPress:
    case ButtonRelease:
        ev.xbutton.x = FloorDiv(ev.xbutton.x, s);
        ev.xbutton.y = FloorDiv(ev.xbutton.y, s);
        break;
    case MotionNotify:
        ev.xmotion.x = FloorDiv(ev.xmotion.x, s);
        ev.xmotion.y = FloorDiv(ev.xmotion.y, s);
        break;
    case ConfigureNotify:
        ev.xconfigure.width /= s;
        ev.xconfigure.height /= s;
        break;
    default:
        break;
    }
}

// ConfigureNotify names the reconfigured window in its own field, not in the event
// window, which for substructure notifications is the parent.
Window EventWindow(const XEvent& ev)
{
    switch (ev.type) {
    case ConfigureNotify:
        return ev.xconfigure.window;
    case DestroyNotify:
        return ev.xdestroywindow.window;
    default:
        return ev.xany.window;
    }
}

}  // namespace

void Application::RunInput(void (*action)(void*), void* context)
{
    EventScope scope;
    dispatchingKey_ = keyRepeat_ = multiClick_ = false;
    pointerButton_ = 0;
    pressTime_ = 0;
    action(context);
}

void Application::Dispatch(XEvent& event, Form* mainForm)
{
    if (event.type < 0 || event.type >= LASTEvent) return;
    Handler h = kDispatch.handlers[event.type];
    if (!h) return;
    Form* form = FindFormByWindow(EventWindow(event));
    if (!form) return;
    if (const int s = form->Scale(); s > 1) ToFormPixels(event, s);
    dispatchingKey_ = event.type == KeyPress || event.type == KeyRelease;
    if (event.type == ButtonPress || event.type == ButtonRelease) {
        pointerButton_ = event.xbutton.button;
        inputTime_ = event.xbutton.time;
    } else if (dispatchingKey_) {
        inputTime_ = event.xkey.time;
    } else if (event.type == ClientMessage && event.xclient.format == 32 && event.xclient.data.l[1] != 0 &&
               static_cast<Atom>(event.xclient.data.l[0]) == form->GetDeleteAtom()) {
        // The close request's own time: a dialog it opens was asked for then.
        inputTime_ = static_cast<Time>(event.xclient.data.l[1]);
    }
    if (event.type == KeyPress) {
        multiClick_ = false;
        keyRepeat_ = habits.KeyPressed(event.xkey.keycode, event.xkey.time);
    } else if (event.type == KeyRelease) {
        keyRepeat_ = false;
        pressTime_ = habits.PressedAt(event.xkey.keycode);
        habits.KeyReleased(event.xkey.keycode);
    } else if (event.type == ButtonPress) {
        const bool left = event.xbutton.button == Button1;
        GUIElement* target = left ? PressTarget(form, EventPoint(event.xbutton.x, event.xbutton.y)) : nullptr;
        multiClick_ = habits.Pressed(InputHabits::kLeftButton, target ? target->GetId() : 0, event.xbutton.time);
        pressTime_ = event.xbutton.time;
    }
    // The keyboard of a blocked window belongs to its open dialog, whichever window
    // the window manager gave it to.
    if (dispatchingKey_ && !form->IsEnabled()) {
        Form* dialog = form->GetModalChild();
        if (!dialog || !dialog->IsCreated() || !dialog->GetWindow()) return;
        if (event.type == KeyPress) dialog->SetFocus();
        form = dialog;
    }
    if (event.type == KeyPress) {
        // A key that presses acts on the focused control, or on the form when none has the focus.
        GUIElement* focus = Application::Focused();
        const uint32_t target = !PressesControl(event.xkey) ? 0 : focus ? focus->GetId() : form->GetId();
        multiClick_ = !keyRepeat_ && habits.Pressed(event.xkey.keycode, target, event.xkey.time);
        pressTime_ = habits.PressedAt(event.xkey.keycode);
    }
    EventScope scope;
    const unsigned windowChanges = windowChanges_;
    h(event, form, mainForm);
    // Return that opened a dialog, or closed one, is not pressed again by a quick
    // second tap meant for the same thing: on the new dialog that would be its
    // answer, on the window left behind its GO.
    if (dispatchingKey_ && windowChanges_ != windowChanges && PressesControl(event.xkey))
        habits.OpenedOrClosedWindow(event.xkey.keycode);
    dispatchingKey_ = false;
}

// ---------------------------------------------------------------- the loop

namespace {
constexpr std::chrono::milliseconds kBridgeDelay{300};
}  // namespace

void Application::Run(Form* mainForm)
{
    Display* display = mainForm->GetScreen() ? mainForm->GetScreen()->GetDisplay() : nullptr;
    if (display) {
        // A held key then sends presses only, and one release when it is let go.
        // Where the server cannot do that, the release of each repeat's
        // release-and-press pair (both with the same time) is dropped below. The
        // server is asked after the first Expose, so that the question does not delay
        // the first picture; until then the pairs are dropped here.
        Bool detectable = False;
        bool repeatAsked = false;
        const int fd = ConnectionNumber(display);
        // The screen-reader bridge starts a while after the first picture, once the
        // game has nothing else to do: loading its library must not compete with the
        // server and the desktop showing that picture.
        std::optional<std::chrono::steady_clock::time_point> bridgeAt;
        while (!quit_) {
            if (bridgeAt && XPending(display) == 0) {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(*bridgeAt - std::chrono::steady_clock::now()).count();
                if (left <= 0) {
                    bridgeAt.reset();
                    AccessBridge::Start(display);
                } else if (!AnyTimerRunning() && WaitReadable(fd, static_cast<uint32_t>(left)) == 0) {
                    continue;
                }
            }
            const bool timing = AnyTimerRunning();
            if (AccessBridge::Running()) {
                // The buses are waited on with the X connection. Events that a bus
                // handler's round trip read into Xlib's queue are taken first.
                if (XEventsQueued(display, QueuedAfterFlush) == 0) {
                    const int woke = AccessBridge::Wait(fd, timing ? 10 : -1);
                    if (woke == 0 && timing) TickTimers(10);
                    if (woke <= 0) continue;
                }
            } else if (timing && XPending(display) == 0) {
                // Poll only while a timer counts: an idle game blocks and wakes for nothing.
                if (WaitReadable(fd, 10) == 0) {
                    TickTimers(10);
                    continue;
                }
            }
            XEvent event;
            XNextEvent(display, &event);
            if (!detectable && event.type == KeyRelease && XEventsQueued(display, QueuedAfterReading) > 0) {
                XEvent next;
                XPeekEvent(display, &next);
                if (next.type == KeyPress && next.xkey.keycode == event.xkey.keycode &&
                    next.xkey.time == event.xkey.time && next.xkey.window == event.xkey.window)
                    continue;
            }
            Dispatch(event, mainForm);
            AccessBridge::AfterEvent(event);
            if (!repeatAsked && event.type == Expose) {
                repeatAsked = true;
                XkbSetDetectableAutoRepeat(display, True, &detectable);
                bridgeAt = std::chrono::steady_clock::now() + kBridgeDelay;
            }
        }
    }
    AccessBridge::Stop();

    // Shut-down: the windows of all created forms go first, then the shared message box.
    {
        // Destroying a window may run handlers that delete forms; they are freed after
        // the walk, which therefore never meets a freed one.
        EventScope scope;
        ElementList all = elements_;
        for (GUIElement* e : all)
            if (Reached(e) && e->IsKind(kKindForm) && e->IsCreated()) static_cast<Form*>(e)->DestroyWindow();
    }
    if (shutdownHook_) shutdownHook_();
    mainForm->NotifyClosed();
}

// ---------------------------------------------------------------- X errors

namespace {
int LogProtocolError(Display* d, XErrorEvent* e)
{
    char text[128] = {};
    XGetErrorText(d, e->error_code, text, sizeof text);
    WriteLog("X error: " + std::string(text) + " (request " + std::to_string(e->request_code) + ")");
    return 0;
}

int ConnectionLost(Display*)
{
    // The game is stored after every change, so there is nothing left to save.
    WriteLog("Connection to the X server lost.");
    _exit(1);
}
}  // namespace

void Application::InstallErrorHandlers()
{
    XSetErrorHandler(LogProtocolError);
    XSetIOErrorHandler(ConnectionLost);
}
