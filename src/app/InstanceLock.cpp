#include "app/InstanceLock.h"

#include <fcntl.h>
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
}  // namespace

InstanceLock::InstanceLock(const char* path)
{
    fd_ = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return;
    struct flock lock = WholeFile(F_WRLCK);
    if (fcntl(fd_, F_SETLK, &lock) == 0) {
        state_ = State::Held;
        return;
    }
    state_ = State::Busy;
    struct flock probe = WholeFile(F_WRLCK);
    if (fcntl(fd_, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) holder_ = probe.l_pid;
    close(fd_);
    fd_ = -1;
}

InstanceLock::~InstanceLock()
{
    if (fd_ >= 0) close(fd_);
}
