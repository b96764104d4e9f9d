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
    held_.insert(keycode);
    // A key between two clicks makes them separate clicks.
    lastTarget_ = 0;
    lastKey_ = keycode;
    lastKeyTime_ = time;
    return repeat;
}

void InputHabits::KeyReleased(unsigned keycode) { held_.erase(keycode); }

bool InputHabits::ClickPressed(uint32_t target, Time time)
{
    const bool continues = target != 0 && target == lastTarget_ && Within(lastClick_, time, kMultiClickInterval);
    lastTarget_ = target;
    lastClick_ = time;
    return continues;
}

void InputHabits::Reset() { *this = InputHabits(); }
