#pragma once
// The program's one diagnostic channel. Every message goes to standard output and,
// as one line of its own, to "log.txt" in the working directory.
#include <string>

void WriteLog(const char* message);
inline void WriteLog(const std::string& message) { WriteLog(message.c_str()); }

// From now on messages go to standard output only: a second start shares the
// working directory, and so the log, of the game that is running there.
void LeaveLogFileAlone();

// Name of the log file; the entry point deletes it at every start.
inline constexpr const char* kLogFileName = "log.txt";
