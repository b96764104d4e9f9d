#pragma once
#include <X11/Xlib.h>

// Owns one X graphics context and frees it with XFreeGC.
class GraphicsContext {
public:
    GraphicsContext() = default;
    ~GraphicsContext() { reset(); }
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    GC get() const { return gc_; }
    explicit operator bool() const { return gc_ != nullptr; }
    // Frees the context held, if any, and takes `gc` of `display`.
    void reset(Display* display = nullptr, GC gc = nullptr)
    {
        if (gc_ && display_) XFreeGC(display_, gc_);
        display_ = display;
        gc_ = gc;
    }
    // Forgets the context without freeing it: its display is closed and took it along.
    void release()
    {
        display_ = nullptr;
        gc_ = nullptr;
    }

private:
    Display* display_ = nullptr;
    GC gc_ = nullptr;
};
