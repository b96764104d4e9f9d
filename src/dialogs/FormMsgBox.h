#pragma once
// The program's one generic dialog: a message under a title with "OK", or a question
// with "YES" and "NO". It blocks its owner while open and reports the answer to the
// owner's OnDialogResult with the number it was opened with. At most one exists.
#include <string>

#include "gui/Form.h"

class ButtonCustom;
class CellControl;
class Child;
class ScreenConnection;

class FormMsgBox : public Form {
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 150;
    // Results: nothing pressed, OK, YES, NO.
    static constexpr int kResultNone = 0;
    static constexpr int kResultOk = 1;
    static constexpr int kResultYes = 3;
    static constexpr int kResultNo = 4;

    // Without an owner the box is centred on the screen, blocks nothing, and closing
    // it ends the event loop (a notice shown instead of the game).
    FormMsgBox(int id, bool isQuestion, ScreenConnection* screen, Form* owner, const std::string& title,
               const std::string& message);
    ~FormMsgBox() override;

    void Paint() override;
    void EmptyHook2() override;
    void OnUserMessage() override;

    // --- the box's own virtual operations, in their fixed order ---
    virtual void Reopen(int id, bool isQuestion, const std::string& title, const std::string& message);
    virtual void BuildControls();
    virtual bool UnblockOwner();
    virtual void ReportAnswer();
    virtual void BoxHook1();
    virtual bool AcceptKeyChar();
    virtual bool FilterKey(int c);
    virtual void KeyHook1();
    virtual void KeyHook2();
    virtual void BoxHook2();
    virtual void MouseUpHook();
    virtual void MouseDownHook();
    virtual void BoxHook3();
    virtual void BoxHook4();
    virtual void Answer(GUIElement* button);
    virtual void BoxHook5();
    virtual void SetMessage(const std::string& text);

    int GetResult() const { return result_; }
    int GetBoxId() const { return boxId_; }
    bool IsQuestion() const { return isQuestion_; }
    ButtonCustom* FirstButton() const { return firstButton_; }
    ButtonCustom* SecondButton() const { return secondButton_; }
    CellControl* Label() const { return label_; }
    Form* Owner() const { return owner_; }

    // Escape: closes the box as its window's close box does.
    void CloseByKey();

private:
    int boxId_;
    bool isQuestion_;
    int result_ = kResultNone;
    std::string message_;
    CellControl* label_ = nullptr;
    ButtonCustom* firstButton_ = nullptr;
    ButtonCustom* secondButton_ = nullptr;
    Form* owner_;
    FocusMemo ownerFocus_;
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
