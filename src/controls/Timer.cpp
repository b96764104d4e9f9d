#include "controls/Timer.h"

#include <sys/select.h>

#include "app/Application.h"
#include "gui/Form.h"

Timer::Timer(Form* owner, uint32_t intervalMs) : interval_(intervalMs)
{
    SetParent(owner);
    text_ = kKindTimer;
    kind_ = kKindTimer;
    tabStop_ = false;
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

void TickTimers(uint32_t ms)
{
    // A handler may create timers; those are first visited in the next pass.
    const Application::ElementList& timers = Application::Timers();
    const size_t count = timers.size();
    for (size_t i = 0; i < count && i < timers.size(); ++i) {
        Timer* t = static_cast<Timer*>(timers[i]);
        if (!t->IsRunning()) continue;
        if (t->Advance(ms)) t->Fire();
    }
}

int WaitReadable(int fd, uint32_t ms)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval timeout{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
    return select(fd + 1, &readable, nullptr, nullptr, &timeout);
}
