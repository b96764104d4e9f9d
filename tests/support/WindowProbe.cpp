#include "WindowProbe.h"

#include <X11/Xutil.h>
#include <sys/socket.h>
#include <thread>

namespace {
// Top-level windows sit on the root, or, under a window manager, a level or two down
// inside its frames.
void CollectOfClass(Display* d, Window parentWindow, const std::string& className, int depth,
                    std::vector<Window>& found)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, parentWindow, &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        XClassHint hint{};
        if (XGetClassHint(d, children[i], &hint)) {
            if (hint.res_class && className == hint.res_class) found.push_back(children[i]);
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
        } else if (depth > 1) {
            CollectOfClass(d, children[i], className, depth - 1, found);
        }
    }
    if (children) XFree(children);
}
}  // namespace

std::vector<Window> WindowsOfClass(Display* d, const std::string& className)
{
    std::vector<Window> found;
    CollectOfClass(d, DefaultRootWindow(d), className, 3, found);
    return found;
}

Window WaitForWindowOfClass(Display* d, const std::string& className, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        XSync(d, False);
        std::vector<Window> windows = WindowsOfClass(d, className);
        if (!windows.empty()) return windows.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
}

bool SendDeleteWindow(Display* d, Window w)
{
    XEvent ev{};
    ev.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(d, w, False, NoEventMask, &ev) != 0;
    XFlush(d);
    return sent;
}

bool WaitForNoWindowOfClass(Display* d, const std::string& className, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        XSync(d, False);
        if (WindowsOfClass(d, className).empty()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

pid_t ServerPid(Display* d)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return d && getsockopt(ConnectionNumber(d), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 ? peer.pid : 0;
}
