#include "controls/ButtonCustom.h"

#include <X11/keysym.h>

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

ButtonCustom::ButtonCustom(Form* owner, const std::string& caption)
    : Child(owner, {.kind = kKindButton, .painted = true, .tabStop = true}), CommandElement(static_cast<Child&>(*this))
{
    width_ = 80;
    height_ = 30;
    text_ = caption;
}

ButtonCustom::~ButtonCustom() = default;

// ---------------------------------------------------------------- state setters

void ButtonCustom::SetText(const std::string& s)
{
    text_ = s;
    Paint();
}

void ButtonCustom::Enable(bool enabled)
{
    enabled_ = enabled;
    Paint();
}

void ButtonCustom::SetForeColor(uint32_t color) { foreColor_ = color; }

void ButtonCustom::SetImage(XImage* image)
{
    image_ = image;
    Paint();
}

void ButtonCustom::SetDisabledImage(XImage* image)
{
    disabledImage_ = image;
    Paint();
}

void ButtonCustom::SetContentHidden(bool hidden)
{
    contentHidden_ = hidden;
    Paint();
}

// ---------------------------------------------------------------- input

void ButtonCustom::Describe(AccessibleNode& node)
{
    DescribePlace(node);
    node.role = AccessibleRole::PushButton;
    node.name = text_;
    node.actions = {"click"};
}

bool ButtonCustom::DoAccessibleAction(int index)
{
    if (index != 0 || !enabled_ || !created_) return false;
    RunCommand();
    return true;
}

void ButtonCustom::MouseDown(Point p)
{
    if (!enabled_) return;
    pressed_ = true;
    Paint();
    Child::MouseDown(p);
}

void ButtonCustom::MouseUp(Point p)
{
    if (!enabled_) return;
    pressed_ = false;
    // The released look reaches the screen before the command, which may take long.
    Paint();
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
    }
}

bool ButtonCustom::KeyChar(int c)
{
    if (!enabled_) return false;
    // Characters arrive on key release, so a keyboard command runs when the key goes up.
    if (hasFocus_ && IsPressChar(c)) {
        pressed_ = false;
        Paint();
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

void ButtonCustom::Draw(DrawContext& dc, Point at)
{
    const int X = at.x;
    const int Y = at.y;
    const int W = width_;
    const int H = height_;
    // A button without a colour of its own takes the colour it sits on.
    const int64_t back = backColor_ != -1 ? backColor_ : BackColorBehind();

    dc.FillRectangle(X, Y, W, H, 0, 0, back);

    if (pressed_)
        dc.DrawSunkenFrame(X, Y, W, H);
    else
        dc.DrawRaisedFrame(X, Y, W, H);

    if (ShowsFocusCue() && enabled_ && !pressed_) {
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
