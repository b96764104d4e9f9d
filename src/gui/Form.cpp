#include "gui/Form.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <unistd.h>
#include <vector>

#include "app/Application.h"
#include "app/Log.h"
#include "app/ProductInfo.h"
#include "app/ScreenConnection.h"
#include "gui/ColorTranslator.h"
#include "gui/DefaultColors.h"
#include "gui/ScaledWindow.h"

namespace {
constexpr const char* kWindowClass = "Quorrel.exe";
constexpr unsigned long kDefaultBackground = kDefaultBackColor;
constexpr long kFormEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | EnterWindowMask |
                                LeaveWindowMask | PointerMotionMask | ButtonMotionMask | ExposureMask |
                                StructureNotifyMask | SubstructureNotifyMask | FocusChangeMask;

// Holds the result of XStringListToTextProperty and frees its value.
struct TextProperty {
    XTextProperty prop{};
    bool ok = false;
    explicit TextProperty(const std::string& s)
    {
        std::vector<char> copy(s.begin(), s.end());
        copy.push_back('\0');
        char* list[] = {copy.data()};
        ok = XStringListToTextProperty(list, 1, &prop) != 0;
    }
    ~TextProperty()
    {
        if (ok && prop.value) XFree(prop.value);
    }
    TextProperty(const TextProperty&) = delete;
    TextProperty& operator=(const TextProperty&) = delete;
};

// The desktop's own names of a window (_NET_WM_NAME, _NET_WM_ICON_NAME), which task
// bars prefer to the old ones: UTF-8, made from the program's single-byte texts.
void SetDesktopName(Display* d, Window w, const char* property, const std::string& latin1)
{
    std::string utf8;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    XChangeProperty(d, w, XInternAtom(d, property, False), XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
}
}  // namespace

Form::Form(void* owner) : Form(owner, false) {}

Form::Form(void* owner, bool dialog) : GUIElement(owner), dialog_(dialog)
{
    kind_ = kKindForm;
    backColor_ = -1;
    Application::RegisterForm(this);
}

Form::~Form()
{
    Application::RemoveWinForm(this);
    created_ = false;
    DestroyNativeWindow();
    // The window goes before the controls drawn on it.
    DeleteChildren();
}

Display* Form::GetDisplay() const { return screen_ ? screen_->GetDisplay() : nullptr; }

// ---------------------------------------------------------------- geometry

int Form::GetWidth() { return width_; }
int Form::GetHeight() { return height_; }

namespace {
bool QueryGeometry(Display* d, Window w, unsigned& width, unsigned& height)
{
    Window root;
    int x, y;
    unsigned border, depth;
    return XGetGeometry(d, w, &root, &x, &y, &width, &height, &border, &depth) != 0;
}
}  // namespace

int Form::GetActualWidth()
{
    unsigned w, h;
    if (created_ && window_ && QueryGeometry(GetDisplay(), window_, w, h)) return static_cast<int>(w) / Scale();
    return width_;
}

int Form::GetActualHeight()
{
    unsigned w, h;
    if (created_ && window_ && QueryGeometry(GetDisplay(), window_, w, h)) return static_cast<int>(h) / Scale();
    return height_;
}

Point Form::GetPosition()
{
    if (!created_ || !window_) return Point{x_, y_};
    Display* d = GetDisplay();
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, window_, RootWindow(d, screen_->GetScreenNumber()), 0, 0, &rx, &ry, &child);
    return Point{rx, ry};
}

void Form::SetGeometry(int x, int y, int w, int h)
{
    x_ = x;
    y_ = y;
    width_ = w;
    height_ = h;
}

void Form::MoveNative()
{
    if (window_) XMoveWindow(GetDisplay(), window_, x_, y_);
}

void Form::ResizeNative()
{
    if (!window_) return;
    const int s = Scale();
    XResizeWindow(GetDisplay(), window_, static_cast<unsigned>(width_ * s), static_cast<unsigned>(height_ * s));
    if (scaled_) CreateScaledWindow();
}

void Form::RaiseNative()
{
    if (window_) XRaiseWindow(GetDisplay(), window_);
}

void Form::LowerNative()
{
    if (window_) XLowerWindow(GetDisplay(), window_);
}

