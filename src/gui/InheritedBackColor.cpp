#include "gui/InheritedBackColor.h"

#include "gui/GUIElement.h"

int64_t InheritedBackColor(GUIElement* element)
{
    if (!element) return kDefaultFormBackColor;
    if (GUIElement* parent = element->GetParent()) {
        const int64_t c = parent->GetBackColor();
        if (c != -1) return c;
    }
    if (GUIElement* form = element->OwningForm()) {
        const int64_t c = form->GetBackColor();
        if (c != -1) return c;
    }
    return kDefaultFormBackColor;
}
