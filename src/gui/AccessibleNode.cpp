#include "gui/AccessibleNode.h"

const char* AccessibleRoleName(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Alert:
        return "alert";
    case AccessibleRole::Dialog:
        return "dialog";
    case AccessibleRole::Frame:
        return "frame";
    case AccessibleRole::Label:
        return "label";
    case AccessibleRole::List:
        return "list";
    case AccessibleRole::ListItem:
        return "list item";
    case AccessibleRole::PushButton:
        return "push button";
    case AccessibleRole::Application:
        return "application";
    case AccessibleRole::Link:
        return "link";
    case AccessibleRole::Notification:
        return "notification";
    case AccessibleRole::NotShown:
        break;
    }
    return "invalid";
}
