#include "util/TextFile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// New files of a replacement: the prefix, the writer's process id, a dash and the
// six characters mkstemp fills in.
constexpr const char* kReplacementPrefix = ".tmp-";
constexpr std::size_t kUniqueLength = 6;

std::function<void(const TextFile::Operation&)>& Watcher()
{
    static std::function<void(const TextFile::Operation&)> watcher;
    return watcher;
}

void Tell(TextFile::Operation::Kind kind, const std::string& path, const std::string& target = {},
          const std::string& bytes = {}, bool synced = false)
{
    if (Watcher()) Watcher()({kind, path, target, bytes, synced});
}

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

// The writer of a replacement's new file, from its name: its process id, or -1 for a
// name that is no new file at all.
long ReplacementWriter(const std::string& name)
{
    const std::string prefix = kReplacementPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return -1;
    const std::string rest = name.substr(prefix.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || rest.size() - dash - 1 != kUniqueLength) return -1;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9' || pid > 100000000) return -1;
        pid = pid * 10 + (rest[i] - '0');
    }
    return pid > 0 ? pid : -1;
}

bool IsAbandoned(long writer) { return kill(static_cast<pid_t>(writer), 0) != 0 && errno == ESRCH; }

}  // namespace

TextFile::TextFile(std::string path) : path_(std::move(path)) {}

TextFile::~TextFile() { DiscardReplacement(); }

void TextFile::SetOpenFailed(const std::string& what, int error)
{
    failed_ = openFailed_ = true;
    errorText_ = what + ": " + std::strerror(error);
}

void TextFile::SetFailed(const std::string& what, int error)
{
    failed_ = true;
    errorText_ = what + ": " + std::strerror(error);
}

// Opens without waiting for a writer (a FIFO) or a device and refuses anything but
// a regular file. The descriptor, with the file's status in info, or -1 with the
// flags set.
int TextFile::OpenForReading(struct stat& info)
{
    const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetOpenFailed(path_, errno);
        return -1;
    }
    info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        close(fd);
        notRegular_ = true;
        SetOpenFailed(path_, error);
        errorText_ = path_ + ": not a regular file";
        return -1;
    }
    return fd;
}

std::vector<std::string> TextFile::ReadLines(std::size_t maxLineLength)
{
    std::vector<std::string> lines;
    struct stat info {};
    const int fd = OpenForReading(info);
    if (fd < 0) return lines;
    std::FILE* f = fdopen(fd, "r");
    if (!f) {
        close(fd);
        SetOpenFailed(path_, errno);
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
        SetFailed(path_, errno);
    } else if (!tooLong && !line.empty()) {
        lines.push_back(line.substr(0, line.find('\0')));
    }
    std::fclose(f);
    return lines;
}

std::string TextFile::ReadBytes(std::size_t maxBytes, bool newest)
{
    cut_ = false;
    std::string bytes;
    struct stat info {};
    const int fd = OpenForReading(info);
    if (fd < 0) return bytes;
    modified_ = info.st_mtim;
    const auto size = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    off_t offset = 0;
    if (size > maxBytes) {
        cut_ = true;
        if (newest) offset = static_cast<off_t>(size - maxBytes);
    }
    bytes.resize(size < maxBytes ? size : maxBytes);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = pread(fd, bytes.data() + got, bytes.size() - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetFailed(path_, errno);
            close(fd);
            return std::string();
        }
        if (n == 0) break;  // the file shrank while it was read
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    close(fd);
    return bytes;
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

bool TextFile::WriteLines(const std::vector<std::string>& lines) { return Write(lines, "w"); }

bool TextFile::AppendLines(const std::vector<std::string>& lines) { return Write(lines, "a"); }

bool TextFile::Write(const std::vector<std::string>& lines, const char* mode)
{
    std::FILE* f = std::fopen(path_.c_str(), mode);
    if (!f) {
        SetOpenFailed(path_, errno);
        return false;
    }
    if (!PutLines(f, lines)) SetFailed(path_, errno);
    // The close can still lose buffered data (a full disk, a network file system).
    if (std::fclose(f) != 0) SetFailed(path_, errno);
    return !failed_;
}

bool TextFile::ReplaceLines(const std::vector<std::string>& lines)
{
    return WriteReplacement(lines, true) && CommitReplacement(true);
}

bool TextFile::WriteReplacement(const std::vector<std::string>& lines, bool sync)
{
    DiscardReplacement();
    const std::string dir = DirectoryOf(path_);
    std::string temp = dir + "/" + kReplacementPrefix + std::to_string(getpid()) + "-XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        SetOpenFailed(dir, errno);
        return false;
    }
    // mkstemp makes the file private; give it the mode a plain create would give.
    fchmod(fd, 0666 & ~CurrentUmask());
    std::FILE* f = fdopen(fd, "w");
    if (!f) {
        SetOpenFailed(dir, errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    replacement_ = temp;
    bool ok = PutLines(f, lines) && (!sync || fsync(fileno(f)) == 0);
    if (!ok) SetFailed(dir, errno);
    if (std::fclose(f) != 0 && ok) {
        SetFailed(dir, errno);
        ok = false;
    }
    if (!ok) DiscardReplacement();
    if (ok) {
        std::string written;
        for (const std::string& line : lines) written += line + "\n";
        Tell(Operation::Kind::Write, replacement_, {}, written, sync);
    }
    return ok;
}

bool TextFile::CommitReplacement(bool sync)
{
    if (replacement_.empty()) return false;
    if (std::rename(replacement_.c_str(), path_.c_str()) != 0) {
        SetFailed(path_, errno);
        DiscardReplacement();
        return false;
    }
    Tell(Operation::Kind::Rename, replacement_, path_);
    replacement_.clear();
    if (sync) SyncDirectory(DirectoryOf(path_));
    return true;
}

void TextFile::DiscardReplacement()
{
    if (replacement_.empty()) return;
    unlink(replacement_.c_str());
    replacement_.clear();
}

int TextFile::RemoveAbandonedReplacements(const std::string& dir)
{
    DIR* d = opendir(dir.c_str());
    if (!d) return 0;
    std::vector<std::pair<std::string, long>> found;
    while (const dirent* entry = readdir(d)) {
        const long writer = ReplacementWriter(entry->d_name);
        if (writer >= 0) found.emplace_back(dir + "/" + entry->d_name, writer);
    }
    closedir(d);
    int removed = 0;
    for (const auto& [path, writer] : found)
        if (IsAbandoned(writer)) removed += unlink(path.c_str()) == 0;
    return removed;
}

void TextFile::SyncDirectory(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
    Tell(Operation::Kind::SyncDirectory, dir);
}

void TextFile::SetWatcher(std::function<void(const Operation&)> watcher) { Watcher() = std::move(watcher); }
