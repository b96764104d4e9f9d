#include "dialogs/FormAbout.h"

#include "app/Application.h"
#include "app/ProductInfo.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/PanelChildren.h"
#include "image/MyImage.h"
#include "util/ChildProcess.h"
#include "util/ShellCommands.h"

namespace {
constexpr size_t kHostPrefixLength = 12;  // "https://www." is not part of the mail host
constexpr int kCommandNotFound = 127;     // the shell's status for a missing program

FormAbout* AsAbout(GUIElement* e) { return static_cast<FormAbout*>(e); }

void LoadForwarder(GUIElement* e, uint64_t) { AsAbout(e)->BuildControls(); }
bool QueryCloseForwarder(GUIElement* e) { return AsAbout(e)->UnblockOwner(); }
bool KeyCharForwarder(GUIElement* e, int c) { return AsAbout(e)->FilterKey(c); }
void KeyDownForwarder(GUIElement* e, KeySym) { AsAbout(e)->KeyHook1(); }
void KeyUpForwarder(GUIElement* e, KeySym) { AsAbout(e)->KeyHook2(); }
void ClosedForwarder(GUIElement* e) { AsAbout(e)->ReturnFocus(); }

FormAbout* BoxOf(GUIElement* e)
{
    GUIElement* form = e->IsKind(kKindForm) ? e : e->OwningForm();
    return form ? AsAbout(form) : nullptr;
}

void OkClicked(Child* button)
{
    if (FormAbout* box = BoxOf(button)) box->CloseIfOk(button);
}

void LinkPressed(GUIElement* cell, uint64_t, Point)
{
    if (FormAbout* box = BoxOf(cell)) box->OpenLink(cell);
}
}  // namespace

FormAbout::FormAbout(Form* owner) : Form(owner, true), owner_(owner)
{
    if (owner) SetScreen(owner->GetScreen());
    SetTitle("Info...");
    SetSize(kWidth, kHeight);
    if (owner) {
        PlaceOver(owner, kWidth, kHeight);
    }
    SetOnLoad(LoadForwarder);
    SetOnQueryClose(QueryCloseForwarder);
    SetOnKeyChar(KeyCharForwarder);
    SetOnKeyDown(KeyDownForwarder);
    SetOnKeyUp(KeyUpForwarder);
    SetOnClosed(ClosedForwarder);
    if (owner) {
        ownerFocus_ = RememberFocus(owner);
        owner->SetEnabled(false);
        owner->SetMarkA(true);
        owner->SetModalChild(this);
    }
}

FormAbout::~FormAbout()
{
    DestroyWindow();
    delete pictureControl_;
    delete panel_;
    delete creditCell_;
    delete titleCell_;
    delete webCell_;
    delete mailCell_;
    delete noticeCell_;
    delete okButton_;
    // Destroyed while still open (a second INFO, or shut-down): release the owner.
    if (owner_ && owner_->GetModalChild() == this) UnblockOwner();
}

void FormAbout::EmptyHook2() {}

void FormAbout::SetPicture(XImage* picture, int width, int height)
{
    picture_ = picture;
    pictureWidth_ = width;
    pictureHeight_ = height;
}

std::string FormAbout::MailAddress() const
{
    const std::string host = webAddress_.size() > kHostPrefixLength ? webAddress_.substr(kHostPrefixLength) : "";
    return std::string(kMailbox) + "@" + host;
}

std::string FormAbout::BrowserCommand() const { return "firefox " + webAddress_; }

std::string FormAbout::MailCommand() const
{
    return "thunderbird -compose to=\"" + (mailCell_ ? mailCell_->GetText() : MailAddress()) + "\"";
}