void Form::AttachNative(GUIElement*) {}
void Form::BackColorNative() {}
void Form::PropertiesChanged() {}

void Form::AdjustSizeShifted(int w, int h) { AdjustSize(w, h, true); }

void Form::AdjustSize(int w, int h, bool shift)
{
    if (!created_) return;
    const int dw = std::max(0, GetWidth() - GetActualWidth());
    const int dh = std::max(0, GetHeight() - GetActualHeight());
    if (shift) {
        Point p = GetPosition();
        SetPosition(p.x - dw, p.y - 2 * dh);
    }
    SetSize(w + dw, h + dh);
}

void Form::CenterOnScreen()
{
    const int sw = screen_ ? screen_->GetScreenWidth() : ScreenWidth();
    const int sh = screen_ ? screen_->GetScreenHeight() : ScreenHeight();
    const int s = Scale();
    Point size = GetSize();
    SetPositionClamped((sw - size.x * s) / 2, (sh - size.y * s) / 2);
}

void Form::CenterOn(Form* owner)
{
    const int s = Scale();
    ScreenConnection* screen = screen_ ? screen_ : owner->GetScreen();
    const int sw = screen ? screen->GetScreenWidth() : ScreenWidth();
    const int sh = screen ? screen->GetScreenHeight() : ScreenHeight();
    const Point origin = owner->GetPosition();
    const Point size = owner->GetSize();
    // Centred on the owner, then kept inside the screen; the border is one pixel on
    // each side.
    const int x = std::min(origin.x + (size.x - width_) * s / 2, sw - width_ * s - 2);
    const int y = std::min(origin.y + (size.y - height_) * s / 2, sh - height_ * s - 2);
    SetPositionClamped(x, y);
}

// ---------------------------------------------------------------- showing

void Form::SetBackColor(int64_t c)
{
    backColor_ = c;
    if (created_) ApplyBackColor();
}

void Form::Show()
{
    GUIElement::Show();
    if (created_ && window_) XRaiseWindow(GetDisplay(), window_);
}

void Form::ShowWindow()
{
    GUIElement::Show();
    if (created_ && window_) XMapWindow(GetDisplay(), window_);
}

void Form::Hide()
{
    GUIElement::Hide();
    if (created_ && window_) XUnmapWindow(GetDisplay(), window_);
}

namespace {
// The window Create has just seen mapped on the root, which is therefore viewable.
Window mappedAtCreate = 0;

// Whether the queue holds the map of top-level window `w` and no sign of a window
// manager's frame around it, read without taking any event off the queue.
bool MappedOnRoot(Display* d, Window w)
{
    struct Seen {
        Window window;
        bool mapped = false, reparented = false;
    } seen{w};
    XEvent event;
    XCheckIfEvent(
        d, &event,
        [](Display*, XEvent* e, XPointer arg) -> Bool {
            auto* s = reinterpret_cast<Seen*>(arg);
            if (e->type == MapNotify && e->xmap.window == s->window) s->mapped = true;
            if (e->type == ReparentNotify && e->xreparent.window == s->window) s->reparented = true;
            return False;
        },
        reinterpret_cast<XPointer>(&seen));
    return seen.mapped && !seen.reparented;
}
}  // namespace

void Form::SetFocus()
{
    if (created_ && window_) {
        // Asking for the focus of a window that is not viewable is a protocol error.
        XWindowAttributes attrs;
        if (window_ == mappedAtCreate ||
            (XGetWindowAttributes(GetDisplay(), window_, &attrs) && attrs.map_state == IsViewable))
            XSetInputFocus(GetDisplay(), window_, RevertToNone, CurrentTime);
    }
    hasFocus_ = true;
    // The keyboard now belongs to this window. A control of another form (the button
    // that opened a dialog) must let go of the focus: it would otherwise take the
    // dialog's keys (Return on INFO opened a new about box instead of closing this
    // one) and keep its focus frame after the dialog is gone.
    GUIElement* focus = Application::Focused();
    if (focus && focus->OwningForm() != this) {
        Application::SetFocused(nullptr);
        focus->LostFocus();
    }
}

