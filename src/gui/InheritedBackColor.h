#pragma once
// The colour a control erases to: Child::BackColorBehind under its older name, kept
// for the picture control until it takes its whole lifecycle from Child.
#include <cstdint>

#include "gui/DefaultColors.h"

class GUIElement;

inline constexpr int64_t kDefaultFormBackColor = kDefaultBackColor;

int64_t InheritedBackColor(GUIElement* element);
