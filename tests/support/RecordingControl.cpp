#include "RecordingControl.h"

#include <utility>

RecordingControl::RecordingControl(CallLog& log, std::string name, GUIElement* parent, const char* kind)
    : Child(parent, {.kind = kind, .tabStop = true}), log_(log), name_(std::move(name))
{}

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
