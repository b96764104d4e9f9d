#pragma once
// One game per working directory. The game holds a write lock (fcntl) on a file in
// its working directory for as long as it runs. The kernel drops the lock when the
// process ends, however it ends, so a killed game never blocks the next start, and
// such locks are not inherited by child processes (a long-running browser started
// from the about box holds nothing).
#include <sys/types.h>

class InstanceLock {
public:
    enum class State {
        Held,         // this process runs the game of this directory
        Busy,         // another game runs here (Holder() says which)
        Unavailable,  // no lock file could be made (read-only directory): run anyway
    };

    // Tries to take the lock on `path`; never waits.
    explicit InstanceLock(const char* path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State GetState() const { return state_; }
    // The process holding the lock when Busy, else 0.
    pid_t Holder() const { return holder_; }

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
    pid_t holder_ = 0;
};

// The lock file in the working directory.
inline constexpr const char* kLockFileName = "quorrel.lock";
