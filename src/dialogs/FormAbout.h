#pragma once
// The about box: the game's picture, the product and credit lines, the web and mail
// links (which start the browser and the mail client in a child process, or the
// desktop's opener where those are missing), a notice
// and "OK". It is centred on the main window and blocks it while open.
#include <X11/Xlib.h>
#include <string>

#include "gui/Dialog.h"

class ButtonCustom;
class CellControl;

class FormAbout : public Dialog {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 210;

    explicit FormAbout(Form* owner);

    // Return and Delete close the box as Escape does.
    bool KeyChar(int c) override;

    void SetPicture(XImage* picture, int width, int height);
    void SetTitleLine(const std::string& s) { titleLine_ = s; }
    void SetCreditLine(const std::string& s) { creditLine_ = s; }
    void SetNotice(const std::string& s) { notice_ = s; }
    void SetWebAddress(const std::string& s) { webAddress_ = s; }
    // The four texts above, from the product's own lines.
    void SetProductLines();

    // The contact address: the mailbox, "@" and the web address less its first 12
    // characters (scheme and host prefix).
    std::string MailAddress() const;
    // The command lines the two links run.
    std::string BrowserCommand() const;
    std::string MailCommand() const;
    // Starts the program of a link cell.
    void OpenLink(GUIElement* element);

    // The product and credit lines are read as one text: a screen reader passes over
    // a label of one or two words, which the product line is.
    void DescribeTree(AccessibleNodes& nodes) override;

    ButtonCustom* OkButton() const { return okButton_; }
    CellControl* WebCell() const { return webCell_; }
    CellControl* MailCell() const { return mailCell_; }

protected:
    void BuildControls() override;
    GUIElement* SafeFocus() override;

private:
    // Runs `command` through the shell in a detached worker; when the shell finds no
    // such program, "xdg-open target" instead.
    static void StartLink(const std::string& command, const std::string& target);

    std::string titleLine_;
    std::string creditLine_;
    std::string notice_;
    std::string webAddress_;
    XImage* picture_ = nullptr;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    CellControl* webCell_ = nullptr;
    CellControl* mailCell_ = nullptr;
    ButtonCustom* okButton_ = nullptr;
};
