#pragma once
// A form that writes down every operation the loop, the registry or a test calls on
// it into a CallLog, and then does what Form does.
#include <string>

#include "CallLog.h"
#include "gui/Form.h"

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
