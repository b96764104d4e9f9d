#include "util/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

BinaryFile::~BinaryFile()
{
    if (file_) std::fclose(file_);
}

void BinaryFile::OpenRead(const std::string& path)
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    failed_ = openFailed_ = false;
    // Without waiting for a writer (a FIFO) or a device, and only a regular file.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file_ = fdopen(fd, "rb");
    if (!file_) {
        if (fd >= 0) close(fd);
        failed_ = openFailed_ = true;
    }
}

std::int64_t BinaryFile::ReadAt(std::int64_t offset, void* buffer, std::int64_t count)
{
    if (failed_ || openFailed_ || !file_) return 0;
    if (offset < 0 || count <= 0 || !buffer) return 0;
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
        failed_ = true;
        return 0;
    }
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(count), file_);
    if (std::ferror(file_)) failed_ = true;
    // A later read at another offset must not see this one's end-of-file mark.
    std::clearerr(file_);
    return static_cast<std::int64_t>(got);
}

void BinaryFile::Close()
{
    // Closes even after a read error, so a failed file never keeps its stream.
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    failed_ = true;
}
