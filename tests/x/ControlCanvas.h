#pragma once
// A real form of the pixel world (PixelForm.h) for control tests: pixels are read back
// from its window, and input reaches it as hand-made events through Application::Dispatch,
// exactly the way the event loop hands them over.
#include <gtest/gtest.h>
// gtest first: Xlib's None macro would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

#include "FormEvents.h"
#include "PixelForm.h"
#include "WindowPixels.h"
#include "app/Application.h"
#include "app/ScreenConnection.h"
#include "gui/Child.h"
#include "gui/Form.h"

namespace control_canvas {

// A plain container of kind "panel": the event loop and FormOffset look into it.
class Holder : public Child {
public:
    explicit Holder(GUIElement* parent) : Child(parent, {.kind = kKindPanel}) {}
    void Create() override
    {
        if (id_ == 0) id_ = Application::NextId();
        created_ = visible_ = true;
    }
};

class Canvas : public testing::Test {
protected:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 160;
    static constexpr uint32_t kFormBack = 0x204060;

    pixel_form::World world;
    Form* const form_ = world.MakeForm(kWidth, kHeight, kFormBack);

    // Another created, mapped form at (x, 0); back colour -1 leaves it without one.
    Form* MakeForm(int x, int64_t back) { return world.MakeForm(kWidth, kHeight, back, x); }
    Display* Dpy() const { return world.display(); }
    WindowPixels Shot(Form* f = nullptr) { return world.Read(f ? f : form_); }

    void Mouse(int type, int x, int y)
    {
        XEvent ev = form_events::ButtonEvent(Dpy(), form_->GetWindow(), type, x, y);
        Application::Dispatch(ev, form_);
    }
    void Press(int x, int y) { Mouse(ButtonPress, x, y); }
    void Release(int x, int y) { Mouse(ButtonRelease, x, y); }
    void Click(int x, int y)
    {
        Press(x, y);
        Release(x, y);
    }

    void Key(int type, KeySym k)
    {
        XEvent ev = form_events::KeyEvent(Dpy(), form_->GetWindow(), type, k);
        Application::Dispatch(ev, form_);
    }
    void KeyDownOnly(KeySym k) { Key(KeyPress, k); }
    void KeyUpOnly(KeySym k) { Key(KeyRelease, k); }
    void Stroke(KeySym k)
    {
        Key(KeyPress, k);
        Key(KeyRelease, k);
    }
};

}  // namespace control_canvas