Form::FocusMemo Form::RememberFocus(Form* owner)
{
    FocusMemo memo;
    memo.owner = owner;
    GUIElement* focus = Application::Focused();
    if (owner && focus && focus->OwningForm() == owner) memo.controlId = focus->GetId();
    return memo;
}

void Form::GiveFocusBack(const FocusMemo& memo)
{
    Form* owner = memo.owner;
    if (!owner || !owner->IsCreated() || !owner->IsEnabled()) return;
    owner->SetFocus();
    if (!memo.controlId || !Application::DispatchingKey()) return;
    for (GUIElement* e : Application::CollectChildren(owner->GetId())) {
        if (e->GetId() != memo.controlId) continue;
        if (e->IsEnabled() && e->IsCreated() && e->IsVisible()) owner->FocusControl(e);
        return;
    }
}

void Form::BringBackModalChild()
{
    Form* child = modalChild_;
    Display* d = GetDisplay();
    if (!child || !child->IsCreated() || !child->GetWindow() || !d) return;
    // Mapping a minimised window is how a program asks to have it back; an EWMH
    // window manager is asked to activate it as well, on the player's behalf.
    XMapRaised(d, child->GetWindow());
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = child->GetWindow();
    ev.xclient.message_type = activateAtom_ ? activateAtom_ : XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2;
    ev.xclient.data.l[1] = static_cast<long>(Application::InputTime());
    ev.xclient.data.l[2] = static_cast<long>(window_);
    XSendEvent(d, RootWindow(d, screen_->GetScreenNumber()), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &ev);
    child->SetFocus();
    XFlush(d);
}

void Form::TakeFocus(Time time)
{
    Form* child = modalChild_;
    Form* target = child && !IsEnabled() && child->IsCreated() && child->GetWindow() ? child : this;
    Display* d = GetDisplay();
    if (!d || !target->GetWindow()) return;
    XWindowAttributes attrs;
    if (XGetWindowAttributes(d, target->GetWindow(), &attrs) && attrs.map_state == IsViewable)
        XSetInputFocus(d, target->GetWindow(), RevertToParent, time);
}

void Form::FocusControl(GUIElement* control)
{
    GUIElement* focus = Application::Focused();
    if (focus == control) return;
    if (focus) focus->LostFocus();
    Application::SetFocused(control);
    if (control) control->GotFocus();
}

void Form::Paint()
{
    // A copy: a control's paint may create or destroy elements.
    for (GUIElement* e : Application::CollectChildren(id_))
        if (e->IsPaintedByForm() && e->IsCreated()) e->Paint();
}

void Form::PaintExposed()
{
    exposing_ = true;
    // The drawing goes to the server in one piece at the end (DrawContext::Flush).
    struct Done {
        bool& flag;
        Display* display;
        ~Done()
        {
            flag = false;
            if (display) XFlush(display);
        }
    } done{exposing_, GetDisplay()};
    if (!scaled_) {
        Paint();
        return;
    }
    // The window has no background: all of it is shown again, with the parts no
    // control draws on.
    scaled_->Hold();
    Paint();
    if (scaled_) {
        scaled_->Changed(0, 0, width_, height_);
        scaled_->Release();
    }
}

void Form::SetMarkA(bool b)
{
    if (created_) GUIElement::SetMarkA(b);
}

void Form::ShowForm()
{
    if (!created_) Create();
    visible_ = true;
}

void Form::Open() { ShowForm(); }

void Form::MarkBOn()
{
    if (created_) SetMarkB(true);
}

void Form::MarkBOff()
{
    if (created_) SetMarkB(false);
}

// ---------------------------------------------------------------- window creation

void Form::Create()
{
    if (created_) return;
    if (!screen_ || !screen_->GetDisplay()) {
        WriteLog("E' necessario impostare il display");
        return;
    }
    CreateWindow();
    SetFocus();
    if (!window_) {
        WriteLog("Errore creazione Form ");
        return;
    }
    AssignId();
    Application::SetLoading(true);
    Load(userData_ ? userData_ : id_);
    Application::SetLoading(false);
    created_ = true;
    ApplyBackColor();
    OnCreated();
    Display* d = GetDisplay();
    XMapWindow(d, window_);
    Application::NoteWindowOpenedOrClosed();
    visible_ = true;
    // Without a window manager the window is viewable once the map is done, and a
    // new window (a dialog above all) should have the keyboard. A window manager
    // holds the map back and gives the focus itself.
    XSync(d, False);
    mappedAtCreate = MappedOnRoot(d, window_) ? window_ : 0;
    SetFocus();
    mappedAtCreate = 0;
}

