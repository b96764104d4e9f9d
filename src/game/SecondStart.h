#pragma once
// A second start in a working directory where a game already runs.
#include <sys/types.h>

// Brings the running game's window (process `holder`) to the front, or, where it
// cannot be reached (it shows on another display), says "Quorrel is already
// running." in a box and waits until it is closed. Touches none of the running
// game's files. Returns the exit status of the second start.
int ShowRunningGame(pid_t holder);