void FormAbout::BuildControls()
{
    const int W = GetActualWidth();
    const int H = GetActualHeight();
    const int P = pictureWidth_;

    panel_ = new PanelChildren(this);
    panel_->SetBorder(true);
    panel_->SetSize(P + 20, H - 73);
    panel_->SetPosition(10, 23);
    panel_->Create();

    pictureControl_ = new MyImage(panel_, picture_);
    pictureControl_->SetSize(pictureWidth_, pictureHeight_);
    pictureControl_->SetPosition(5, 5);
    pictureControl_->Create();

    auto cell = [this](const std::string& text, int w, int h, int x, int y) {
        auto* c = new CellControl(this);
        c->SetText(text);
        c->SetTextAlign(0);
        c->SetSize(w, h);
        c->SetPosition(x, y);
        return c;
    };
    titleCell_ = cell(titleLine_, W - P - 55, 25, P + 45, 17);
    titleCell_->SetForeColor(0xFFFFFF);
    titleCell_->Create();
    creditCell_ = cell(creditLine_, W - P - 55, 25, P + 45, 38);
    creditCell_->Create();
    webCell_ = cell(webAddress_, 200, 12, P + 45, 68);
    webCell_->SetForeColor(0x0000FF);
    webCell_->SetMarkB(true);
    webCell_->SetOnMouseDown(LinkPressed);
    webCell_->SetTakesFocus(true);
    webCell_->Create();
    mailCell_ = cell(MailAddress(), 150, 12, P + 255, 68);
    mailCell_->SetForeColor(0x0000FF);
    mailCell_->SetMarkB(true);
    mailCell_->SetOnMouseDown(LinkPressed);
    mailCell_->SetTakesFocus(true);
    mailCell_->Create();
    noticeCell_ = cell(notice_, W - P - 55, H - 145, P + 45, 95);
    noticeCell_->SetBorder(true);
    noticeCell_->Create();

    okButton_ = new ButtonCustom(this, "OK");
    okButton_->SetCommand(OkClicked);
    okButton_->SetSize(80, 28);
    okButton_->SetPosition(P + W / 2 - 80 / 2 + 45, H - 37);
    okButton_->Create();
    FocusControl(okButton_);
}

bool FormAbout::UnblockOwner()
{
    FormHookB();
    if (owner_) {
        owner_->SetModalChild(nullptr);
        owner_->SetEnabled(true);
        owner_->SetMarkA(false);
    }
    return true;
}

void FormAbout::AboutHook1() {}

bool FormAbout::FilterKey(int c)
{
    // Return or Space on a link reached by Tab opens it.
    GUIElement* focus = Application::Focused();
    const bool onLink = focus && ((webCell_ && focus == webCell_) || (mailCell_ && focus == mailCell_));
    if (onLink && (c == 13 || c == ' ')) {
        OpenLink(focus);
        return false;
    }
    if (c == 13 || c == 27 || c == 127) {
        CloseIfOk(okButton_);
        return false;
    }
    return true;
}

void FormAbout::KeyHook1() {}
void FormAbout::KeyHook2() {}

void FormAbout::CloseIfOk(GUIElement* element)
{
    // Closed already: Return reaches the focused OK first and then the form.
    if (!created_ || !element || !okButton_ || element->GetId() != okButton_->GetId()) return;
    if (UnblockOwner()) {
        DestroyWindow();
        NotifyClosed();
    }
}

void FormAbout::ReturnFocus() { GiveFocusBack(ownerFocus_); }

void FormAbout::OpenLink(GUIElement* element)
{
    if (!element) return;
    if (webCell_ && element->GetId() == webCell_->GetId())
        StartLink(BrowserCommand(), webAddress_);
    else if (mailCell_ && element->GetId() == mailCell_->GetId())
        StartLink(MailCommand(), "mailto:" + mailCell_->GetText());
}

void FormAbout::StartLink(const std::string& command, const std::string& target)
{
    RunDetached([command, target] {
        // The named program comes first; where the shell does not find it, the
        // desktop's own opener gets the address as one argument, without a shell.
        int status = 0;
        if (RunShellCommand(command, &status) && status == kCommandNotFound) RunWithoutShell({"xdg-open", target});
    });
}
