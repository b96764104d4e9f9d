#include "gui/Dialog.h"

#include "app/Application.h"

namespace {
constexpr int kEscape = 27;
}  // namespace

Dialog::Dialog(Form* owner, int width, int height, ScreenConnection* screen) : Form(owner, true), owner_(owner)
{
    if (screen || owner) SetScreen(screen ? screen : owner->GetScreen());
    SetSize(width, height);
    if (owner)
        CenterOn(owner);
    else
        CenterOnScreen();
    if (owner) {
        SetParent(owner);
        ownerFocus_ = RememberFocus(owner);
        owner->SetEnabled(false);
        owner->SetMarkA(true);
        owner->SetModalChild(this);
    }
}

Dialog::~Dialog()
{
    DestroyWindow();
    if (owner_ && owner_->GetModalChild() == this) Unblock();
}

void Dialog::Unblock()
{
    if (!owner_) {
        Application::SetQuit(true);
        return;
    }
    // The owner forgets the dialog: it may be destroyed before the owner is next blocked.
    owner_->SetModalChild(nullptr);
    owner_->SetEnabled(true);
    owner_->SetMarkA(false);
}

void Dialog::Load(uint64_t d)
{
    const bool first = !loaded_;
    Form::Load(d);
    if (!first) return;
    BuildControls();
    if (GUIElement* safe = SafeFocus()) FocusControl(safe);
}

bool Dialog::QueryClose()
{
    Unblock();
    return true;
}

void Dialog::Close(int result)
{
    // Closed already: Return reaches the focused button first and then the form.
    if (!created_ || !QueryClose()) return;
    result_ = result;
    DestroyWindow();
    NotifyClosed();
}

void Dialog::NotifyClosed()
{
    Form::NotifyClosed();
    // A copy: the answer may open the next dialog, which deletes this one.
    const FocusMemo focus = ownerFocus_;
    Answered(result_);
    GiveFocusBack(focus);
}

void Dialog::Answered(int) {}

bool Dialog::KeyChar(int c)
{
    if (c == kEscape) {
        Close(kResultNone);
        return false;
    }
    return Form::KeyChar(c);
}

void Dialog::DescribeWindow(AccessibleNode& node)
{
    Form::DescribeWindow(node);
    node.role = AccessibleRole::Dialog;
    node.Set(AccessibleState::Modal, owner_ && created_);
}
