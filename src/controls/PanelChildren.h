#pragma once
// A container control: a rectangle with a background, an optional border and an
// optional title (the element's text), on which other controls sit. A control
// belongs to the panel when its parent is the panel; its position is then relative
// to the panel. Showing, hiding and painting the panel carry over to its children.
// The panel handles no input; it owns its children and deletes them when it goes.
#include <cstdint>

#include "gui/Child.h"

class Form;

class PanelChildren : public Child {
public:
    explicit PanelChildren(Form* owner);
    ~PanelChildren() override;

    // --- replaced element operations; "the children" are everything CollectChildren
    // lists for the panel, the contents of panels on it included. Child does create
    // and geometry (a created panel is hidden and shown again, children too). ---
    void Show() override;  // creates, paints, then shows the children
    // Hides the children, then erases W x H pixels, also when the panel was never
    // shown; the panel is then no longer created.
    void Hide() override;

    // --- the panel's own settings; none of them repaints ---
    void SetBorder(bool on);            // a 3-D border (or none)
    void SetFlatBorder(bool flat);      // border on; plain black when flat, else 3-D
    void SetSunken(bool sunken);        // border on; 3-D sunken (top and left dark) or raised
    void SetTitleColor(int64_t color);  // 0xRRGGBB; -1 is black
    // Every painted child is given this back colour; -1 leaves children alone.
    void SetChildrenBackColor(int64_t color);

    bool HasBorder() const { return border_; }
    bool IsFlat() const { return flat_; }
    bool IsSunken() const { return sunken_; }

protected:
    void Draw(DrawContext& dc, Point at) override;  // background, border, title, then the created children

private:
    bool border_ = false;
    bool flat_ = false;
    bool sunken_ = true;
    int64_t titleColor_ = -1;
    int64_t childrenBackColor_ = -1;
};
