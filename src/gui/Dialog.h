#pragma once
// A dialog: a form that belongs to an owner form, opens centred on it and blocks it
// until it closes. A derived dialog gives its size, builds its controls and names the
// control that has the keyboard first; the base does the rest:
//
//   class KeysBox : public Dialog {
//   public:
//       explicit KeysBox(Form* owner) : Dialog(owner, 300, 200) { SetTitle("Keys"); }
//   protected:
//       void BuildControls() override { ok_ = new ButtonCustom(this, "OK"); ...; ok_->Create(); }
//       GUIElement* SafeFocus() override { return ok_; }
//   };
//   (new KeysBox(owner))->Show();   // the owner deletes it, or it is deleted on closing
//
// Controls built in BuildControls belong to the dialog (Form deletes them). The
// dialog closes by Close(result) (its buttons), by Escape and by the window's close
// box; after closing, Answered(result) runs and the owner gets the keyboard back.
#include "gui/Form.h"

class ScreenConnection;

class Dialog : public Form {
public:
    static constexpr int kResultNone = 0;

    // A dialog of width x height on the screen of `owner` (or `screen`), centred on
    // the owner and blocking it. Without an owner it is centred on the screen,
    // blocks nothing, and closing it ends the event loop: it is the program's only
    // window. Not created yet: Show (or Create) builds and maps it.
    Dialog(Form* owner, int width, int height, ScreenConnection* screen = nullptr);
    // Destroys the window; a dialog destroyed while open unblocks its owner.
    ~Dialog() override;

    Form* Owner() const { return owner_; }
    // The result it was closed with; kResultNone until then, or when closed without
    // an answer (Escape, the close box).
    int GetResult() const { return result_; }

    // Closes an open dialog with `result`: unblocks the owner, destroys the window
    // and notifies the close.
    void Close(int result);

    // --- element operations the base takes over ---
    void Load(uint64_t d) override;  // the first time: BuildControls, then SafeFocus
    bool QueryClose() override;      // unblocks the owner; the close box may proceed
    void NotifyClosed() override;    // Answered, then the owner's focus comes back
    bool KeyChar(int c) override;    // Escape closes without an answer
    // A dialog, modal while it blocks its owner.
    void DescribeWindow(AccessibleNode& node) override;

protected:
    // Builds the dialog's controls, once, when its window is made.
    virtual void BuildControls() = 0;
    // The control that has the keyboard when the dialog opens: the answer Return
    // gives should be the safe one. None by default.
    virtual GUIElement* SafeFocus() { return nullptr; }
    // After the dialog has closed with `result`. May delete the dialog.
    virtual void Answered(int result);

private:
    void Unblock();

    Form* owner_;
    FocusMemo ownerFocus_;
    int result_ = kResultNone;
};
