#pragma once
// An invisible element that calls its handler each time its interval has been
// counted. Time is not read from a clock: the event loop hands out idle time in
// 10 ms steps, so a timer measures time in which no X event arrived.
#include <cstdint>

#include "app/IdleTimer.h"
#include "gui/Child.h"

class Form;

class Timer : public Child, public IdleTimer {
public:
    using TickHandler = void (*)(Timer* timer);

    Timer(Form* owner, uint32_t intervalMs);
    ~Timer() override;

    void Create() override;

    void Start();
    void Stop();
    bool IsRunning() const override { return running_; }
    void SetInterval(uint32_t ms);
    uint32_t GetInterval() const { return interval_; }
    uint32_t GetElapsed() const { return elapsed_; }
    void SetOnTick(TickHandler handler) { onTick_ = handler; }
    void Fire() override;
    // Counts ms; true (and elapsed back at 0) when the interval has been reached.
    bool Advance(uint32_t ms) override;

private:
    bool running_ = false;
    uint32_t interval_;
    uint32_t elapsed_ = 0;
    TickHandler onTick_ = nullptr;
};
