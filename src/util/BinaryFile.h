#pragma once
// A file read as raw bytes at chosen offsets. The program only reads with it.
#include <cstdint>
#include <cstdio>
#include <string>

class BinaryFile {
public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Opens the path for reading, closing any file opened before. Clears both flags
    // first; a failed open sets both. Anything but a regular file (a FIFO, a device,
    // a directory) fails at once instead of blocking or reading nonsense.
    void OpenRead(const std::string& path);

    // Reads up to count bytes from the offset (from the start of the file) into
    // buffer and returns how many were read. A short read at the end of the file is
    // no failure; a failed seek or a read error sets Failed. Returns 0 without
    // reading when the file is failed or closed, or for a negative offset or count.
    std::int64_t ReadAt(std::int64_t offset, void* buffer, std::int64_t count);

    // Closes the file (also after a failure); afterwards Failed is true and further
    // calls do nothing. The destructor closes a file left open.
    void Close();

    bool Failed() const { return failed_; }
    bool OpenFailed() const { return openFailed_; }

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    bool openFailed_ = false;
};
