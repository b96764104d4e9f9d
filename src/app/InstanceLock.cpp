#include "app/InstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
struct flock WholeFile(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The process holding an flock on the file open as fd, from the kernel's list of
// locks; 0 when it is not listed.
pid_t FlockHolder(int fd)
{
    struct stat info {};
    if (fstat(fd, &info) != 0) return 0;
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (!locks) return 0;
    pid_t holder = 0;
    char line[256];
    while (holder == 0 && std::fgets(line, sizeof line, locks)) {
        char kind[16], mode[16], access[16], file[64];
        long pid = 0;
        if (std::sscanf(line, "%*d: %15s %15s %15s %ld %63s", kind, mode, access, &pid, file) == 5 &&
            std::strcmp(kind, "FLOCK") == 0 && std::strcmp(file, id) == 0)
            holder = static_cast<pid_t>(pid);
    }
    std::fclose(locks);
    return holder;
}
}  // namespace

InstanceLock::InstanceLock(const char* path)
{
    // The lock file, never through a symbolic link and only when it is a regular file.
    fd_ = open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    struct stat info {};
    if (fd_ >= 0 && (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd_);
        fd_ = -1;
    }
    if (fd_ >= 0) {
        struct flock lock = WholeFile(F_WRLCK);
        if (fcntl(fd_, F_SETLK, &lock) != 0) {
            state_ = State::Busy;
            struct flock probe = WholeFile(F_WRLCK);
            if (fcntl(fd_, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) holder_ = probe.l_pid;
            close(fd_);
            fd_ = -1;
            return;
        }
        state_ = State::Held;
    }
    // The directory itself, which every game of it can open whatever stands at the
    // lock file's path: held as well, so that a game that could not use the lock file
    // still finds the one that could.
    directoryFd_ = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd_ < 0) return;
    if (flock(directoryFd_, LOCK_EX | LOCK_NB) == 0) {
        state_ = State::Held;
        return;
    }
    if (errno == EWOULDBLOCK) {
        state_ = State::Busy;
        holder_ = FlockHolder(directoryFd_);
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    close(directoryFd_);
    directoryFd_ = -1;
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0) close(fd_);
    if (directoryFd_ >= 0) close(directoryFd_);
}
