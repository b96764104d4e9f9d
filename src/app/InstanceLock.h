#pragma once
// One game per working directory. The game holds a write lock (fcntl) on a file in
// its working directory, and an exclusive flock on the directory itself, for as long
// as it runs: whatever stands at the lock file's path (a directory, a file nobody may
// open, a symbolic link, which is never followed), the directory can be locked, so
// two games never run in one directory. The kernel drops both when the process ends,
// however it ends, so a killed game never blocks the next start; neither reaches a
// program the game starts (a long-running browser started from the about box holds
// nothing): the fcntl lock is not inherited and the directory is closed on exec.
#include <sys/types.h>

class InstanceLock {
public:
    enum class State {
        Held,         // this process runs the game of this directory
        Busy,         // another game runs here (Holder() says which)
        Unavailable,  // nothing could be locked (the directory cannot be opened): run anyway
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
    int directoryFd_ = -1;
    State state_ = State::Unavailable;
    pid_t holder_ = 0;
};

// The lock file in the working directory.
inline constexpr const char* kLockFileName = "quorrel.lock";
