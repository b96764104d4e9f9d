#include "gui/Child.h"

#include "app/Application.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"

Child::Child() : GUIElement(nullptr) { isChild_ = true; }

Child::~Child() { Application::RemoveWinForm(this); }

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

void Child::EraseArea(int64_t colour)
{
    Form* form = static_cast<Form*>(OwningForm());
    if (!form) return;
    DrawContext dc(form);
    const Point at = FormOffset(x_, y_);
    // One more than the size: a fill covers (w - 1) x (h - 1) pixels.
    dc.FillRectangle(at.x, at.y, width_ + 1, height_ + 1, 0, -1, colour);
}
