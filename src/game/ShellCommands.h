#pragma once
// Commands handed to the system shell.
#include <string>

// Runs the command line through the shell unchanged (no quoting, no escaping) and
// waits for it. True when the command failed: a non-zero status, or no shell ran.
// To start a program without waiting, use RunInChild from "util/ChildProcess.h".
bool RunShellCommand(const std::string& command);
