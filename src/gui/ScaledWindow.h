#pragma once
// A window shown at a whole scale above 1. Its form draws, in the form's own
// pixels, into an off-screen pixmap of the window's depth; what changed is then shown
// on the window enlarged, each pixel as a scale x scale block of the same colour,
// by the RENDER extension with nearest-neighbour sampling: one request per
// presented change, and the window looks like the 1x window under a magnifier.
#include <X11/Xlib.h>
#include <X11/extensions/Xrender.h>

class ScaledWindow {
public:
    // The picture of a `window` (of `visual` and `depth`) of width x height in the
    // form's own pixels, filled with `background`; Ok() tells whether the server made it.
    ScaledWindow(Display* display, Visual* visual, int depth, Window window, int width, int height, int scale,
                 unsigned long background);
    ~ScaledWindow();
    ScaledWindow(const ScaledWindow&) = delete;
    ScaledWindow& operator=(const ScaledWindow&) = delete;

    bool Ok() const { return source_ != None; }
    // Where drawing goes.
    Pixmap Target() const { return pixmap_; }
    // Notes that w x h pixels at (x, y) of the target changed.
    void Changed(int x, int y, int w, int h);
    // Shows what changed since the last present, unless a hold is on.
    void Present();
    // While held (a whole form paints), changes gather and are shown at the release.
    void Hold() { ++holds_; }
    void Release();
    // Forgets the server's resources without freeing them: their display is closed.
    void Forget() { display_ = nullptr; }

private:
    Display* display_;
    Window window_;
    int width_, height_, scale_;
    Pixmap pixmap_ = None;
    Picture source_ = None;
    Picture target_ = None;
    int holds_ = 0;
    // The changed box, empty when left >= right.
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};
