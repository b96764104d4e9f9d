#include "RecordingForm.h"

#include <utility>

RecordingForm::RecordingForm(CallLog& log, std::string name, bool dialog)
    : Form(nullptr, dialog), log_(log), name_(std::move(name))
{}

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
void RecordingForm::MouseMove(int x, int y)
{
    Record("MouseMove(" + std::to_string(x) + "," + std::to_string(y) + ")");
}
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
