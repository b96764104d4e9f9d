#include "app/RunningGame.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <climits>
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// One CARDINAL of a property, or -1.
long CardinalProperty(Display* d, Window w, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(d, w, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && format == 32 && count == 1)
        value = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return value;
}

std::string ClientMachine(Display* d, Window w)
{
    XTextProperty prop{};
    std::string machine;
    if (XGetWMClientMachine(d, w, &prop) && prop.value) {
        machine.assign(reinterpret_cast<char*>(prop.value), prop.nitems);
        XFree(prop.value);
    }
    return machine;
}

std::string ThisMachine()
{
    char name[HOST_NAME_MAX + 1] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

bool IsMainWindowOf(Display* d, Window w, Atom pidAtom, long pid, const std::string& machine)
{
    if (CardinalProperty(d, w, pidAtom) != pid || ClientMachine(d, w) != machine) return false;
    Window owner = None;
    return !XGetTransientForHint(d, w, &owner);
}

// Top-level windows sit on the root, or one or two levels down inside a window
// manager's frames.
Window Search(Display* d, Window w, int depth, Atom pidAtom, long pid, const std::string& machine)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        if (IsMainWindowOf(d, children[i], pidAtom, pid, machine)) found = children[i];
    for (unsigned i = 0; i < count && !found && depth > 1; ++i)
        found = Search(d, children[i], depth - 1, pidAtom, pid, machine);
    if (children) XFree(children);
    return found;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

Window RunningGame::FindMainWindow(Display* display, pid_t pid)
{
    if (!display || pid <= 0) return 0;
    // Windows may vanish while they are looked at; such errors mean "not this one".
    XSync(display, False);
    auto previous = XSetErrorHandler(IgnoreErrors);
    const Window found = Search(display, DefaultRootWindow(display), 3, XInternAtom(display, "_NET_WM_PID", False),
                                static_cast<long>(pid), ThisMachine());
    XSync(display, False);
    XSetErrorHandler(previous);
    return found;
}

Window RunningGame::WaitForMainWindow(Display* display, pid_t pid)
{
    constexpr int kTries = 20;
    constexpr auto kPause = std::chrono::milliseconds(100);
    for (int i = 0; i < kTries; ++i) {
        if (Window w = FindMainWindow(display, pid)) return w;
        std::this_thread::sleep_for(kPause);
    }
    return 0;
}

void RunningGame::BringToFront(Display* display, Window w)
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2;  // on the user's behalf, as a task bar asks
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XSendEvent(display, w, False, NoEventMask, &ev);
    XMapRaised(display, w);
    XSync(display, False);
}
