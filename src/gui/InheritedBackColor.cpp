#include "gui/InheritedBackColor.h"

#include "gui/Child.h"

int64_t InheritedBackColor(GUIElement* element)
{
    if (!element || !element->IsChild()) return kDefaultBackColor;
    return static_cast<Child*>(element)->BackColorBehind();
}
