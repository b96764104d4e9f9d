#pragma once
// The shared list that recording elements write every operation into, as
// "name.Operation(arguments)" lines; tests compare it with the calls they expect, in
// order.
#include <X11/X.h>
#include <string>
#include <vector>

#include "gui/Point.h"

using CallLog = std::vector<std::string>;

// The name of a keysym as the call lines show it ("Tab", "a", "F1").
std::string KeyName(KeySym k);
// A point as the call lines show it ("3,4").
std::string PointText(Point p);
