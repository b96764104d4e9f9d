#include "TempDir.h"

#include "FileContents.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorrel-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data())) path_ = buffer.data();
}

TempDir::~TempDir()
{
    if (path_.empty()) return;
    std::error_code ec;
    // A test may have left a folder without write permission behind.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& relative) const { return path_ + "/" + relative; }

bool TempDir::Exists(const std::string& relative) const
{
    std::error_code ec;
    return fs::exists(File(relative), ec);
}

std::string TempDir::ReadFile(const std::string& relative) const { return ReadWholeFile(File(relative)); }

bool TempDir::WriteFile(const std::string& relative, const std::string& contents) const
{
    return WriteWholeFile(File(relative), contents);
}
