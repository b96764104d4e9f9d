#pragma once
// A created 300 x 200 form on the private server, a place for its controls, and
// hand-made X events for it. Members are destroyed in reverse order, so the controls
// go first, then the form, then the connection.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <memory>
#include <vector>

#include "FormEvents.h"
#include "FreshRegistry.h"
#include "RecordingControl.h"
#include "RecordingForm.h"
#include "ScopedTempDir.h"
#include "app/Application.h"
#include "app/ScreenConnection.h"

class FormFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.Ok());
        ASSERT_NE(display, nullptr);
        form.SetScreen(screen.get());
        form.SetPosition(10, 10);
        form.SetSize(300, 200);
        form.Create();
        ASSERT_TRUE(form.IsCreated());
        XSync(display, False);
        calls.clear();
    }

    // A created, visible control on `parent` (the form when none is given).
    RecordingControl& Add(const char* name, int x, int y, int w, int h, GUIElement* parent = nullptr,
                          const char* kind = "testcontrol")
    {
        controls.push_back(std::make_unique<RecordingControl>(calls, name, parent ? parent : &form, kind));
        RecordingControl& c = *controls.back();
        c.Show();
        c.Place(x, y, w, h);
        return c;
    }

    XEvent Button(int type, int x, int y, unsigned button = Button1, Window w = 0)
    {
        return form_events::ButtonEvent(display, w ? w : form.GetWindow(), type, x, y, button);
    }

    // A key event with the server's real keycode for `sym`, no modifiers.
    XEvent Key(int type, KeySym sym, Window w = 0)
    {
        XEvent ev = form_events::KeyEvent(display, w ? w : form.GetWindow(), type, sym);
        EXPECT_NE(ev.xkey.keycode, 0u) << "the server has no key for " << KeyName(sym);
        return ev;
    }

    void Dispatch(XEvent ev, Form* mainForm = nullptr) { Application::Dispatch(ev, mainForm ? mainForm : &form); }

    // Press and release, as one hand-made click.
    void Type(KeySym sym)
    {
        Dispatch(Key(KeyPress, sym));
        Dispatch(Key(KeyRelease, sym));
    }

    ScopedTempDir dir;

private:
    FreshRegistry fresh_;

protected:
    std::unique_ptr<ScreenConnection> screen = std::make_unique<ScreenConnection>();
    Display* display = screen->GetDisplay();
    CallLog calls;
    RecordingForm form{calls, "form"};
    std::vector<std::unique_ptr<RecordingControl>> controls;
};
