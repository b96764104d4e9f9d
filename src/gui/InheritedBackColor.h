#pragma once
// The colour a control erases to and paints its empty area with: its parent's back
// colour, else its form's, else the grey a form's window starts with.
#include <cstdint>

class GUIElement;

// The grey of a form without a back colour of its own.
inline constexpr int64_t kDefaultFormBackColor = 0xAAAAAA;

int64_t InheritedBackColor(GUIElement* element);
