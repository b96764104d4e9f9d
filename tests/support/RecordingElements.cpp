#include "RecordingElements.h"

#include <X11/Xlib.h>
#include <utility>

namespace {
std::string PointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
}  // namespace

std::string KeyName(KeySym k)
{
    const char* name = XKeysymToString(k);
    return name ? name : std::to_string(k);
}

// ---------------------------------------------------------------- RecordingControl

RecordingControl::RecordingControl(CallLog& log, std::string name, GUIElement* parent, const char* kind)
    : log_(log), name_(std::move(name))
{
    kind_ = kind;
    SetParent(parent);
}

void RecordingControl::Record(const std::string& call) { log_.push_back(name_ + "." + call); }

void RecordingControl::Place(int x, int y, int w, int h)
{
    x_ = x;
    y_ = y;
    width_ = w;
    height_ = h;
}

void RecordingControl::Create()
{
    if (created_) return;
    AssignId();
    created_ = true;
}

void RecordingControl::SetPosition(int x, int y)
{
    Record("SetPosition(" + std::to_string(x) + "," + std::to_string(y) + ")");
    Child::SetPosition(x, y);
}

void RecordingControl::MouseDown(Point p)
{
    Record("MouseDown(" + PointText(p) + ")");
    Child::MouseDown(p);
}

void RecordingControl::MouseUp(Point p)
{
    Record("MouseUp(" + PointText(p) + ")");
    Child::MouseUp(p);
}

void RecordingControl::KeyDown(KeySym k)
{
    Record("KeyDown(" + KeyName(k) + ")");
    Child::KeyDown(k);
}

void RecordingControl::KeyUp(KeySym k)
{
    Record("KeyUp(" + KeyName(k) + ")");
    Child::KeyUp(k);
}

bool RecordingControl::KeyChar(int c)
{
    Record("KeyChar(" + std::to_string(c) + ")");
    return Child::KeyChar(c);
}

void RecordingControl::GotFocus()
{
    Record("GotFocus");
    Child::GotFocus();
}

void RecordingControl::LostFocus()
{
    Record("LostFocus");
    Child::LostFocus();
}

void RecordingControl::Paint() { Record("Paint"); }
void RecordingControl::MoveNative() { Record("MoveNative"); }
void RecordingControl::ResizeNative() { Record("ResizeNative"); }
void RecordingControl::RaiseNative() { Record("RaiseNative"); }
void RecordingControl::LowerNative() { Record("LowerNative"); }
void RecordingControl::AttachNative(GUIElement*) { Record("AttachNative"); }
void RecordingControl::PropertiesChanged() { Record("PropertiesChanged"); }

// ---------------------------------------------------------------- RecordingForm

RecordingForm::RecordingForm(CallLog& log, std::string name, bool dialog)
    : Form(nullptr, dialog), log_(log), name_(std::move(name))
{
}

void RecordingForm::Record(const std::string& call) { log_.push_back(name_ + "." + call); }

void RecordingForm::MouseDown(Point p)
{
    Record("MouseDown(" + PointText(p) + ")");
    Form::MouseDown(p);
}

void RecordingForm::MouseUp(Point p)
{
    Record("MouseUp(" + PointText(p) + ")");
    Form::MouseUp(p);
}

void RecordingForm::OtherButtonDown(Point p) { Record("OtherButtonDown(" + PointText(p) + ")"); }
void RecordingForm::OtherButtonUp(Point p) { Record("OtherButtonUp(" + PointText(p) + ")"); }
void RecordingForm::MouseMove(int x, int y) { Record("MouseMove(" + std::to_string(x) + "," + std::to_string(y) + ")"); }
void RecordingForm::MouseEnter() { Record("MouseEnter"); }
void RecordingForm::MouseLeave() { Record("MouseLeave"); }

void RecordingForm::KeyDown(KeySym k)
{
    Record("KeyDown(" + KeyName(k) + ")");
    Form::KeyDown(k);
}

void RecordingForm::KeyUp(KeySym k)
{
    Record("KeyUp(" + KeyName(k) + ")");
    Form::KeyUp(k);
}

bool RecordingForm::KeyChar(int c)
{
    Record("KeyChar(" + std::to_string(c) + ")");
    return Form::KeyChar(c);
}

void RecordingForm::GotFocus()
{
    Record("GotFocus");
    Form::GotFocus();
}

void RecordingForm::LostFocus()
{
    Record("LostFocus");
    Form::LostFocus();
}

void RecordingForm::Paint()
{
    Record("Paint");
    Form::Paint();
}

void RecordingForm::NotifyResized()
{
    Record("NotifyResized(" + PointText(GetSize()) + ")");
    Form::NotifyResized();
}

bool RecordingForm::QueryClose()
{
    Record("QueryClose");
    return allowClose_;
}

void RecordingForm::NotifyClosed()
{
    Record("NotifyClosed");
    Form::NotifyClosed();
}

void RecordingForm::DestroyWindow()
{
    Record("DestroyWindow");
    Form::DestroyWindow();
}

void RecordingForm::OnUserMessage() { Record("OnUserMessage"); }
