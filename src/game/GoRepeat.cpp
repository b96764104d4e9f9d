#include "game/GoRepeat.h"

bool GoRepeat::IsNewGo(Time now, bool byKey)
{
    if (!movedSinceGo_ && byKey == lastGoByKey_ && now != 0 && lastGo_ != 0 && now - lastGo_ < kDoubleClickTime)
        return false;
    lastGo_ = now;
    lastGoByKey_ = byKey;
    movedSinceGo_ = false;
    return true;
}
