#pragma once
// Commands handed to the system shell, and programs started without one.
#include <string>
#include <vector>

// Runs the command line through the shell unchanged (no quoting, no escaping) and
// waits for it. True when the command failed: a non-zero status, or no shell ran.
// `exitStatus`, when given, receives the shell's exit status (127: command not
// found), or -1 when the shell did not end normally.
// To start a program without waiting, use RunDetached from "util/ChildProcess.h".
bool RunShellCommand(const std::string& command, int* exitStatus = nullptr);

// Runs the program found on PATH with `args` (args[0] is the program), each one
// argument exactly as given, no shell in between; waits for it. True when it failed.
bool RunWithoutShell(const std::vector<std::string>& args);
