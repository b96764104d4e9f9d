#include "CallLog.h"

#include <X11/Xlib.h>

std::string KeyName(KeySym k)
{
    const char* name = XKeysymToString(k);
    return name ? name : std::to_string(k);
}

std::string PointText(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
