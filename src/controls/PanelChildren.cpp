#include "controls/PanelChildren.h"

#include "app/Application.h"
#include "gui/DefaultColors.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"

namespace {
constexpr int kTitleInset = 4;
constexpr int kTitleTop = 2;
constexpr int kTitleHeight = 10;  // one line: a longer title is cut, not wrapped

// Everything on the panel, in registry order, the contents of panels on it included.
// A panel that has no id yet has nothing on it that the registry could name.
Application::ElementList Contents(PanelChildren* panel)
{
    if (panel->GetId() == 0) return {};
    return Application::CollectChildren(panel->GetId());
}
}  // namespace

PanelChildren::PanelChildren(Form* owner) : Child(owner, {.kind = kKindPanel, .painted = true, .keepsUserData = true})
{}

PanelChildren::~PanelChildren() { DeleteChildren(); }

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

void PanelChildren::Show()
{
    // Creates when needed and paints the panel with the children already created; the
    // children shown only now paint themselves in their own colours, and take the
    // children back colour at the panel's next paint.
    Child::Show();
    for (GUIElement* child : Contents(this)) child->Show();
}

void PanelChildren::Hide()
{
    // Children first, so that nothing of theirs is drawn again over the erased area.
    for (GUIElement* child : Contents(this)) child->Hide();
    EraseArea(BackColorBehind());
    GUIElement::Hide();
    created_ = false;
}

void PanelChildren::Draw(DrawContext& dc, Point at)
{
    const int X = at.x, Y = at.y, W = width_, H = height_;
    // A panel without a colour of its own is grey whatever it sits on.
    const int64_t back = backColor_ == -1 ? kDefaultBackColor : backColor_;

    dc.FillArea(X, Y, W, H, back);
    if (border_ && flat_)
        dc.DrawRectangle(X, Y, W, H, 1, kDarkEdge);
    else if (border_ && sunken_)
        dc.DrawSunkenFrame(X, Y, W, H);
    else if (border_)
        dc.DrawRaisedFrame(X, Y, W, H);
    if (!text_.empty()) {
        dc.DrawText(X + kTitleInset, Y + kTitleTop, W - 2 * kTitleInset, kTitleHeight, text_,
                    titleColor_ == -1 ? kDefaultForeColor : titleColor_, back, 0);
    }
    for (GUIElement* child : Contents(this)) {
        if (!child->IsPaintedByForm() || !child->IsCreated()) continue;
        // SetBackColor repaints a created child itself; only a change is worth that.
        if (childrenBackColor_ != -1 && child->GetBackColor() != childrenBackColor_)
            child->SetBackColor(childrenBackColor_);
        child->Paint();
    }
}
