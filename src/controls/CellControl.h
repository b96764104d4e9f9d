#pragma once
// The toolkit's text cell: a rectangle that shows its text, wrapped and aligned, on a
// back colour, optionally with a one-pixel sunken border, a highlight colour pair, an
// asterisk marker in the bottom-right corner and a small picture. It takes no input
// of its own and is not a tab stop.
//
// A form typically does:
//     auto* c = new CellControl(this);
//     c->SetBackColor(0xFFFFFF); c->SetForeColor(0x000000); c->SetBorder(true);
//     c->SetSize(70, 15); c->SetPosition(700, 85);
//     c->SetText("");
//     c->Create();                 // or Show(), which also paints
//
// Setters of visible properties repaint a created cell only when the value changes;
// SetSize and SetPosition only store (the owner repaints).
#include <X11/Xlib.h>
#include <cstdint>
#include <string>

#include "gui/Child.h"
#include "gui/DefaultColors.h"

class Form;

class CellControl : public Child {
public:
    explicit CellControl(Form* owner);
    ~CellControl() override;

    // --- replaced element operations (Child does show and hide) ---
    // Only store: the owner repaints after moving or resizing a cell.
    void SetSize(int w, int h) override;
    void SetPosition(int x, int y) override;
    // Stores and repaints only a text that differs from the current one.
    void SetText(const std::string& s) override;
    // As every control's, and remembers the back colour for RestoreBackColor and
    // clears the modified flag; paints nothing.
    void Create() override;

    // --- settings; each repaints a created cell when the value changes ---
    // 0 left, 1 right, 2 centre (the default).
    void SetTextAlign(int align);
    int GetTextAlign() const { return textAlign_; }
    // An asterisk in the bottom-right corner.
    void SetMarker(bool on);
    bool HasMarker() const { return marker_; }
    // One-pixel sunken border; the text then sits one pixel inside it.
    void SetBorder(bool on);
    bool HasBorder() const { return border_; }
    // Text colour, 0xRRGGBB (default black).
    void SetForeColor(int64_t color);
    int64_t GetForeColor() const { return foreColor_; }
    // Kept for the owner; the cell draws with the program's one font.
    void SetFontName(const std::string& name);
    const std::string& GetFontName() const { return fontName_; }
    void SetFontSize(int size);
    int GetFontSize() const { return fontSize_; }
    void SetStyleFlag1(bool on);
    void SetStyleFlag2(bool on);
    void SetStyleFlag3(bool on);
    bool GetStyleFlag1() const { return styleFlag1_; }
    bool GetStyleFlag2() const { return styleFlag2_; }
    bool GetStyleFlag3() const { return styleFlag3_; }

    // --- highlight and picture; these store and repaint a created cell every time ---
    // While on, the highlight colours replace the fore and back colours.
    void SetHighlight(bool on);
    bool IsHighlighted() const { return highlight_; }
    void SetHighlightForeColor(int64_t color);  // default black
    void SetHighlightBackColor(int64_t color);  // default yellow 0xFFFF00
    int64_t GetHighlightForeColor() const { return highlightFore_; }
    int64_t GetHighlightBackColor() const { return highlightBack_; }
    // A picture (not owned) put at width x height, vertically centred and placed by
    // `align`: 0 left, 1 right, 2 centre, any other value left. Null removes it.
    void SetImage(XImage* image, int width, int height, int align);
    XImage* GetImage() const { return image_; }

    // A cell that takes the keyboard focus (a link): Tab reaches it, and it shows
    // in the highlight colours while it has the focus. A click on it acts without
    // taking the focus.
    void SetTakesFocus(bool on)
    {
        tabStop_ = on;
        focusOnClick_ = false;
    }
    void GotFocus() override;
    void LostFocus() override;
    // A label with its text (a link when it takes the focus: its action, "jump", is
    // what a click on it does); a cell without text is left out.
    void Describe(AccessibleNode& node) override;
    bool DoAccessibleAction(int index) override;

    // Returns a created cell to the back colour it had when it was last created.
    void RestoreBackColor();
    int64_t GetSavedBackColor() const { return savedBackColor_; }

    // Set whenever a setting or the text changed since Create or ClearModified.
    bool IsModified() const { return modified_; }
    void ClearModified() { modified_ = false; }

protected:
    void Draw(DrawContext& dc, Point at) override;

private:
    // Stores `value` into `field` when it differs: marks the cell modified and
    // repaints a created cell.
    template <typename T>
    void Change(T& field, const T& value);

    bool modified_ = false;
    XImage* image_ = nullptr;
    int imageAlign_ = 1;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    bool marker_ = false;
    bool styleFlag1_ = false;
    bool styleFlag2_ = false;
    bool styleFlag3_ = false;
    std::string fontName_ = "Topaz";
    int fontSize_ = 8;
    int textAlign_ = 2;
    int64_t foreColor_ = kDefaultForeColor;
    int64_t savedBackColor_ = -1;
    bool border_ = false;
    bool highlight_ = false;
    int64_t highlightFore_ = kDefaultForeColor;
    int64_t highlightBack_ = 0xFFFF00;
};
