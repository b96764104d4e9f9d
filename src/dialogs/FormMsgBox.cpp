#include "dialogs/FormMsgBox.h"

#include "app/Application.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "gui/DefaultColors.h"

namespace {
FormMsgBox* currentBox = nullptr;

// Both buttons answer through the box they sit on.
void ButtonClicked(Child* button)
{
    if (Form* form = button->HostForm()) static_cast<FormMsgBox*>(form)->Answer(button);
}

void OpenBox(int id, bool question, Form* owner, const std::string& message, const std::string& title)
{
    if (!owner) {
        const auto& forms = Application::Forms();
        if (forms.empty()) return;
        owner = static_cast<Form*>(forms.front());
    }
    DestroyMessageBox();
    currentBox = new FormMsgBox(id, question, owner->GetScreen(), owner, title, message);
    Application::SetShutdownHook(DestroyMessageBox);
}
}  // namespace

FormMsgBox::FormMsgBox(int id, bool isQuestion, ScreenConnection* screen, Form* owner, const std::string& title,
                       const std::string& message)
    : Dialog(owner, kWidth, kHeight, screen), boxId_(id), isQuestion_(isQuestion), message_(message)
{
    SetTitle(title);
    SetBackColor(kDefaultBackColor);
    Create();
}

void FormMsgBox::Reopen(int id, bool isQuestion, const std::string& title, const std::string& message)
{
    boxId_ = id;
    isQuestion_ = isQuestion;
    SetTitle(title);
    SetMessage(message);
}

void FormMsgBox::BuildControls()
{
    const Point size = GetSize();
    label_ = new CellControl(this);
    label_->SetPosition(10, 10);
    label_->SetBorder(true);
    label_->SetBackColor(0xB7B7B7);
    label_->SetForeColor(0x000000);
    label_->SetText(message_);
    label_->SetSize(size.x - 20, size.y - 60);
    label_->Create();

    firstButton_ = new ButtonCustom(this, isQuestion_ ? "YES" : "OK");
    firstButton_->SetSize(110, 28);
    firstButton_->SetPosition(size.x - 120, size.y - 40);
    firstButton_->SetCommand(ButtonClicked);
    firstButton_->Create();

    secondButton_ = new ButtonCustom(this, "NO");
    secondButton_->SetSize(110, 28);
    secondButton_->SetPosition(10, size.y - 40);
    secondButton_->SetCommand(ButtonClicked);
    secondButton_->Create();
    if (!isQuestion_) secondButton_->Hide();
}

void FormMsgBox::DescribeWindow(AccessibleNode& node)
{
    Dialog::DescribeWindow(node);
    node.role = AccessibleRole::Alert;
}

GUIElement* FormMsgBox::SafeFocus() { return isQuestion_ ? secondButton_ : firstButton_; }

void FormMsgBox::Answered(int result)
{
    if (Owner()) Owner()->OnDialogResult(boxId_, result);
}

void FormMsgBox::Answer(GUIElement* button)
{
    int result = kResultNone;
    if (firstButton_ && button->GetId() == firstButton_->GetId())
        result = isQuestion_ ? kResultYes : kResultOk;
    else if (secondButton_ && button->GetId() == secondButton_->GetId())
        result = kResultNo;
    Close(result);
}

void FormMsgBox::SetMessage(const std::string& text)
{
    message_ = text;
    if (created_ && label_) label_->SetText(text);
}

void ShowMessageBox(int id, Form* owner, const std::string& message, const std::string& title)
{
    OpenBox(id, false, owner, message, title);
}

void ShowMessageBox(Form* owner, const std::string& message, const std::string& title)
{
    ShowMessageBox(0, owner, message, title);
}

void ShowMessageBox(const std::string& message, const std::string& title)
{
    ShowMessageBox(0, nullptr, message, title);
}

void AskYesNo(int id, Form* owner, const std::string& message, const std::string& title)
{
    OpenBox(id, true, owner, message, title);
}

void AskYesNo(int id, const std::string& message, const std::string& title) { AskYesNo(id, nullptr, message, title); }

FormMsgBox* CurrentMessageBox() { return currentBox; }

void DestroyMessageBox()
{
    FormMsgBox* box = currentBox;
    currentBox = nullptr;
    delete box;
}
