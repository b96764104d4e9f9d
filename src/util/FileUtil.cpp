#include "util/FileUtil.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool EnsureDirectory(const std::string& path)
{
    if (FileExists(path)) return true;
    return mkdir(path.c_str(), 0777) == 0;
}

std::int64_t FileSize(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return 0;
    return static_cast<std::int64_t>(info.st_size);
}
