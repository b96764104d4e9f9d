#include "gui/Child.h"

#include "app/Application.h"

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
