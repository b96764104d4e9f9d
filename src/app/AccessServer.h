#pragma once
// What the accessibility bridge serves on the accessibility bus: the program's root
// (the application "Quorrel"), every open window, and the nodes each describes of
// itself, through the AT-SPI 2 interfaces Accessible, Application, Component, Action
// and Text, and the cache clients ask for first. Every answer comes from the
// description clients were last told of; after each change Publish describes the
// program again and sends the events of what changed. An action a client asks for
// runs as input of the program's own and is told at once.
//
// Objects are named by path under /org/a11y/atspi/accessible: "root", "w<form>" for
// a window and "w<form>_<key>" for a node on it.
#include <X11/Xlib.h>
#include <cstdint>

#include "app/SdBus.h"

class AccessServer {
public:
    // Serves the objects on `bus`, the accessibility bus just connected; a negative
    // error number when it cannot.
    static int Serve(const SdBus* sd, sd_bus* bus, Display* display);
    // The bus has gone: nothing is served any more.
    static void Forget();
    // The registry embedded the root in its desktop (the root's parent): clients are
    // told at once which window is active and where the focus is.
    static void Embedded(const char* desktopName, const char* desktopPath);
    // Appends the root's reference, (bus name, path), to a message: what Embed sends.
    static int AppendRoot(sd_bus_message* m);
    // The window with the keyboard; 0 for none. Followed also while nothing is served.
    static void SetActiveWindow(uint32_t formId);
    static uint32_t ActiveWindow();
    // Describes the program again and tells clients what changed since they were told.
    static void Publish();
};
