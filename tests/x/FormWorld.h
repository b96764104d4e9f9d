#pragma once
// The one world for a form on the private X server (a test's fixture, or a local
// made after the test has pointed DISPLAY at a server of its own): a clean registry and pixel layout,
// a fresh working directory that receives log.txt, a connection whose protocol errors
// are logged by the program's own handler (so "X error" in the log means a bad request
// was sent), forms that are mapped and exposed before a test draws on them, their
// pixels read back with XGetImage, and hand-made events handed to
// Application::Dispatch exactly the way the event loop hands them over.
//
// Members go in reverse order: the controls, then the forms, then the connection, then
// the folder the connection logs into, and last the registry is emptied again.
#include <gtest/gtest.h>
// gtest first: Xlib's None macro would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Colours.h"
#include "FileContents.h"
#include "FormEvents.h"
#include "RecordingControl.h"
#include "RecordingForm.h"
#include "ScopedTempDir.h"
#include "WindowPixels.h"
#include "app/Application.h"
#include "app/ScreenConnection.h"
#include "gui/Child.h"
#include "gui/Form.h"
#include "gui/PixelLayout.h"

class FormWorld {
    struct Clean {
        Clean() { Reset(); }
        ~Clean() { Reset(); }
        static void Reset()
        {
            Application::ResetForTests();
            ResetPixelLayoutForTests();
        }
    } clean_;

public:
    ScopedTempDir dir;
    std::unique_ptr<ScreenConnection> screen = std::make_unique<ScreenConnection>();
    Display* const display = screen->GetDisplay();
    CallLog calls;

    FormWorld()
    {
        EXPECT_TRUE(dir.Ok());
        if (display) Application::InstallErrorHandlers();
    }
    FormWorld(const FormWorld&) = delete;
    FormWorld& operator=(const FormWorld&) = delete;

    // A created, mapped and exposed form of w x h at (x, y); the first one made is
    // the program's main form (its font is the one all text uses) and the target of
    // the events below.
    Form* MakeForm(int w, int h, int64_t back = -1, int x = 0, int y = 0)
    {
        auto form = std::make_unique<Form>(nullptr);
        form->SetScreen(screen.get());
        form->SetGeometry(x, y, w, h);
        if (back != -1) form->SetBackColor(back);
        if (!Application::MainForm()) Application::SetMainForm(form.get());
        form->Create();
        XEvent ev;
        XWindowEvent(display, form->GetWindow(), ExposureMask, &ev);
        forms_.push_back(std::move(form));
        if (!target_) target_ = forms_.back().get();
        return forms_.back().get();
    }
    // A created 300 x 200 form at (10, 10) that writes down what reaches it into
    // `calls` (left empty), made the target of the events below.
    RecordingForm& MakeRecordingForm()
    {
        auto form = std::make_unique<RecordingForm>(calls, "form");
        form->SetScreen(screen.get());
        form->SetPosition(10, 10);
        form->SetSize(300, 200);
        form->Create();
        EXPECT_TRUE(form->IsCreated());
        Sync();
        calls.clear();
        RecordingForm& made = *form;
        target_ = form.get();
        forms_.push_back(std::move(form));
        return made;
    }

    // A created, visible recording control on `parent` (the target form when none is given).
    RecordingControl& Add(const char* name, int x, int y, int w, int h, GUIElement* parent = nullptr,
                          const char* kind = "testcontrol")
    {
        controls.push_back(std::make_unique<RecordingControl>(calls, name, parent ? parent : target_, kind));
        RecordingControl& c = *controls.back();
        c.Show();
        c.Place(x, y, w, h);
        return c;
    }

    // Waits until the server has handled (and answered errors for) every request.
    void Sync() const { XSync(display, False); }
    WindowPixels Read(Form* form) const
    {
        Sync();
        return WindowPixels(display, form->GetWindow(), form->GetWidth(), form->GetHeight());
    }
    std::string Log() const { return ReadLog(dir.Path()); }
    // A line of the log starts with `text` (ending it with "\n" asks for the whole line).
    bool LogHas(const std::string& text) const { return ("\n" + Log()).find("\n" + text) != std::string::npos; }
    // No protocol error reached the program's handler.
    bool NoXErrors() const
    {
        Sync();
        return !LogHas("X error");
    }

    // Hand-made events on window w (the target form's when 0), and their dispatch the
    // way the loop does it with `mainForm` (the target form when none is given).
    XEvent Button(int type, int x, int y, unsigned button = Button1, Window w = 0)
    {
        return form_events::ButtonEvent(display, w ? w : target_->GetWindow(), type, x, y, button);
    }
    XEvent Key(int type, KeySym sym, Window w = 0)
    {
        XEvent ev = form_events::KeyEvent(display, w ? w : target_->GetWindow(), type, sym);
        EXPECT_NE(ev.xkey.keycode, 0u) << "the server has no key for " << KeyName(sym);
        return ev;
    }
    void Dispatch(XEvent ev, Form* mainForm = nullptr) { Application::Dispatch(ev, mainForm ? mainForm : target_); }
    void PressAt(int x, int y) { Dispatch(Button(ButtonPress, x, y)); }
    void ReleaseAt(int x, int y) { Dispatch(Button(ButtonRelease, x, y)); }
    void ClickAt(int x, int y)
    {
        PressAt(x, y);
        ReleaseAt(x, y);
    }
    // The key goes down and up (characters arrive on the release).
    void Type(KeySym sym)
    {
        Dispatch(Key(KeyPress, sym));
        Dispatch(Key(KeyRelease, sym));
    }

private:
    std::vector<std::unique_ptr<Form>> forms_;
    Form* target_ = nullptr;

public:
    std::vector<std::unique_ptr<RecordingControl>> controls;
};

// The background of the forms the control tests draw on: no control's colour.
inline constexpr uint32_t kFormBack = 0x204060;

// The fixture: a world of its own for every test, which sent no bad request.
class FormTest : public testing::Test, public FormWorld {
protected:
    ~FormTest() override { EXPECT_TRUE(NoXErrors()) << Log(); }
};

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

// An RGB buffer of w x h whose pixel (x, y) is SheetColour(x, y): no two pixels of a
// 750 x 40 sheet repeat, and none is black.
inline uint32_t SheetColour(int x, int y) { return static_cast<uint32_t>(0x010101 + (x << 8) + (y << 18)) & 0xFFFFFF; }
inline void SetRgb(std::vector<unsigned char>& rgb, int w, int x, int y, uint32_t c)
{
    unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    p[0] = c >> 16 & 0xFF;
    p[1] = c >> 8 & 0xFF;
    p[2] = c & 0xFF;
}
inline std::vector<unsigned char> MakeSheet(int w, int h)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetRgb(rgb, w, x, y, SheetColour(x, y));
    return rgb;
}
