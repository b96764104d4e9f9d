#include "dialogs/FormMsgBox.h"

#include "app/Application.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "gui/DefaultColors.h"

namespace {
FormMsgBox* currentBox = nullptr;

FormMsgBox* AsBox(GUIElement* e) { return static_cast<FormMsgBox*>(e); }

void LoadForwarder(GUIElement* e, uint64_t) { AsBox(e)->BuildControls(); }
bool QueryCloseForwarder(GUIElement* e) { return AsBox(e)->UnblockOwner(); }
void ClosedForwarder(GUIElement* e) { AsBox(e)->ReportAnswer(); }
void ResizedForwarder(GUIElement* e, int64_t) { AsBox(e)->BoxHook1(); }
constexpr int kEscape = 27;

bool KeyCharForwarder(GUIElement* e, int c)
{
    if (c == kEscape) {
        AsBox(e)->CloseByKey();
        return false;
    }
    return AsBox(e)->AcceptKeyChar();
}
void KeyDownForwarder(GUIElement* e, KeySym) { AsBox(e)->KeyHook1(); }
void KeyUpForwarder(GUIElement* e, KeySym) { AsBox(e)->KeyHook2(); }
void MouseUpForwarder(GUIElement* e, uint64_t, Point)
{
    if (e->IsKind(kKindForm)) AsBox(e)->MouseUpHook();
}
void MouseDownForwarder(GUIElement* e, uint64_t, Point)
{
    if (e->IsKind(kKindForm)) AsBox(e)->MouseDownHook();
}

// Both buttons answer through the box they sit on.
void ButtonClicked(Child* button)
{
    GUIElement* form = button->IsKind(kKindForm) ? button : button->OwningForm();
    if (form) AsBox(form)->Answer(button);
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
    : Form(owner, true), boxId_(id), isQuestion_(isQuestion), message_(message), owner_(owner)
{
    if (screen) SetScreen(screen);
    SetSize(kWidth, kHeight);
    if (owner) {
        SetParent(owner);
        ownerFocus_ = RememberFocus(owner);
        owner->SetEnabled(false);
        owner->SetMarkA(true);
        owner->SetModalChild(this);
        PlaceOver(owner, kWidth, kHeight);
    } else {
        CenterOnScreen();
    }
    SetTitle(title);

    SetOnLoad(LoadForwarder);
    SetOnQueryClose(QueryCloseForwarder);
    SetOnClosed(ClosedForwarder);
    SetOnResized(ResizedForwarder);
    SetOnKeyChar(KeyCharForwarder);
    SetOnKeyDown(KeyDownForwarder);
    SetOnKeyUp(KeyUpForwarder);
    SetOnMouseUp(MouseUpForwarder);
    SetOnMouseDown(MouseDownForwarder);

    SetBackColor(kDefaultBackColor);
    Create();
}

FormMsgBox::~FormMsgBox()
{
    DestroyWindow();
    delete firstButton_;
    delete secondButton_;
    delete label_;
    // A box destroyed while still open must not leave its owner blocked.
    if (owner_ && owner_->GetModalChild() == this) UnblockOwner();
}

void FormMsgBox::Paint() { Form::Paint(); }
void FormMsgBox::EmptyHook2() {}
void FormMsgBox::OnUserMessage() {}

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
    // The safe answer is the one Return gives: NO to a question, OK to a notice.
    FocusControl(isQuestion_ ? secondButton_ : firstButton_);
}

bool FormMsgBox::UnblockOwner()
{
    // A box without an owner is the program's only window: closing it ends the loop.
    if (!owner_) {
        Application::SetQuit(true);
        return true;
    }
    // The owner forgets the box: it may be destroyed before the owner is next blocked.
    owner_->SetModalChild(nullptr);
    owner_->SetEnabled(true);
    owner_->SetMarkA(false);
    return true;
}

void FormMsgBox::ReportAnswer()
{
    // The answer may open the next box, which replaces (deletes) this one.
    const FocusMemo focus = ownerFocus_;
    if (owner_) owner_->OnDialogResult(boxId_, result_);
    GiveFocusBack(focus);
}

void FormMsgBox::CloseByKey()
{
    if (!created_ || !QueryClose()) return;
    DestroyWindow();
    NotifyClosed();
}

void FormMsgBox::BoxHook1() {}
bool FormMsgBox::AcceptKeyChar() { return true; }
bool FormMsgBox::FilterKey(int c) { return c != 9 && c != 13; }
void FormMsgBox::KeyHook1() {}
void FormMsgBox::KeyHook2() {}
void FormMsgBox::BoxHook2() {}
void FormMsgBox::MouseUpHook() {}
void FormMsgBox::MouseDownHook() {}
void FormMsgBox::BoxHook3() {}
void FormMsgBox::BoxHook4() {}

void FormMsgBox::Answer(GUIElement* button)
{
    if (!UnblockOwner()) return;
    if (firstButton_ && button->GetId() == firstButton_->GetId())
        result_ = isQuestion_ ? kResultYes : kResultOk;
    else if (secondButton_ && button->GetId() == secondButton_->GetId())
        result_ = kResultNo;
    DestroyWindow();
    NotifyClosed();
}

void FormMsgBox::BoxHook5() {}

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
