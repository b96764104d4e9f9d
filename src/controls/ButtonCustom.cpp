#include "controls/ButtonCustom.h"

#include <X11/keysym.h>

#include "app/Application.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"

namespace {
constexpr int kDashed = 1;
constexpr int kCentred = 2;
constexpr int kLeft = 0;
constexpr int kCarriageReturn = 13;
constexpr int kSpace = ' ';

// Return and Space press a focused button; the command runs when the key goes up.
bool IsPressKey(KeySym k) { return k == XK_Return || k == XK_KP_Enter || k == XK_space; }
bool IsPressChar(int c) { return c == kCarriageReturn || c == kSpace; }
}  // namespace

ButtonCustom::ButtonCustom(Form* owner, const std::string& caption) : CommandElement(static_cast<Child&>(*this))
{
    width_ = 80;
    height_ = 30;
    SetParent(owner);
    text_ = caption;
    kind_ = kKindButton;
    tabStop_ = true;
    paintedByForm_ = true;
    drawsItself_ = true;
}

ButtonCustom::~ButtonCustom() = default;

// ---------------------------------------------------------------- state setters

void ButtonCustom::SetText(const std::string& s)
{
    text_ = s;
    if (created_) Paint();
}

void ButtonCustom::Enable(bool enabled)
{
    enabled_ = enabled;
    if (created_) Paint();
}

void ButtonCustom::SetForeColor(uint32_t color) { foreColor_ = color; }

void ButtonCustom::SetImage(XImage* image)
{
    image_ = image;
    if (created_) Paint();
}

void ButtonCustom::SetDisabledImage(XImage* image)
{
    disabledImage_ = image;
    if (created_) Paint();
}

void ButtonCustom::SetContentHidden(bool hidden)
{
    contentHidden_ = hidden;
    if (created_) Paint();
}

// ---------------------------------------------------------------- input

void ButtonCustom::MouseDown(Point p)
{
    if (!enabled_) return;
    pressed_ = true;
    Paint();
    FlushDisplay();
    Child::MouseDown(p);
}

void ButtonCustom::MouseUp(Point p)
{
    if (!enabled_) return;
    pressed_ = false;
    // The released look reaches the screen before the command, which may take long.
    Paint();
    FlushDisplay();
    RunCommand();
    Child::MouseUp(p);
}

void ButtonCustom::KeyDown(KeySym k)
{
    if (!enabled_) return;
    Child::KeyDown(k);
    if (hasFocus_ && IsPressKey(k)) {
        pressed_ = true;
        Paint();
        FlushDisplay();
    }
}

bool ButtonCustom::KeyChar(int c)
{
    if (!enabled_) return false;
    // Characters arrive on key release, so a keyboard command runs when the key goes up.
    if (hasFocus_ && IsPressChar(c)) {
        pressed_ = false;
        Paint();
        FlushDisplay();
        RunCommand();
    }
    return Child::KeyChar(c);
}

void ButtonCustom::GotFocus()
{
    Child::GotFocus();
    Paint();
}

void ButtonCustom::LostFocus()
{
    Child::LostFocus();
    pressed_ = false;
    Paint();
}

// ---------------------------------------------------------------- painting

Form* ButtonCustom::DrawingForm() { return static_cast<Form*>(OwningForm()); }

void ButtonCustom::FlushDisplay()
{
    Form* form = DrawingForm();
    if (Display* d = form ? form->GetDisplay() : nullptr) XFlush(d);
}

void ButtonCustom::Paint()
{
    if (Application::Loading() || !created_) return;
    Form* form = DrawingForm();
    // Without a form there is no window; DrawContext would fall back to another form's.
    if (!form) return;
    DrawContext dc(form);
    const Point at = FormOffset(x_, y_);
    const int X = at.x;
    const int Y = at.y;
    const int W = width_;
    const int H = height_;
    // A button without a colour of its own takes the colour it sits on.
    const int64_t back = backColor_ != -1 ? backColor_ : BackColorBehind();

    dc.FillRectangle(X, Y, W, H, 0, 0, back);

    const int64_t topLeft = pressed_ ? kDarkEdge : kLightEdge;
    const int64_t bottomRight = pressed_ ? kLightEdge : kDarkEdge;
    dc.DrawLineSolid(X, Y, X + W - 1, Y, topLeft);
    dc.DrawLineSolid(X, Y + H - 1, X, Y, topLeft);
    dc.DrawLineSolid(X + W - 1, Y, X + W - 1, Y + H - 1, bottomRight);
    dc.DrawLineSolid(X, Y + H - 1, X + W - 1, Y + H - 1, bottomRight);

    if (hasFocus_ && enabled_ && !pressed_) {
        dc.DrawLine(X + 4, Y + 3, X + W - 5, Y + 3, kDashed, foreColor_);
        dc.DrawLine(X + 4, Y + H - 4, X + 4, Y + 2, kDashed, foreColor_);
        dc.DrawLine(X + W - 5, Y + 3, X + W - 5, Y + H - 3, kDashed, foreColor_);
        dc.DrawLine(X + 4, Y + H - 4, X + W - 5, Y + H - 4, kDashed, foreColor_);
    }

    if (contentHidden_) return;

    const int64_t captionColor = enabled_ ? static_cast<int64_t>(foreColor_) : kDisabledForeColor;
    XImage* picture = !enabled_ && disabledImage_ ? disabledImage_ : image_;

    // A caption box narrower than one pixel would let DrawText run the text unclipped
    // across the form, so such a caption is left out.
    if (!text_.empty() && !picture) {
        const int boxW = W - 12;
        if (boxW >= 1) dc.DrawText(X + 6, Y + 4, boxW, H - 8, text_, captionColor, back, kCentred);
    } else if (!text_.empty()) {
        const int boxW = W - 22 - picture->width;
        if (boxW >= 1) dc.DrawText(X + picture->width + 10, Y + 4, boxW, H - 8, text_, captionColor, back, kLeft);
        dc.PutImageAt(X + 8, Y + (H - picture->height) / 2, picture);
    } else if (picture) {
        dc.PutImageAt(X + (W - picture->width) / 2, Y + (H - picture->height) / 2, picture);
    }
}
