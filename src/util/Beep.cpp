#include "util/Beep.h"

#include "util/ChildProcess.h"
#include "util/FileUtil.h"

#include <cstdlib>

namespace {

constexpr const char* kBeepPlayer = "aplay";
constexpr const char* kBeepFile = "Data/beep.wav";

}  // namespace

bool RunProgram(const std::string& program, const std::string& arguments)
{
    const std::string command = program + " " + arguments;
    return std::system(command.c_str()) != 0;
}

void Beep()
{
    if (!FileExists(kBeepFile)) return;
    RunDetached([] { RunProgram(kBeepPlayer, kBeepFile); });
}
