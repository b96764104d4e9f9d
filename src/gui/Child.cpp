#include "gui/Child.h"

#include "app/Application.h"

Child::Child() : GUIElement(nullptr) { isChild_ = true; }

Child::~Child() { Application::RemoveWinForm(this); }
