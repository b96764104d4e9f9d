#pragma once
#include "gui/GUIElement.h"

// The base of every control: an element without a window of its own, drawn on its
// form's window, that leaves the registry when it is destroyed.
class Child : public GUIElement {
public:
    Child();
    ~Child() override;

protected:
    // Geometry changes of controls that paint themselves: a created control is erased
    // (its Hide), takes the new place or size and is shown again; one that is not
    // created only stores it.
    void ReplaceGeometry(int x, int y, int w, int h);
    // Paints the control's W x H pixels on its form in `colour`, the erasing step of
    // the controls' Hide.
    void EraseArea(int64_t colour);
};
