#pragma once
// What the event loop needs of a timer: whether it counts, and a way to hand it the
// idle time. The timer control implements it, so the loop ticks the timers in the
// registry's timer list without knowing the control.
#include <cstdint>

class IdleTimer {
public:
    virtual bool IsRunning() const = 0;
    // Counts ms more; true (and the count back at 0) when the interval is reached.
    virtual bool Advance(uint32_t ms) = 0;
    // Calls the tick handler of a running timer.
    virtual void Fire() = 0;

protected:
    ~IdleTimer() = default;
};
