#include "dialogs/FormAbout.h"

#include <algorithm>

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

constexpr int kCarriageReturn = 13;
constexpr int kDelete = 127;

FormAbout* BoxOf(GUIElement* e) { return static_cast<FormAbout*>(e->HostForm()); }

void OkClicked(Child* button)
{
    if (FormAbout* box = BoxOf(button)) box->Close(Dialog::kResultNone);
}

void LinkPressed(GUIElement* cell, uint64_t, Point)
{
    if (FormAbout* box = BoxOf(cell)) box->OpenLink(cell);
}
}  // namespace

FormAbout::FormAbout(Form* owner) : Dialog(owner, kWidth, kHeight) { SetTitle("Info..."); }

bool FormAbout::KeyChar(int c)
{
    // Return or Space on a link reached by Tab opens it.
    GUIElement* focus = Application::Focused();
    if (focus && (focus == webCell_ || focus == mailCell_) && (c == kCarriageReturn || c == ' ')) {
        OpenLink(focus);
        return false;
    }
    if (c == kCarriageReturn || c == kDelete) {
        Close(kResultNone);
        return false;
    }
    return Dialog::KeyChar(c);
}

void FormAbout::SetPicture(XImage* picture, int width, int height)
{
    picture_ = picture;
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void FormAbout::SetProductLines()
{
    SetTitleLine(std::string(kProductName) + " " + kProductVersion);
    SetCreditLine(kCreditLine);
    SetNotice(kNotice);
    SetWebAddress(kWebAddress);
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

    auto* panel = new PanelChildren(this);
    panel->SetBorder(true);
    panel->SetSize(P + 20, H - 73);
    panel->SetPosition(10, 23);
    panel->Create();

    auto* picture = new MyImage(panel, picture_);
    picture->SetSize(pictureWidth_, pictureHeight_);
    picture->SetPosition(5, 5);
    picture->Create();

    auto cell = [this](const std::string& text, int w, int h, int x, int y) {
        auto* c = new CellControl(this);
        c->SetText(text);
        c->SetTextAlign(0);
        c->SetSize(w, h);
        c->SetPosition(x, y);
        return c;
    };
    CellControl* title = cell(titleLine_, W - P - 55, 25, P + 45, 17);
    title->SetForeColor(0xFFFFFF);
    title->Create();
    cell(creditLine_, W - P - 55, 25, P + 45, 38)->Create();
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
    CellControl* notice = cell(notice_, W - P - 55, H - 145, P + 45, 95);
    notice->SetBorder(true);
    notice->Create();

    okButton_ = new ButtonCustom(this, "OK");
    okButton_->SetCommand(OkClicked);
    okButton_->SetSize(80, 28);
    okButton_->SetPosition(P + W / 2 - 80 / 2 + 45, H - 37);
    okButton_->Create();
}

GUIElement* FormAbout::SafeFocus() { return okButton_; }

void FormAbout::DescribeTree(AccessibleNodes& nodes)
{
    Dialog::DescribeTree(nodes);
    // The first two labels are the product line and the credit line, one under the other.
    auto title =
        std::find_if(nodes.begin(), nodes.end(), [this](const AccessibleNode& n) { return n.name == titleLine_; });
    if (title == nodes.end() || title + 1 == nodes.end() || title[1].name != creditLine_) return;
    title->name += "\n" + creditLine_;
    title->text = title->name;
    title->height = title[1].y + title[1].height - title->y;
    title->Set(AccessibleState::MultiLine);
    nodes.erase(title + 1);
}

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
