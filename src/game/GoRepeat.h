#pragma once
// Tells a second GO of a double click from a new move. A GO that comes within the
// double-click time of the last one, by the same means (both clicks or both keys),
// with nothing played in between, is the second half of a double click. The time is
// the server's time of the input, so that a slow repaint between the two presses
// does not turn one double click into two moves; a click and then Return are two
// deliberate presses, whatever their pace.
#include <X11/Xlib.h>

class GoRepeat {
public:
    static constexpr Time kDoubleClickTime = 400;  // ms

    // True when a GO at `now` is a new move; it becomes the last GO then.
    bool IsNewGo(Time now, bool byKey);
    // Something was played since the last GO: the next GO is a new move.
    void Moved() { movedSinceGo_ = true; }

private:
    Time lastGo_ = 0;
    bool lastGoByKey_ = false;
    bool movedSinceGo_ = true;
};
