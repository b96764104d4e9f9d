#include "ScopedWorkingDir.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

ScopedWorkingDir::ScopedWorkingDir(const std::string& dir)
{
    std::error_code ec;
    old_ = std::filesystem::current_path(ec).string();
    ok_ = !ec && chdir(dir.c_str()) == 0;
}

ScopedWorkingDir::~ScopedWorkingDir()
{
    if (ok_ && chdir(old_.c_str()) != 0) std::abort();
}
