#pragma once
// The toolkit's push button: a rectangle on its form's window with a one-pixel 3-D
// bevel, a centred caption (or a picture, or both), a dashed focus rectangle and a
// pressed look. A left release over it, or the release of Return or Space while it
// has the focus, runs its command. Like every control it has no window: it paints on the
// form's window and gets its input from the event loop.
//
// A form typically does:
//     auto* b = new ButtonCustom(this, "GO");
//     b->SetSize(97, 28); b->SetPosition(55, 316);
//     b->SetForeColor(0xFFFFFF); b->SetBackColor(0x00AA00);
//     b->SetCommand(ButtonCommand);   // void ButtonCommand(Child* button)
//     b->Create();                    // or Show(), which also paints
#include <X11/Xlib.h>
#include <cstdint>
#include <string>

#include "controls/CommandElement.h"
#include "gui/Child.h"
#include "gui/DefaultColors.h"

class Form;

class ButtonCustom : public Child, public CommandElement {
public:
    // An 80 x 30 button on `owner`, not yet created.
    ButtonCustom(Form* owner, const std::string& caption);
    ~ButtonCustom() override;

    // --- replaced element operations (Child does create, show, hide and geometry) ---
    void SetText(const std::string& s) override;
    void MouseUp(Point p) override;
    void MouseDown(Point p) override;
    void KeyDown(KeySym k) override;
    bool KeyChar(int c) override;
    void GotFocus() override;
    void LostFocus() override;
    // A push button named by its caption, whose one action, "click", runs its command.
    void Describe(AccessibleNode& node) override;
    bool DoAccessibleAction(int index) override;

    // --- the button's own virtual operations ---
    // Enables or disables input; a disabled button shows a grey caption. Repaints.
    virtual void Enable(bool enabled);
    // Caption and focus-rectangle colour, 0xRRGGBB (default black). Shown at the next
    // paint; does not repaint by itself.
    virtual void SetForeColor(uint32_t color);

    // Pictures are not owned: the caller keeps them alive while the button may paint.
    // The disabled image replaces the image while the button is disabled. Repaint.
    void SetImage(XImage* image);
    void SetDisabledImage(XImage* image);
    // When set only the face and the bevel are painted. Repaints.
    void SetContentHidden(bool hidden);

    uint32_t GetForeColor() const { return foreColor_; }
    bool IsPressed() const { return pressed_; }
    bool IsContentHidden() const { return contentHidden_; }
    XImage* GetImage() const { return image_; }
    XImage* GetDisabledImage() const { return disabledImage_; }

protected:
    void Draw(DrawContext& dc, Point at) override;

private:
    uint32_t foreColor_ = kDefaultForeColor;
    bool pressed_ = false;
    bool contentHidden_ = false;
    XImage* image_ = nullptr;
    XImage* disabledImage_ = nullptr;
};
