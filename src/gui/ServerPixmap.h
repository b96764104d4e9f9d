#pragma once
#include <X11/Xlib.h>

// Owns one pixmap on the X server and frees it with XFreePixmap.
class ServerPixmap {
public:
    ServerPixmap() = default;
    ~ServerPixmap() { reset(); }
    ServerPixmap(const ServerPixmap&) = delete;
    ServerPixmap& operator=(const ServerPixmap&) = delete;

    Pixmap get() const { return pixmap_; }
    explicit operator bool() const { return pixmap_ != 0; }
    // Frees the pixmap held, if any, and takes `pixmap` of `display`.
    void reset(Display* display = nullptr, Pixmap pixmap = 0)
    {
        if (pixmap_ && display_) XFreePixmap(display_, pixmap_);
        display_ = display;
        pixmap_ = pixmap;
    }

private:
    Display* display_ = nullptr;
    Pixmap pixmap_ = 0;
};
