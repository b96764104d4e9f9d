#include "FileContents.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string FileBytes(const std::string& path)
{
    return std::ifstream(path, std::ios::binary) ? ReadWholeFile(path) : "<missing>";
}

std::string ReadLog(const std::string& dir) { return ReadWholeFile(dir + "/log.txt"); }

bool WriteWholeFile(const std::string& path, const std::string& contents)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return out && (out << contents).flush();
}

void PutFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
