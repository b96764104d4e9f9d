#pragma once
// The program's one diagnostic channel. Every message goes to standard output and,
// as one line of its own, to "log.txt" in the working directory.
#include <string>

void WriteLog(const char* message);
inline void WriteLog(const std::string& message) { WriteLog(message.c_str()); }

// Name of the log file; the entry point deletes it at every start.
inline constexpr const char* kLogFileName = "log.txt";
