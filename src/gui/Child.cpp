#include "gui/Child.h"

#include "app/Application.h"
#include "gui/DefaultColors.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"

Child::Child(GUIElement* parent, const ChildTraits& traits)
    : GUIElement(nullptr), keepsUserData_(traits.keepsUserData), paintsWhileLoading_(traits.paintsWhileLoading)
{
    isChild_ = true;
    kind_ = traits.kind;
    paintedByForm_ = traits.painted;
    tabStop_ = traits.tabStop;
    SetParent(parent);
}

Child::~Child() { Application::RemoveWinForm(this); }

void Child::Create()
{
    if (created_) return;
    const uint64_t ownUserData = userData_;
    AssignId();
    if (keepsUserData_) userData_ = ownUserData;
    created_ = true;
    visible_ = true;
}

void Child::Show()
{
    GUIElement::Show();
    if (paintedByForm_) Paint();
}

void Child::ShowWindow() { Show(); }

void Child::Paint()
{
    if (!paintedByForm_ || !created_ || (Application::Loading() && !paintsWhileLoading_)) return;
    // Without a form there is no window; DrawContext would fall back to another form's.
    Form* form = HostForm();
    if (!form || form->PaintsHeld()) return;
    DrawContext dc(form);
    Draw(dc, FormOffset(x_, y_));
}

void Child::Draw(DrawContext&, Point) {}

void Child::DescribePlace(AccessibleNode& node)
{
    const Point at = FormOffset(x_, y_);
    node.SetBox(at.x, at.y, width_, height_);
    node.SetShowing(created_ && visible_);
    node.SetEnabled(enabled_);
    node.Set(AccessibleState::Focusable, IsTabStop());
    node.Set(AccessibleState::Focused, Application::Focused() == this);
}

void Child::Hide()
{
    if (!paintedByForm_) {
        GUIElement::Hide();
        return;
    }
    if (!created_) return;
    EraseArea(BackColorBehind());
    GUIElement::Hide();
    created_ = false;
}

void Child::SetSize(int w, int h)
{
    if (paintedByForm_)
        ReplaceGeometry(x_, y_, w, h);
    else
        GUIElement::SetSize(w, h);
}

void Child::SetPosition(int x, int y)
{
    if (paintedByForm_)
        ReplaceGeometry(x, y, width_, height_);
    else
        GUIElement::SetPosition(x, y);
}

void Child::ReplaceGeometry(int x, int y, int w, int h)
{
    const bool wasCreated = created_;
    if (wasCreated) Hide();
    x_ = x;
    y_ = y;
    width_ = w;
    height_ = h;
    if (wasCreated) Show();
}

int64_t Child::BackColorBehind()
{
    if (parent_ && parent_->GetBackColor() != -1) return parent_->GetBackColor();
    GUIElement* form = OwningForm();
    if (form && form->GetBackColor() != -1) return form->GetBackColor();
    return kDefaultBackColor;
}

void Child::EraseArea(int64_t colour)
{
    // Without a form window there is nothing on the screen to erase.
    Form* form = HostForm();
    if (!form || !form->IsCreated() || form->PaintsHeld()) return;
    DrawContext dc(form);
    const Point at = FormOffset(x_, y_);
    dc.FillArea(at.x, at.y, width_, height_, colour);
}
