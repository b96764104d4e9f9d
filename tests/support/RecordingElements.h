#pragma once
// Elements that write down every operation the loop, the registry or a test calls on
// them, as "name.Operation(arguments)" lines in a shared list, and then do what the
// base class does. Tests compare the list with the calls they expect, in order.
#include <string>
#include <vector>

#include "gui/Child.h"
#include "gui/Form.h"

using CallLog = std::vector<std::string>;

// The name of a keysym as the call lines show it ("Tab", "a", "F1").
std::string KeyName(KeySym k);

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

// A form whose QueryClose answer the test chooses.
class RecordingForm : public Form {
public:
    RecordingForm(CallLog& log, std::string name, bool dialog = false);

    void SetQueryCloseAnswer(bool allow) { allowClose_ = allow; }
    const std::string& Name() const { return name_; }

    void MouseDown(Point p) override;
    void MouseUp(Point p) override;
    void OtherButtonDown(Point p) override;
    void OtherButtonUp(Point p) override;
    void MouseMove(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(KeySym k) override;
    void KeyUp(KeySym k) override;
    bool KeyChar(int c) override;
    void GotFocus() override;
    void LostFocus() override;
    void Paint() override;
    // Records the size it sees, which tells whether the new geometry is stored yet.
    void NotifyResized() override;
    bool QueryClose() override;
    void NotifyClosed() override;
    void DestroyWindow() override;
    void OnUserMessage() override;

private:
    void Record(const std::string& call);
    CallLog& log_;
    std::string name_;
    bool allowClose_ = true;
};