void Form::CreateWindow()
{
    Display* d = GetDisplay();
    const int screen = screen_->GetScreenNumber();
    const auto rgb = static_cast<uint32_t>(backColor_ == -1 ? static_cast<int64_t>(kDefaultBackground) : backColor_);
    const ColorTranslator* colors = screen_->GetColors();
    const unsigned long background = colors ? colors->Pixel(rgb) : rgb;
    // A zero size is a protocol error; such a form gets one pixel instead.
    const int s = Scale();
    const auto w = static_cast<unsigned>(std::max(1, width_) * s), h = static_cast<unsigned>(std::max(1, height_) * s);
    if (colors && colors->GetVisual() != DefaultVisual(d, screen)) {
        // Another visual than the root's needs a colormap and a border pixel of its own.
        XSetWindowAttributes attrs{};
        attrs.background_pixel = background;
        attrs.border_pixel = colors->Pixel(0x000000);
        attrs.colormap = colors->GetColormap();
        window_ = XCreateWindow(d, RootWindow(d, screen), x_, y_, w, h, 1, colors->Depth(), InputOutput,
                                colors->GetVisual(), CWBackPixel | CWBorderPixel | CWColormap, &attrs);
    } else {
        window_ = XCreateSimpleWindow(d, RootWindow(d, screen), x_, y_, w, h, 1, BlackPixel(d, screen), background);
    }
    if (!window_) return;
    SetWindowProperties();
    if (s == 1) return;
    CreateScaledWindow();
    // The server need not fill the large window before every present covers it.
    if (scaled_) XSetWindowBackgroundPixmap(d, window_, None);
}

void Form::CreateScaledWindow()
{
    Display* d = GetDisplay();
    const auto rgb = static_cast<uint32_t>(backColor_ == -1 ? static_cast<int64_t>(kDefaultBackground) : backColor_);
    const ColorTranslator* colors = screen_->GetColors();
    scaled_.reset();
    const int screen = screen_->GetScreenNumber();
    Visual* visual = colors ? colors->GetVisual() : DefaultVisual(d, screen);
    const int depth = colors ? colors->Depth() : DefaultDepth(d, screen);
    scaled_ = std::make_unique<ScaledWindow>(d, visual, depth, window_, width_, height_, Scale(),
                                             colors ? colors->Pixel(rgb) : rgb);
    if (scaled_->Ok()) return;
    // The form still works, drawn small in the corner of its large window.
    WriteLog("No picture format for the screen's visual: the window is drawn unscaled.");
    scaled_.reset();
}

int Form::Scale() const { return screen_ ? screen_->GetScale() : 1; }

Drawable Form::DrawTarget() const { return scaled_ ? scaled_->Target() : window_; }

void Form::DrawingChanged(int x, int y, int w, int h)
{
    if (scaled_) scaled_->Changed(x, y, w, h);
}

void Form::PresentDrawing()
{
    if (scaled_) scaled_->Present();
}

