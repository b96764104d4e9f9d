#include "controls/Timer.h"

#include "app/Application.h"
#include "gui/Form.h"

Timer::Timer(Form* owner, uint32_t intervalMs) : Child(owner, {.kind = kKindTimer}), interval_(intervalMs)
{
    text_ = kKindTimer;
    SetSize(0, 0);
    Application::RegisterTimer(this);
}

Timer::~Timer() { running_ = false; }

void Timer::Create()
{
    if (created_) return;
    if (id_ == 0) id_ = Application::NextId();
    created_ = true;
}

void Timer::Start()
{
    if (running_) return;
    Create();
    running_ = true;
}

void Timer::Stop() { running_ = false; }

void Timer::SetInterval(uint32_t ms)
{
    interval_ = ms;
    if (running_) {
        running_ = false;
        Create();
        running_ = true;
    }
}

void Timer::Fire()
{
    if (running_ && onTick_) onTick_(this);
}

bool Timer::Advance(uint32_t ms)
{
    elapsed_ += ms;
    if (elapsed_ < interval_) return false;
    elapsed_ = 0;
    return true;
}
