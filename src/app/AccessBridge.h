#pragma once
// The program on the desktop's accessibility bus, where screen readers find it.
//
// It follows the desktop's setting on the session bus (org.a11y.Status.IsEnabled):
// while assistive technology is on it joins the accessibility bus, embeds the
// program's root in the registry's desktop and serves there every open window and
// what the window describes of itself (AccessServer); when the setting goes off it
// leaves. NO_AT_BRIDGE=1 keeps it off;
// AT_SPI_BUS_ADDRESS names a bus to join without asking. Every call it makes on a
// bus is asynchronous, and a bus that fails is closed with one log line: nothing a
// bus does can stop the game.
//
// It runs inside the one event loop: the loop waits on the buses beside the X
// connection (Wait), and after each event the bridge describes the program again
// and tells clients what changed (AfterEvent), since they cache names and states.
#include <X11/Xlib.h>

class AccessBridge {
public:
    // Starts following the setting; the loop calls it once the first picture is on
    // the screen, so that nothing of this delays it.
    static void Start(Display* display);
    // Leaves every bus; at shut-down.
    static void Stop();
    // True while there is a bus to wait on.
    static bool Running();
    // Waits at most `ms` (-1: as long as it takes) for input on the X connection `xfd`
    // or on a bus, and handles what the buses brought. 1: X has input; 0: the time
    // ran out with no input at all; -1: a bus had something, or the bus's own
    // deadline came first.
    static int Wait(int xfd, int ms);
    // After each X event: follows the keyboard focus between the windows and tells
    // clients what the event changed.
    static void AfterEvent(const XEvent& event);
};