void Form::SetWindowProperties()
{
    Display* d = GetDisplay();
    XSizeHints* size = XAllocSizeHints();
    XWMHints* wm = XAllocWMHints();
    XClassHint* cls = XAllocClassHint();
    if (!size || !wm || !cls) {
        WriteLog("XAllocSizeHints/XAllocWMHints/XAllocClassHint failed");
        if (size) XFree(size);
        if (wm) XFree(wm);
        if (cls) XFree(cls);
    } else {
        const int s = Scale();
        size->flags = PPosition | PSize | PMinSize | PMaxSize;
        size->x = x_;
        size->y = y_;
        size->width = size->min_width = size->max_width = width_ * s;
        size->height = size->min_height = size->max_height = height_ * s;

        FillWMHints(*wm);
        if (dialog_) {
            // A dialog's position is where its inside goes, centred on its owner's
            // inside: the window manager puts the frame around it, not at it.
            size->flags |= PWinGravity;
            size->win_gravity = StaticGravity;
        }

        TextProperty title(GetText());
        TextProperty className(kWindowClass);
        if (!title.ok || !className.ok) WriteLog("XStringListToTextProperty - error");

        std::string classText = kWindowClass;
        std::vector<char> name(classText.begin(), classText.end());
        name.push_back('\0');
        cls->res_name = name.data();
        cls->res_class = name.data();

        XSetWMProperties(d, window_, title.ok ? &title.prop : nullptr, className.ok ? &className.prop : nullptr,
                         nullptr, 0, size, wm, cls);
        // The icon name the task bars show: the product, not the class name above.
        SetDesktopName(d, window_, "_NET_WM_NAME", GetText());
        SetDesktopName(d, window_, "_NET_WM_ICON_NAME", kProductName);
        XFree(size);
        XFree(wm);
        XFree(cls);

        deleteAtom_ = XInternAtom(d, "WM_DELETE_WINDOW", False);
        // A window manager that offers the keyboard asks first, so that a blocked
        // window can pass it on to its dialog.
        takeFocusAtom_ = XInternAtom(d, "WM_TAKE_FOCUS", False);
        activateAtom_ = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
        Atom protocols[] = {deleteAtom_, takeFocusAtom_};
        XSetWMProtocols(d, window_, protocols, 2);
        XSelectInput(d, window_, kFormEventMask);
    }
    // The process behind the window, for the window manager and for a second start.
    // (WM_CLIENT_MACHINE comes with the standard properties.)
    const long pid = static_cast<long>(getpid());
    XChangeProperty(d, window_, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    if (dialog_ && Application::InputTime() != 0) {
        // The user action that opened the dialog: a window manager that guards the
        // focus against windows nobody asked for gives it to this one.
        const long time = static_cast<long>(Application::InputTime());
        XChangeProperty(d, window_, XInternAtom(d, "_NET_WM_USER_TIME", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
    }
    if (dialog_) {
        // A dialog stays above its owner and is not a window of its own in task bars.
        // It is also modal for its owner, which it blocks: when the owner is activated
        // (a task bar, a second start), the window manager gives the keyboard to the
        // dialog instead of to a window that ignores keys.
        if (Form* owner = DialogOwner()) {
            XSetTransientForHint(d, window_, owner->GetWindow());
            Atom modal = XInternAtom(d, "_NET_WM_STATE_MODAL", False);
            XChangeProperty(d, window_, XInternAtom(d, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&modal), 1);
        }
        Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
        Atom dialogType = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
        XChangeProperty(d, window_, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialogType),
                        1);
    }
    if (const std::vector<unsigned long>& icons = WindowIcons(); !icons.empty()) {
        XChangeProperty(d, window_, XInternAtom(d, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(icons.data()), static_cast<int>(icons.size()));
    }
}

const std::vector<unsigned long>& Form::WindowIcons()
{
    // A dialog shows the icon of the window it belongs to.
    if (!netIcon_.empty() || !dialog_) return netIcon_;
    if (Form* owner = DialogOwner(); owner && !owner->netIcon_.empty()) return owner->netIcon_;
    return netIcon_;
}

void Form::FillWMHints(XWMHints& wm)
{
    wm.flags = InputHint | StateHint | WindowGroupHint;
    wm.input = True;
    wm.initial_state = NormalState;
    wm.window_group = GroupLeader();
    if (Pixmap icon = iconPixmap_ ? iconPixmap_ : iconBitmap_) {
        wm.flags |= IconPixmapHint;
        wm.icon_pixmap = icon;
    }
    if (!iconPixmap_ && iconMask_) {
        wm.flags |= IconMaskHint;
        wm.icon_mask = iconMask_;
    }
}

void Form::GiveIconBitmaps()
{
    // Made once the window is on show, not with it: Xlib lets a cursor library look
    // at every new bitmap, and its questions to the server would delay the start.
    if (iconBitmap_ || iconPixmap_ || !window_ || !GetDisplay()) return;
    MakeIconBitmaps();
    if (!iconBitmap_) return;
    XWMHints wm{};
    FillWMHints(wm);
    XSetWMHints(GetDisplay(), window_, &wm);
}

void Form::MakeIconBitmaps()
{
    // Window managers that read only the old hints expect a bitmap and a mask: the
    // largest of the icons, dark where the picture is dark, shaped by its alpha.
    const std::vector<unsigned long>& icons = WindowIcons();
    size_t best = icons.size();
    for (size_t at = 0; at + 2 <= icons.size(); at += 2 + icons[at] * icons[at + 1]) {
        if (icons[at] == 0 || icons[at + 1] == 0 || at + 2 + icons[at] * icons[at + 1] > icons.size()) break;
        if (best == icons.size() || icons[at] > icons[best]) best = at;
    }
    if (best == icons.size()) return;
    const int w = static_cast<int>(icons[best]), h = static_cast<int>(icons[best + 1]);
    const size_t stride = (static_cast<size_t>(w) + 7) / 8;
    std::vector<char> bits(stride * h), mask(stride * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long argb = icons[best + 2 + static_cast<size_t>(y) * w + x];
            const unsigned long alpha = argb >> 24 & 0xFF;
            const unsigned long r = argb >> 16 & 0xFF, g = argb >> 8 & 0xFF, b = argb & 0xFF;
            const char bit = static_cast<char>(1 << (x % 8));
            if ((299 * r + 587 * g + 114 * b) / 1000 < 128) bits[y * stride + x / 8] |= bit;
            if (alpha >= 128) mask[y * stride + x / 8] |= bit;
        }
    }
    Display* d = GetDisplay();
    iconBitmap_ = XCreateBitmapFromData(d, window_, bits.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
    iconMask_ = XCreateBitmapFromData(d, window_, mask.data(), static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void Form::DestroyNativeWindow()
{
    if (!window_) return;
    Application::SetFocused(nullptr);
    if (!GetDisplay()) {
        drawingGC_.release();
        if (scaled_) scaled_->Forget();
    }
    drawingGC_.reset();
    scaled_.reset();
    if (Display* d = GetDisplay()) {
        for (Pixmap* p : {&iconBitmap_, &iconMask_}) {
            if (*p) XFreePixmap(d, *p);
            *p = 0;
        }
        XUnmapWindow(d, window_);
        XDestroyWindow(d, window_);
        XFlush(d);
    }
    window_ = 0;
    Application::NoteWindowOpenedOrClosed();
}

GC Form::DrawingGC()
{
    Display* d = GetDisplay();
    if (!drawingGC_ && d && window_) {
        // The start state every DrawContext assumes. Copies from the sheet pixmap
        // need no exposure events: nothing ever covers a pixmap.
        const int screen = screen_->GetScreenNumber();
        XGCValues values{};
        values.foreground = WhitePixel(d, screen);
        values.background = BlackPixel(d, screen);
        values.fill_style = FillSolid;
        values.line_width = 1;
        values.line_style = LineSolid;
        values.cap_style = CapRound;
        values.join_style = JoinRound;
        values.graphics_exposures = False;
        const unsigned long mask = GCForeground | GCBackground | GCFillStyle | GCLineWidth | GCLineStyle | GCCapStyle |
                                   GCJoinStyle | GCGraphicsExposures;
        drawingGC_.reset(d, XCreateGC(d, window_, mask, &values));
    }
    return drawingGC_.get();
}

void Form::DestroyWindow()
{
    created_ = false;
    DestroyNativeWindow();
}

// ---------------------------------------------------------------- the form's own operations

void Form::FormHookA() {}
void Form::FormHookB() {}
std::string Form::GetTitle() { return GetValueText(); }

void Form::SetTitle(const std::string& s)
{
    SetText(s);
    if (!created_ || !window_) return;
    TextProperty prop(s);
    if (!prop.ok) {
        WriteLog("XStringListToTextProperty - out of memory");
        return;
    }
    XSetWMName(GetDisplay(), window_, &prop.prop);
    XSetWMIconName(GetDisplay(), window_, &prop.prop);
    SetDesktopName(GetDisplay(), window_, "_NET_WM_NAME", s);
    SetDesktopName(GetDisplay(), window_, "_NET_WM_ICON_NAME", s);
}

std::string Form::GetCaption() { return GetTitle(); }
void Form::SetTitleChars(const char* begin, const char* end) { SetTitle(std::string(begin, end)); }
void Form::OnCreated() {}
void Form::OnUserMessage() {}
void Form::FormHookC() {}
void Form::SetOption1(bool b) { option1_ = b; }
void Form::SetOption2(bool b) { option2_ = b; }
void Form::SetOption3(bool b) { option3_ = b; }
void Form::OnDialogResult(int, int) {}
bool Form::IsDialog() { return dialog_; }

Form* Form::DialogOwner()
{
    for (GUIElement* e = parent_; e; e = e->GetParent()) {
        if (e->IsKind(kKindForm) && static_cast<Form*>(e)->GetWindow()) return static_cast<Form*>(e);
    }
    GUIElement* main = Application::MainForm();
    return main && main != this && static_cast<Form*>(main)->GetWindow() ? static_cast<Form*>(main) : nullptr;
}

Window Form::GroupLeader()
{
    // All windows of the program form one group led by the main window.
    GUIElement* main = Application::MainForm();
    if (main && main != this && static_cast<Form*>(main)->GetWindow()) return static_cast<Form*>(main)->GetWindow();
    if (Form* owner = dialog_ ? DialogOwner() : nullptr) return owner->GetWindow();
    return window_;
}

void Form::SetNetIcon(const std::vector<unsigned long>& icons)
{
    netIcon_ = icons;
    if (!window_ || icons.empty()) return;
    Display* d = GetDisplay();
    XChangeProperty(d, window_, XInternAtom(d, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icons.data()), static_cast<int>(icons.size()));
}

void Form::SetIcon(Pixmap p)
{
    iconPixmap_ = p;
    if (!created_ || !window_) return;
    XWMHints hints{};
    hints.flags = InputHint | StateHint | IconPixmapHint | WindowGroupHint;
    hints.input = True;
    hints.initial_state = NormalState;
    hints.icon_pixmap = p;
    hints.window_group = GroupLeader();
    XSetWMHints(GetDisplay(), window_, &hints);
}

void Form::SetOption4(bool b) { option4_ = b; }
void Form::SetOption5(bool b) { option5_ = b; }
void Form::SetModalChild(Form* f) { modalChild_ = f; }
void Form::SetScreen(ScreenConnection* s) { screen_ = s; }
ScreenConnection* Form::GetScreen() { return screen_; }
Window Form::GetWindow() { return window_; }

// ---------------------------------------------------------------- what a screen reader is told

void Form::DescribeWindow(AccessibleNode& node)
{
    node.role = AccessibleRole::Frame;
    node.name = GetTitle();
    node.SetBox(0, 0, width_, height_);
    node.SetShowing(created_ && window_ && visible_);
    node.SetEnabled(enabled_);
}

void Form::DescribeControl(GUIElement* control, AccessibleNodes& nodes)
{
    AccessibleNode node;
    node.key = control->GetId();
    control->Describe(node);
    if (node.role != AccessibleRole::NotShown) nodes.push_back(std::move(node));
}

void Form::DescribeTree(AccessibleNodes& nodes)
{
    for (GUIElement* e : Application::CollectChildren(id_)) DescribeControl(e, nodes);
}

namespace {
// The control of `form` with id `key`, if it is one a screen reader may act on.
GUIElement* NodeControl(Form* form, uint32_t key)
{
    if (!form->IsEnabled() || key == 0) return nullptr;
    for (GUIElement* e : Application::CollectChildren(form->GetId()))
        if (e->GetId() == key && e->IsCreated() && e->IsEnabled()) return e;
    return nullptr;
}
}  // namespace

bool Form::DoNodeAction(uint32_t key, int index)
{
    GUIElement* control = NodeControl(this, key);
    return control && control->DoAccessibleAction(index);
}

bool Form::FocusNode(uint32_t key)
{
    GUIElement* control = NodeControl(this, key);
    if (!control || !control->IsTabStop()) return false;
    SetFocus();
    FocusControl(control);
    return true;
}
