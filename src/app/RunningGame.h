#pragma once
// A second start in a directory where a game runs: it brings that game's window to
// the front instead of starting another game on the same files.
#include <X11/Xlib.h>
#include <sys/types.h>

class RunningGame {
public:
    // The main window of process `pid` on this machine, found on `display` by its
    // _NET_WM_PID and WM_CLIENT_MACHINE (a dialog, transient for it, is not it);
    // 0 when there is none on this display.
    static Window FindMainWindow(Display* display, pid_t pid);
    // FindMainWindow, asked again for a short while until the window is there.
    static Window WaitForMainWindow(Display* display, pid_t pid);
    // Asks the window manager to activate `w` (_NET_ACTIVE_WINDOW) and raises it,
    // which is all there is to do without a window manager; the game is told too,
    // so that a dialog it has open comes back with the keyboard.
    static void BringToFront(Display* display, Window w);
};
