#include "app/ScreenConnection.h"

#include <X11/Xresource.h>
#include <X11/extensions/Xrender.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>

#include "app/Log.h"
#include "gui/ColorTranslator.h"

namespace {
ScreenConnection* registeredScreen = nullptr;

constexpr int kMaxScale = 4;
constexpr int kPanelHeight = 48;  // kept free for a desktop's panel

// The scale the desktop's resolution asks for: round(dpi / 96), from 1 to kMaxScale.
int AskedScale(double dpi)
{
    // Clamped before rounding: the resource is any text, "inf" and 1e300 included.
    return dpi > 0 ? static_cast<int>(std::max(1L, std::lround(std::min(dpi, 96.0 * kMaxScale) / 96))) : 1;
}

// The desktop's Xft.dpi, from the resource string Xlib read at connection (no
// request); 0 when there is none.
double DesktopDpi(Display* d)
{
    const char* resources = XResourceManagerString(d);
    if (!resources) return 0;
    XrmInitialize();
    XrmDatabase db = XrmGetStringDatabase(resources);
    if (!db) return 0;
    char* type = nullptr;
    XrmValue value{};
    double dpi = 0;
    if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr) dpi = std::strtod(value.addr, nullptr);
    XrmDestroyDatabase(db);
    return dpi;
}
}  // namespace

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
    InternWindowAtoms();

    screenHeight_ = DisplayHeight(display_, screenNumber_);
    screenWidth_ = DisplayWidth(display_, screenNumber_);

    if (!registeredScreen) registeredScreen = this;
}

void ScreenConnection::InternWindowAtoms()
{
    // The atoms the windows name (Xlib's own for the standard properties and the
    // protocols, the form's for the window manager) in one round trip instead of
    // one each: Xlib keeps the answers, and the windows' own XInternAtom calls then
    // find them without asking the server.
    static const char* const kNames[] = {"WM_LOCALE_NAME",      "WM_PROTOCOLS",
                                         "WM_DELETE_WINDOW",    "_NET_WM_PID",
                                         "_NET_WM_ICON",        "_NET_WM_USER_TIME",
                                         "_NET_WM_STATE",       "_NET_WM_STATE_MODAL",
                                         "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG",
                                         "WM_TAKE_FOCUS",       "_NET_ACTIVE_WINDOW",
                                         "_NET_WM_NAME",        "_NET_WM_ICON_NAME",
                                         "UTF8_STRING"};
    constexpr int kCount = sizeof kNames / sizeof kNames[0];
    Atom atoms[kCount];
    XInternAtoms(display_, const_cast<char**>(kNames), kCount, False, atoms);
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

int ScreenConnection::ScaleFor(double dpi, int screenWidth, int screenHeight, int width, int height)
{
    int scale = AskedScale(dpi);
    while (scale > 1 && (width * scale > screenWidth || height * scale > screenHeight - kPanelHeight)) --scale;
    return scale;
}

void ScreenConnection::ChooseScale(int width, int height)
{
    scale_ = 1;
    if (!display_) return;
    const double dpi = DesktopDpi(display_);
    const int scale = ScaleFor(dpi, screenWidth_, screenHeight_, width, height);
    const std::string asked = "Xft.dpi " + std::to_string(dpi > 0 ? std::lround(std::min(dpi, 1e6)) : 0);
    // Told once, as the scale is chosen once.
    if (AskedScale(dpi) > scale)
        WriteLog(asked + " asks for scale " + std::to_string(AskedScale(dpi)) + ", which does not fit the screen of " +
                 std::to_string(screenWidth_) + " x " + std::to_string(screenHeight_) + ": drawing at scale " +
                 std::to_string(scale) + ".");
    if (scale == 1) return;
    // The enlarged picture is the RENDER extension's work; asked only when needed,
    // so that a screen at scale 1 sees no extra request.
    int eventBase = 0, errorBase = 0;
    if (!XRenderQueryExtension(display_, &eventBase, &errorBase)) {
        WriteLog("The X server has no RENDER extension: drawing at scale 1.");
        return;
    }
    scale_ = scale;
    WriteLog("Drawing at scale " + std::to_string(scale_) + " (" + asked + ").");
}

int ScreenWidth() { return registeredScreen ? registeredScreen->GetScreenWidth() : 0; }
int ScreenHeight() { return registeredScreen ? registeredScreen->GetScreenHeight() : 0; }
