#pragma once
// What the player meant, told apart from what the hardware repeats: a key held down
// sends the server's auto-repeat, and a quick second or third click of one control
// arrives as separate presses. The event loop asks this one place about every key
// press and every left-button press; a key or a control that does act on repeats
// (the peg keys) is decided by the loop, not here.
#include <X11/Xlib.h>
#include <cstdint>
#include <set>

class InputHabits {
public:
    // The longest pause between the presses of one multi-click, in server ms.
    static constexpr Time kMultiClickInterval = 400;
    // A held key repeats far more often than this; a "held" key silent for longer
    // was let go where this program did not see it.
    static constexpr Time kLongestRepeatGap = 1000;

    // A key press at `time`: true when it is an auto-repeat of a key already held.
    bool KeyPressed(unsigned keycode, Time time);
    void KeyReleased(unsigned keycode);
    // A left-button press on the control `target` (an element id, 0 for none) at
    // `time`: true when it continues a multi-click, that is when it comes within
    // the interval of the previous press on the same control, with no key pressed
    // in between.
    bool ClickPressed(uint32_t target, Time time);
    void Reset();

private:
    std::set<unsigned> held_;
    unsigned lastKey_ = 0;
    Time lastKeyTime_ = 0;
    uint32_t lastTarget_ = 0;
    Time lastClick_ = 0;
};
