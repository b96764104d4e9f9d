#pragma once
// Hand-made X events for one form's window, handed to Application::Dispatch the way
// the event loop does, and the window's outer rectangle as the server sees it.
#include <gtest/gtest.h>
// gtest first: Xlib's None macro would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <ostream>

#include "app/Application.h"
#include "gui/Form.h"

namespace form_events {

// A button event at (x, y) of `w`, as the server would send it.
inline XEvent ButtonEvent(Display* d, Window w, int type, int x, int y, unsigned button = Button1)
{
    XEvent ev{};
    ev.type = type;
    ev.xbutton.display = d;
    ev.xbutton.window = w;
    ev.xbutton.x = x;
    ev.xbutton.y = y;
    ev.xbutton.button = button;
    ev.xbutton.same_screen = True;
    return ev;
}

// A key event on `w` with the server's real keycode for `sym` (0 when it has none),
// no modifiers.
inline XEvent KeyEvent(Display* d, Window w, int type, KeySym sym)
{
    XEvent ev{};
    ev.type = type;
    ev.xkey.display = d;
    ev.xkey.window = w;
    ev.xkey.root = DefaultRootWindow(d);
    ev.xkey.keycode = XKeysymToKeycode(d, sym);
    ev.xkey.same_screen = True;
    return ev;
}

inline XEvent MouseEvent(Form& form, int type, int x, int y)
{
    return ButtonEvent(form.GetDisplay(), form.GetWindow(), type, x, y);
}

// A left press and release at (x, y) of the form's window.
inline void Click(Form& form, int x, int y, Form* mainForm)
{
    XEvent press = MouseEvent(form, ButtonPress, x, y);
    Application::Dispatch(press, mainForm);
    XEvent release = MouseEvent(form, ButtonRelease, x, y);
    Application::Dispatch(release, mainForm);
}

inline void Press(Form& form, int x, int y, Form* mainForm)
{
    XEvent press = MouseEvent(form, ButtonPress, x, y);
    Application::Dispatch(press, mainForm);
}

// The key `sym` goes down and up on the form (characters arrive on the release).
inline void Stroke(Form& form, KeySym sym, Form* mainForm)
{
    XEvent ev = KeyEvent(form.GetDisplay(), form.GetWindow(), KeyPress, sym);
    ASSERT_NE(ev.xkey.keycode, 0u);
    Application::Dispatch(ev, mainForm);
    ev.type = KeyRelease;
    Application::Dispatch(ev, mainForm);
}

// What a window manager sends when its close box is pressed.
inline void CloseBox(Form& form, Form* mainForm)
{
    XEvent ev{};
    ev.type = ClientMessage;
    ev.xclient.display = form.GetDisplay();
    ev.xclient.window = form.GetWindow();
    ev.xclient.message_type = XInternAtom(form.GetDisplay(), "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(form.GetDeleteAtom());
    Application::Dispatch(ev, mainForm);
}

// Waits for the form's first Expose and hands it over, which paints the form.
inline void PaintOnFirstExpose(Form& form, Form* mainForm)
{
    XEvent ev;
    XWindowEvent(form.GetDisplay(), form.GetWindow(), ExposureMask, &ev);
    Application::Dispatch(ev, mainForm);
    XSync(form.GetDisplay(), False);
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.x << ", " << r.y << ") " << r.w << " x " << r.h;
}

// The window's place (its outer corner, border included) and inner size.
inline Rect WindowRect(Display* d, Window w)
{
    Window root;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, w, &root, &x, &y, &width, &height, &border, &depth)) return Rect{};
    return Rect{x, y, static_cast<int>(width), static_cast<int>(height)};
}

// A control's rectangle in its parent, as the control keeps it.
inline Rect ControlRect(GUIElement* e)
{
    const Point p = e->GetPosition();
    const Point s = e->GetSize();
    return Rect{p.x, p.y, s.x, s.y};
}

}  // namespace form_events
