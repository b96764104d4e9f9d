#pragma once
// Path helpers over the C library. Relative paths resolve against the working
// directory; nothing throws or logs, failures come back as false or 0.
#include <cstdint>
#include <string>

// True when the path exists as anything; permissions are not checked.
bool FileExists(const std::string& path);

// True when the file (or empty directory) was removed.
bool RemoveFile(const std::string& path);

// True when the path already exists (as anything) or was created as a directory
// with mode 0777 less the umask. Only the last path component is created.
bool EnsureDirectory(const std::string& path);

// Size in bytes; 0 when the path cannot be examined.
std::int64_t FileSize(const std::string& path);
