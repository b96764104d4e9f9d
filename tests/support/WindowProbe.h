#pragma once
// Looking at a program's windows from the test's own connection: find them by
// WM_CLASS, and ask them to close the way a window manager's close box does.
#include <X11/Xlib.h>
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// Top-level windows whose WM_CLASS class name is `className`.
std::vector<Window> WindowsOfClass(Display* d, const std::string& className);
// Polls until a window of `className` exists; 0 on timeout.
Window WaitForWindowOfClass(Display* d, const std::string& className, std::chrono::milliseconds timeout);
// Sends WM_PROTOCOLS / WM_DELETE_WINDOW to `w`.
bool SendDeleteWindow(Display* d, Window w);
// Polls until no window of `className` is left (a killed program's windows go when
// the server notices the lost connection); false on timeout.
bool WaitForNoWindowOfClass(Display* d, const std::string& className, std::chrono::milliseconds timeout);
// The process id of the X server at the other end of `d` (a local connection), or 0.
pid_t ServerPid(Display* d);
