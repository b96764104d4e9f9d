#pragma once
// A control that writes down every operation the loop, the registry or a test calls
// on it into a CallLog, and then does what Child does.
#include <string>

#include "CallLog.h"
#include "gui/Child.h"

// A control: created on Create (it takes an id then, as every control does), drawn
// on its form, with a kind chosen by the test ("panel" makes it a container).
class RecordingControl : public Child {
public:
    RecordingControl(CallLog& log, std::string name, GUIElement* parent = nullptr, const char* kind = "testcontrol");

    // Sets the rectangle without going through SetPosition and SetSize, so that
    // nothing is recorded.
    void Place(int x, int y, int w, int h);
    void SetTabStop(bool b) { tabStop_ = b; }
    void SetPaintedByForm(bool b) { paintedByForm_ = b; }
    const std::string& Name() const { return name_; }

    void Create() override;
    void SetPosition(int x, int y) override;
    void MouseDown(Point p) override;
    void MouseUp(Point p) override;
    void KeyDown(KeySym k) override;
    void KeyUp(KeySym k) override;
    bool KeyChar(int c) override;
    void GotFocus() override;
    void LostFocus() override;
    void Paint() override;
    void MoveNative() override;
    void ResizeNative() override;
    void RaiseNative() override;
    void LowerNative() override;
    void AttachNative(GUIElement* e) override;
    void PropertiesChanged() override;

private:
    void Record(const std::string& call);
    CallLog& log_;
    std::string name_;
};
