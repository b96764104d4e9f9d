#include "FileContents.h"

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
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void PutFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
