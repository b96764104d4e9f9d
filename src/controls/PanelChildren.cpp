#include "controls/PanelChildren.h"

#include "app/Application.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "gui/InheritedBackColor.h"

namespace {
constexpr int64_t kDark = 0x000000;
constexpr int64_t kLight = 0xFFFFFF;
constexpr int64_t kDefaultTitleColor = 0x000000;
constexpr int kTitleInset = 4;
constexpr int kTitleTop = 2;
constexpr int kTitleHeight = 10;  // one line: a longer title is cut, not wrapped

// The panel's own children, in registry order. Grandchildren are left to the panels
// they sit on, which carry every operation to them in turn.
Application::ElementList DirectChildren(PanelChildren* panel)
{
    Application::ElementList result;
    if (panel->GetId() == 0) return result;
    for (GUIElement* e : Application::CollectChildren(panel->GetId()))
        if (e->GetParent() == panel) result.push_back(e);
    return result;
}
}  // namespace

PanelChildren::PanelChildren(Form* owner)
{
    SetParent(owner);
    kind_ = kKindPanel;
    tabStop_ = false;
    paintedByForm_ = true;
}

void PanelChildren::SetBorder(bool on)
{
    border_ = on;
    flat_ = false;
}

void PanelChildren::SetFlatBorder(bool flat)
{
    flat_ = flat;
    border_ = true;
}

void PanelChildren::SetSunken(bool sunken)
{
    sunken_ = sunken;
    border_ = true;
}

void PanelChildren::SetTitleColor(int64_t color) { titleColor_ = color; }
void PanelChildren::SetChildrenBackColor(int64_t color) { childrenBackColor_ = color; }

void PanelChildren::Create()
{
    if (created_) return;
    // Only the id: the panel's user data stays whatever the owner made it.
    if (id_ == 0) id_ = Application::NextId();
    created_ = true;
    visible_ = true;
}

void PanelChildren::Show()
{
    if (!created_) Create();
    Paint();
    for (GUIElement* child : DirectChildren(this)) {
        // Children shown only now are not in the paint above; they get the colour too.
        if (childrenBackColor_ != -1 && child->GetBackColor() != childrenBackColor_)
            child->SetBackColor(childrenBackColor_);
        child->Show();
    }
    Child::Show();
}

void PanelChildren::ShowWindow() { Show(); }

void PanelChildren::Hide()
{
    // Children first, so that nothing of theirs is drawn again over the erased area.
    for (GUIElement* child : DirectChildren(this)) child->Hide();
    if (created_) {
        // A panel never shown has nothing on the window; erasing would only damage
        // whatever else is there.
        EraseArea(InheritedBackColor(this));
    }
    Child::Hide();
    created_ = false;
}

void PanelChildren::SetSize(int w, int h) { ReplaceGeometry(x_, y_, w, h); }

void PanelChildren::SetPosition(int x, int y) { ReplaceGeometry(x, y, width_, height_); }

void PanelChildren::Paint()
{
    if (Application::Loading() || !created_) return;
    DrawContext dc(static_cast<Form*>(OwningForm()));
    const Point at = FormOffset(x_, y_);
    const int X = at.x, Y = at.y, W = width_, H = height_;
    const int64_t back = backColor_ == -1 ? kDefaultFormBackColor : backColor_;

    // One more than the size: the fill covers (w - 1) x (h - 1) pixels, and a panel
    // without a border must still own its last row and column.
    dc.FillRectangle(X, Y, W + 1, H + 1, 0, -1, back);
    if (border_) {
        if (flat_) {
            dc.DrawRectangle(X, Y, W, H, 1, kDark);
        } else {
            const int64_t topLeft = sunken_ ? kDark : kLight;
            const int64_t bottomRight = sunken_ ? kLight : kDark;
            dc.DrawLineSolid(X, Y, X + W - 1, Y, topLeft);
            dc.DrawLineSolid(X, Y + H - 1, X, Y, topLeft);
            dc.DrawLineSolid(X + W - 1, Y, X + W - 1, Y + H - 1, bottomRight);
            dc.DrawLineSolid(X, Y + H - 1, X + W - 1, Y + H - 1, bottomRight);
        }
    }
    if (!text_.empty()) {
        dc.DrawText(X + kTitleInset, Y + kTitleTop, W - 2 * kTitleInset, kTitleHeight, text_,
                    titleColor_ == -1 ? kDefaultTitleColor : titleColor_, back, 0);
    }
    for (GUIElement* child : DirectChildren(this)) {
        if (!child->IsPaintedByForm() || !child->IsCreated()) continue;
        // SetBackColor repaints a created child itself; only a change is worth that.
        if (childrenBackColor_ != -1 && child->GetBackColor() != childrenBackColor_)
            child->SetBackColor(childrenBackColor_);
        child->Paint();
    }
}
