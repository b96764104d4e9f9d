#include "app/ScreenConnection.h"

#include <fcntl.h>

#include "app/Log.h"
#include "gui/ColorTranslator.h"

namespace {
ScreenConnection* registeredScreen = nullptr;
}

ScreenConnection::ScreenConnection() { Open(); }

ScreenConnection::~ScreenConnection()
{
    // A destroyed connection must not keep answering ScreenWidth and ScreenHeight.
    if (registeredScreen == this) registeredScreen = nullptr;
    Close();
}

void ScreenConnection::Open()
{
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        WriteLog("XOpenDisplay(0) failed.");
        return;
    }
    // Children (the beep, the browser) must not inherit the connection.
    fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);

    screenNumber_ = DefaultScreen(display_);
    Screen* screen = ScreenOfDisplay(display_, screenNumber_);
    screenWidth_ = WidthOfScreen(screen);
    screenHeight_ = HeightOfScreen(screen);
    screenDepth_ = DefaultDepthOfScreen(screen);
    if (screenDepth_ < 24) WriteLog("This app requires 24-bit depth.");

    XVisualInfo tmpl{};
    tmpl.screen = screenNumber_;
    tmpl.depth = screenDepth_;
    int count = 0;
    visualInfo_ = XGetVisualInfo(display_, VisualScreenMask | VisualDepthMask, &tmpl, &count);
    if (count == 0) WriteLog("GetVisualInfo failed.");
    colors_ = std::make_unique<ColorTranslator>(display_, screenNumber_);

    screenHeight_ = DisplayHeight(display_, screenNumber_);
    screenWidth_ = DisplayWidth(display_, screenNumber_);

    if (!registeredScreen) registeredScreen = this;
}

bool ScreenConnection::Close()
{
    if (!display_) return false;
    colors_.reset();
    if (visualInfo_) {
        XFree(visualInfo_);
        visualInfo_ = nullptr;
    }
    XCloseDisplay(display_);
    display_ = nullptr;
    return true;
}

int ScreenWidth() { return registeredScreen ? registeredScreen->GetScreenWidth() : 0; }
int ScreenHeight() { return registeredScreen ? registeredScreen->GetScreenHeight() : 0; }
