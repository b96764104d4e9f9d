#pragma once
// What the player meant, told apart from what the hardware repeats: a key held down
// sends the server's auto-repeat, and a quick second or third press of one control
// (a double or triple click, a double tap of Return) arrives as separate presses.
// The event loop asks this one place about every key press and every left-button
// press; which keys act on repeats (the peg keys) and which presses a multi-press
// swallows is decided by the loop, not here.
#include <X11/Xlib.h>
#include <cstdint>
#include <map>

class InputHabits {
public:
    // The longest pause between the presses of one multi-press, in server ms.
    static constexpr Time kMultiClickInterval = 400;
    // A held key repeats far more often than this; a "held" key silent for longer
    // was let go where this program did not see it.
    static constexpr Time kLongestRepeatGap = 1000;
    // What ButtonPressed is told for the left button: no keycode is 0.
    static constexpr unsigned kLeftButton = 0;

    // A key press at `time`: true when it is an auto-repeat of a key already held.
    bool KeyPressed(unsigned keycode, Time time);
    void KeyReleased(unsigned keycode);
    // When the held key `keycode` went down (its first press, not a repeat); 0 when
    // this program did not see it go down.
    Time PressedAt(unsigned keycode) const;
    // A press of `what` (a keycode, or kLeftButton) on `target` (the control or form
    // it acts on, by element id; 0 for a press that acts on none) at `time`: true
    // when it continues a multi-press, that is when it comes within the interval of
    // the previous press, of the same key or button, on the same target, with
    // nothing else pressed in between.
    bool Pressed(unsigned what, uint32_t target, Time time);
    // The press of the key `keycode` (or its release) opened or closed a window: a
    // further press of that key within the interval of its press continues the
    // multi-press whatever it lands on, the new window or the one left behind.
    void OpenedOrClosedWindow(unsigned keycode);
    void Reset();

private:
    std::map<unsigned, Time> held_;  // keycode -> the time it went down
    unsigned lastKey_ = 0;
    Time lastKeyTime_ = 0;
    unsigned lastWhat_ = 0;
    uint32_t lastTarget_ = 0;
    bool anyTarget_ = false;  // the last press opened or closed a window
    Time lastPress_ = 0;
};
