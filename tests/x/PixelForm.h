#pragma once
// A mapped form on an X server for drawing tests: the pixels are read back from the
// server with XGetImage, and the log is written into a fresh working directory so
// that a test can read exactly what it caused. Protocol errors are logged by the
// program's own handler, so "X error" in the log means a bad request was sent.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ScopedTempDir.h"
#include "WindowPixels.h"
#include "app/Application.h"
#include "app/ScreenConnection.h"
#include "gui/Form.h"
#include "image/DisplayImage.h"

namespace pixel_form {

// A fresh working directory for log.txt, removed afterwards.
class LogDir {
public:
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::ifstream in(dir_.File("log.txt"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    bool Has(const std::string& line) const
    {
        for (const std::string& l : Lines())
            if (l == line) return true;
        return false;
    }
    bool HasPrefix(const std::string& prefix) const
    {
        for (const std::string& l : Lines())
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    }
    std::string All() const
    {
        std::ostringstream out;
        for (const std::string& l : Lines()) out << l << "\n";
        return out.str();
    }

private:
    ScopedTempDir dir_;
};

// One world: a clean registry and pixel layout, a connection to $DISPLAY, a log
// directory, and forms that are mapped and exposed before a test draws on them.
class World {
public:
    World()
    {
        Application::ResetForTests();
        ResetPixelLayoutForTests();
        screen_ = std::make_unique<ScreenConnection>();
        if (screen_->GetDisplay()) Application::InstallErrorHandlers();
    }
    ~World()
    {
        forms_.clear();
        Application::ResetForTests();
        ResetPixelLayoutForTests();
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    Display* display() const { return screen_->GetDisplay(); }
    const LogDir& log() const { return log_; }

    // A created, mapped and exposed form of w x h at (x, y); the first one made is
    // the program's main form (its font is the one all text uses).
    Form* MakeForm(int w, int h, int64_t back = -1, int x = 0, int y = 0)
    {
        auto form = std::make_unique<Form>(nullptr);
        form->SetScreen(screen_.get());
        form->SetGeometry(x, y, w, h);
        if (back != -1) form->SetBackColor(back);
        if (!Application::MainForm()) Application::SetMainForm(form.get());
        form->Create();
        XEvent ev;
        XWindowEvent(display(), form->GetWindow(), ExposureMask, &ev);
        forms_.push_back(std::move(form));
        return forms_.back().get();
    }
    // Waits until the server has handled (and answered errors for) every request.
    void Sync() const { XSync(display(), False); }
    WindowPixels Read(Form* form) const
    {
        Sync();
        return WindowPixels(display(), form->GetWindow(), form->GetWidth(), form->GetHeight());
    }
    // No protocol error reached the program's handler.
    bool NoXErrors() const
    {
        Sync();
        return !log_.HasPrefix("X error");
    }

private:
    LogDir log_;  // first in, last out: the connection logs into it
    std::unique_ptr<ScreenConnection> screen_;
    std::vector<std::unique_ptr<Form>> forms_;
};

// An RGB buffer of w x h whose pixel (x, y) is ColourAt(x, y): no two pixels of a
// 750 x 40 sheet repeat, and none is black.
inline uint32_t SheetColour(int x, int y) { return static_cast<uint32_t>(0x010101 + (x << 8) + (y << 18)) & 0xFFFFFF; }
inline std::vector<unsigned char> MakeSheet(int w, int h)
{
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = SheetColour(x, y);
            unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = c >> 16 & 0xFF;
            p[1] = c >> 8 & 0xFF;
            p[2] = c & 0xFF;
        }
    return rgb;
}
inline void SetRgb(std::vector<unsigned char>& rgb, int w, int x, int y, uint32_t c)
{
    unsigned char* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
    p[0] = c >> 16 & 0xFF;
    p[1] = c >> 8 & 0xFF;
    p[2] = c & 0xFF;
}

}  // namespace pixel_form
