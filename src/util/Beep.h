#pragma once
// Sounds, played by the external command-line player so that no audio library is
// linked in.
#include <string>

// Runs program + " " + arguments through the shell (the arguments unquoted) and waits
// for it. True when the command failed: a non-zero status, or the shell could not run.
bool RunProgram(const std::string& program, const std::string& arguments);

// Plays "Data/beep.wav" with RunProgram in a detached worker (ChildProcess.h) and
// returns at once; silent and without a worker when the file is missing.
void Beep();
