#pragma once
// The about box: the game's picture, the product and credit lines, the web and mail
// links (which start the browser and the mail client in a child process, or the
// desktop's opener where those are missing), a notice
// and "OK". It is centred on the main window and blocks it while open.
#include <X11/Xlib.h>
#include <string>

#include "gui/Form.h"

class ButtonCustom;
class CellControl;
class MyImage;
class PanelChildren;

class FormAbout : public Form {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 210;

    explicit FormAbout(Form* owner);
    ~FormAbout() override;

    void EmptyHook2() override;

    // --- the about box's own virtual operations, in their fixed order ---
    virtual void BuildControls();
    virtual bool UnblockOwner();
    virtual void AboutHook1();
    virtual bool FilterKey(int c);
    virtual void KeyHook1();
    virtual void KeyHook2();
    virtual void CloseIfOk(GUIElement* element);
    virtual void OpenLink(GUIElement* element);

    void SetPicture(XImage* picture, int width, int height);
    void SetTitleLine(const std::string& s) { titleLine_ = s; }
    void SetCreditLine(const std::string& s) { creditLine_ = s; }
    void SetNotice(const std::string& s) { notice_ = s; }
    void SetWebAddress(const std::string& s) { webAddress_ = s; }

    // The contact address: the mailbox, "@" and the web address less its first 12
    // characters (scheme and host prefix).
    std::string MailAddress() const;
    // The command lines the two links run.
    std::string BrowserCommand() const;
    std::string MailCommand() const;

    // After closing: the owner gets the keyboard back.
    void ReturnFocus();

    ButtonCustom* OkButton() const { return okButton_; }
    CellControl* WebCell() const { return webCell_; }
    CellControl* MailCell() const { return mailCell_; }

private:
    // Runs `command` through the shell in a detached worker; when the shell finds no
    // such program, "xdg-open target" instead.
    static void StartLink(const std::string& command, const std::string& target);

    Form* owner_;
    std::string titleLine_;
    std::string creditLine_;
    std::string notice_;
    std::string webAddress_;
    XImage* picture_ = nullptr;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    PanelChildren* panel_ = nullptr;
    MyImage* pictureControl_ = nullptr;
    CellControl* titleCell_ = nullptr;
    CellControl* creditCell_ = nullptr;
    CellControl* webCell_ = nullptr;
    CellControl* mailCell_ = nullptr;
    CellControl* noticeCell_ = nullptr;
    ButtonCustom* okButton_ = nullptr;
    FocusMemo ownerFocus_;
};
