#pragma once
// The program's one generic dialog: a message under a title with "OK", or a question
// with "YES" and "NO". It blocks its owner while open and reports the answer to the
// owner's OnDialogResult with the number it was opened with. At most one exists.
#include <string>

#include "gui/Dialog.h"

class ButtonCustom;
class CellControl;
class ScreenConnection;

class FormMsgBox : public Dialog {
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 150;
    // Results: nothing pressed, OK, YES, NO.
    static constexpr int kResultNone = Dialog::kResultNone;
    static constexpr int kResultOk = 1;
    static constexpr int kResultYes = 3;
    static constexpr int kResultNo = 4;

    // Without an owner the box is centred on the screen, blocks nothing, and closing
    // it ends the event loop (a notice shown instead of the game). Created at once.
    FormMsgBox(int id, bool isQuestion, ScreenConnection* screen, Form* owner, const std::string& title,
               const std::string& message);

    // Another question or notice in the same box.
    void Reopen(int id, bool isQuestion, const std::string& title, const std::string& message);
    void SetMessage(const std::string& text);
    const std::string& GetMessage() const { return message_; }
    // The answer of `button`, closing the box.
    void Answer(GUIElement* button);
    // Escape: closes the box as its window's close box does.
    void CloseByKey() { Close(kResultNone); }

    int GetBoxId() const { return boxId_; }
    bool IsQuestion() const { return isQuestion_; }
    ButtonCustom* FirstButton() const { return firstButton_; }
    ButtonCustom* SecondButton() const { return secondButton_; }
    CellControl* Label() const { return label_; }

    // An alert: a screen reader reads its message out when it opens.
    void DescribeWindow(AccessibleNode& node) override;

protected:
    void BuildControls() override;
    // The safe answer is the one Return gives: NO to a question, OK to a notice.
    GUIElement* SafeFocus() override;
    // Reports the answer to the owner's OnDialogResult with the box's number.
    void Answered(int result) override;

private:
    int boxId_;
    bool isQuestion_;
    std::string message_;
    CellControl* label_ = nullptr;
    ButtonCustom* firstButton_ = nullptr;
    ButtonCustom* secondButton_ = nullptr;
};

// Opens a notice with "OK" / a question with "YES" and "NO", replacing any open box.
// With no owner the first registered form (the main window) is the owner.
void ShowMessageBox(int id, Form* owner, const std::string& message, const std::string& title);
void ShowMessageBox(Form* owner, const std::string& message, const std::string& title);
void ShowMessageBox(const std::string& message, const std::string& title);
void AskYesNo(int id, Form* owner, const std::string& message, const std::string& title);
void AskYesNo(int id, const std::string& message, const std::string& title);
// The box now open or last answered, or null.
FormMsgBox* CurrentMessageBox();
// Destroys the current box; the event loop calls it at shut-down.
void DestroyMessageBox();
