#pragma once
// The registry of live elements and the one event loop.
//
// Every element registers itself when constructed and leaves when destroyed; forms
// and timers also sit in lists of their own. Run() blocks in XNextEvent (or, while a
// timer runs, waits at most 10 ms and ticks the timers), and hands each event to
// Dispatch(), which looks the event's window up among the forms and turns it into
// element operations on the form and on the one control that matters: the focused
// control for keys, the control under the pointer for the left button.
//
// An element deleted while an event is dispatched is only queued (see
// GUIElement::operator delete): it gets no further calls in that event and is freed
// when Dispatch returns, before the next event is read.
#include <X11/Xlib.h>
#include <cstdint>
#include <vector>

#include "gui/Point.h"

class GUIElement;
class Form;

class Application {
public:
    using ElementList = std::vector<GUIElement*>;

    // --- registry ---
    static void RegisterElement(GUIElement* e);
    static void RegisterForm(GUIElement* e);   // only elements of kind "form"
    static void RegisterTimer(GUIElement* e);  // only elements of kind "timer"
    static void RemoveWinForm(GUIElement* e);
    static void RemoveWindow(GUIElement* e);
    static Form* FindFormByWindow(Window w);
    static ElementList CollectChildren(uint32_t containerId);
    static GUIElement* HitTestForm(uint32_t containerId, Point p);

    static const ElementList& Elements() { return elements_; }
    static const ElementList& Forms() { return forms_; }
    static const ElementList& Timers() { return timers_; }

    static GUIElement* Focused() { return focused_; }
    // `byPointer`: a mouse press gave the focus, so the control shows no focus cue
    // until the focus moves by other means (Tab, a dialog opening).
    static void SetFocused(GUIElement* e, bool byPointer = false)
    {
        focused_ = e;
        focusByPointer_ = byPointer;
    }
    static bool FocusByPointer() { return focusByPointer_; }
    static GUIElement* MainForm() { return mainForm_; }
    static void SetMainForm(GUIElement* e) { mainForm_ = e; }
    // About the event being dispatched, for handlers whose operation does not carry
    // it: the mouse button of a press or release (1 is the left one), and whether it
    // is a key event (a dialog closed by a key hands the keyboard focus back).
    static unsigned PointerButton() { return pointerButton_; }
    static bool DispatchingKey() { return dispatchingKey_; }
    // The server time (ms) of the last key or button event dispatched; 0 before any.
    static Time InputTime() { return inputTime_; }
    // Whether the key press being dispatched is the server's auto-repeat of a held
    // key, and whether the press being dispatched (the left button, or Return, Enter
    // or Space) is the second or a later press of a quick multi-press on one control.
    // The loop itself keeps such repeats and presses from pressing buttons; a form
    // asks when it acts on keys or clicks of its own.
    static bool IsKeyRepeat() { return keyRepeat_; }
    static bool IsMultiClick() { return multiClick_; }
    // The server time at which the press being dispatched, or the press whose
    // release is being dispatched, went down (a held key's first press); 0 when this
    // program did not see it go down.
    static Time PressTime() { return pressTime_; }
    static bool Quit() { return quit_; }
    static void SetQuit(bool q) { quit_ = q; }
    static bool Loading() { return loading_; }
    static void SetLoading(bool b) { loading_ = b; }
    // Told by a form that its window was mapped or destroyed: a key press that opens
    // or closes a window starts a multi-press that a quick second press of the key
    // continues on whatever window it lands.
    static void NoteWindowOpenedOrClosed() { ++windowChanges_; }
    // The next element id; ids start at 1 and are never reused.
    static uint32_t NextId() { return ++nextId_; }

    // Run at shut-down after all form windows are destroyed (the message box uses it
    // to release the one shared box).
    static void SetShutdownHook(void (*hook)()) { shutdownHook_ = hook; }

    // --- the loop ---
    // Runs until the quit flag is set, then destroys all form windows.
    static void Run(Form* mainForm);
    // Routes one event; the seam the tests drive with hand-made events.
    static void Dispatch(XEvent& event, Form* mainForm);
    // True while at least one timer counts; only then does the loop poll.
    static bool AnyTimerRunning();
    // The idle tick: every running timer in the timer list, in list order, counts ms
    // and fires when its interval is reached. Timers created by a handler wait for
    // the next tick.
    static void TickTimers(uint32_t ms);
    // Installs handlers that log protocol errors instead of ending the process, and
    // end it with one log line when the connection is lost.
    static void InstallErrorHandlers();

    // Runs `action` as the handlers of an event run (what it deletes is freed after
    // it), for input that does not come from X: a screen reader's action. No key or
    // button event is being dispatched meanwhile, and no press time is known.
    static void RunInput(void (*action)(void*), void* context);

    // --- deferred deletion ---
    // Called by GUIElement's delete: true when an event is being dispatched, in which
    // case the element is queued (once) and the focus leaves it; false when it is to
    // be freed at once.
    static bool DeferDeletion(GUIElement* e);

    // Forgets every list entry and flag; for tests that build several worlds in turn.
    static void ResetForTests();

private:
    // Marks the dispatch of one event (or one idle tick); when the outermost one ends,
    // the elements deleted meanwhile are freed.
    class EventScope;

    static void FreeDeleted();

    static ElementList elements_;
    static ElementList forms_;
    static ElementList timers_;
    static GUIElement* focused_;
    static bool focusByPointer_;
    static unsigned windowChanges_;
    static GUIElement* mainForm_;
    static bool quit_;
    static bool loading_;
    static uint32_t nextId_;
    static unsigned pointerButton_;
    static bool dispatchingKey_;
    static Time inputTime_;
    static bool keyRepeat_;
    static bool multiClick_;
    static Time pressTime_;
    static void (*shutdownHook_)();
    static int eventDepth_;
    static ElementList deleted_;
};

// Waits until fd is readable or ms have passed: select's result (0 on time-out,
// positive when readable, -1 on error). The loop's 10 ms idle wait.
int WaitReadable(int fd, uint32_t ms);
