#include "util/TextFile.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// ReplaceLines' new files: the prefix, then the six characters mkstemp fills in.
constexpr const char* kReplacementPrefix = ".tmp-";

// Writes each line and a line feed, flushing after every line so that an error
// shows at the line that caused it.
bool PutLines(std::FILE* f, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        if (!line.empty() && std::fwrite(line.data(), 1, line.size(), f) != line.size()) return false;
        if (std::fputc('\n', f) == EOF) return false;
        if (std::fflush(f) != 0) return false;
    }
    return true;
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t CurrentUmask()
{
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Makes the rename itself durable; a directory that cannot be synced (some file
// systems refuse) does not undo a rename that already happened.
void SyncDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

TextFile::TextFile(std::string path) : path_(std::move(path)) {}

std::vector<std::string> TextFile::ReadLines(std::size_t maxLineLength)
{
    std::vector<std::string> lines;
    std::FILE* f = std::fopen(path_.c_str(), "r");
    if (!f) {
        SetOpenFailed();
        return lines;
    }
    std::string line;
    bool tooLong = false;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        if (c == '\n') {
            lines.push_back(line.substr(0, line.find('\0')));
            line.clear();
            continue;
        }
        if (line.size() == maxLineLength) {
            tooLong = true;
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    if (std::ferror(f)) {
        failed_ = true;
    } else if (!tooLong && !line.empty()) {
        lines.push_back(line.substr(0, line.find('\0')));
    }
    std::fclose(f);
    return lines;
}

std::string TextFile::ReadAllText(std::size_t maxLineLength)
{
    const std::vector<std::string> lines = ReadLines(maxLineLength);
    std::string text;
    if (failed_) return text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool TextFile::WriteLines(const std::vector<std::string>& lines)
{
    return Write(lines, "w");
}

bool TextFile::AppendLines(const std::vector<std::string>& lines)
{
    return Write(lines, "a");
}

bool TextFile::Write(const std::vector<std::string>& lines, const char* mode)
{
    std::FILE* f = std::fopen(path_.c_str(), mode);
    if (!f) {
        SetOpenFailed();
        return false;
    }
    if (!PutLines(f, lines)) failed_ = true;
    // The close can still lose buffered data (a full disk, a network file system).
    if (std::fclose(f) != 0) failed_ = true;
    return !failed_;
}

bool TextFile::ReplaceLines(const std::vector<std::string>& lines)
{
    const std::string dir = DirectoryOf(path_);
    std::string temp = dir + "/" + kReplacementPrefix + "XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        SetOpenFailed();
        return false;
    }
    // mkstemp makes the file private; give it the mode a plain create would give.
    fchmod(fd, 0666 & ~CurrentUmask());
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        close(fd);
        unlink(temp.c_str());
        SetOpenFailed();
        return false;
    }
    bool ok = PutLines(f, lines) && fsync(fileno(f)) == 0;
    ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path_.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        failed_ = true;
        return false;
    }
    SyncDirectory(dir);
    return true;
}

int TextFile::RemoveAbandonedReplacements(const std::string& dir)
{
    DIR* d = opendir(dir.c_str());
    if (!d) return 0;
    const std::string prefix = kReplacementPrefix;
    std::vector<std::string> abandoned;
    while (const dirent* entry = readdir(d)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            abandoned.push_back(dir + "/" + name);
    }
    closedir(d);
    int removed = 0;
    for (const std::string& path : abandoned) removed += unlink(path.c_str()) == 0;
    return removed;
}
