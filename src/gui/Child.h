#pragma once
#include "gui/GUIElement.h"

// The base of every control: an element without a window of its own, drawn on its
// form's window, that leaves the registry when it is destroyed.
class Child : public GUIElement {
public:
    Child();
    ~Child() override;
};
