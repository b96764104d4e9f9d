#include "game/ShellCommands.h"

#include <cstdlib>

bool RunShellCommand(const std::string& command)
{
    return std::system(command.c_str()) != 0;
}
