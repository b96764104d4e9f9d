#pragma once
// Work done in a process of its own, so that the user interface never waits for a
// sound or for a browser to start.
//
// The process is started twice removed: a child forks the worker and ends at once,
// and the caller collects that child straight away. The worker then belongs to the
// system's reaper, so a finished sound or browser never stays behind as a zombie of
// the game, and the game needs no signal handler. The worker's standard input,
// output and error are /dev/null (a machine without sound or without a browser
// prints nothing on the player's terminal), and it keeps none of the game's other
// descriptors: not the X connection, not the lock on the working directory.
#include <functional>

// Runs `work` in a detached worker and returns at once; the worker ends with status
// 0 after `work`. True when the worker was started. When fork fails, `work` runs
// here and the call returns after it (false).
bool RunDetached(const std::function<void()>& work);
