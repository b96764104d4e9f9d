#include "app/InputHabits.h"

namespace {
// Events without a time (made by hand, 0) are never taken for repeats.
bool Within(Time earlier, Time later, Time interval)
{
    return earlier != 0 && later >= earlier && later - earlier <= interval;
}
}  // namespace

bool InputHabits::KeyPressed(unsigned keycode, Time time)
{
    const bool repeat = held_.count(keycode) && keycode == lastKey_ && Within(lastKeyTime_, time, kLongestRepeatGap);
    if (!repeat) held_[keycode] = time;
    lastKey_ = keycode;
    lastKeyTime_ = time;
    return repeat;
}

void InputHabits::KeyReleased(unsigned keycode) { held_.erase(keycode); }

Time InputHabits::PressedAt(unsigned keycode) const
{
    const auto it = held_.find(keycode);
    return it == held_.end() ? 0 : it->second;
}

bool InputHabits::Pressed(unsigned what, uint32_t target, Time time)
{
    const bool continues = target != 0 && what == lastWhat_ && (target == lastTarget_ || anyTarget_) &&
                           Within(lastPress_, time, kMultiClickInterval);
    anyTarget_ = false;
    lastWhat_ = what;
    lastTarget_ = target;
    lastPress_ = time;
    return continues;
}

void InputHabits::OpenedOrClosedWindow(unsigned keycode)
{
    // Only while nothing else was pressed after it.
    if (keycode == lastWhat_ && lastTarget_ != 0) anyTarget_ = true;
}

void InputHabits::Reset() { *this = InputHabits(); }
