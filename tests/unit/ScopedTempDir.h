#pragma once
// Runs a test inside a fresh temporary directory: the store and the log use paths
// relative to the working directory. The directory and everything in it go away
// when the object does, and the old working directory comes back.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class ScopedTempDir {
public:
    ScopedTempDir()
    {
        oldDir_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "quorrel-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) dir_ = pattern;
        std::filesystem::current_path(dir_);
    }
    ~ScopedTempDir()
    {
        std::filesystem::current_path(oldDir_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& Path() const { return dir_; }

private:
    std::filesystem::path oldDir_;
    std::filesystem::path dir_;
};

// The exact bytes of a file, or "<missing>".
inline std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void PutFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
