#pragma once
// A line-oriented text file. The object only remembers the path, the status flags
// and a replacement in progress; every operation opens and closes the file itself.
// Reading never waits: anything that is not a regular file (a FIFO, a device, a
// directory) is refused as a failed open.
#include <cstddef>
#include <ctime>
#include <functional>
#include <limits>
#include <string>
#include <vector>

struct stat;

class TextFile {
public:
    // The usual longest line: a line of more characters ends the reading.
    static constexpr std::size_t kMaxLineLength = 255;
    // Pass as the limit to read lines of any length.
    static constexpr std::size_t kNoLineLimit = std::numeric_limits<std::size_t>::max();

    explicit TextFile(std::string path);
    // Removes a replacement that was written and never committed.
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // The lines of the file in order, without their line feeds; a carriage return
    // before the line feed stays in the line and a line is cut at its first zero
    // byte. A last line without a line feed counts. Reading stops silently at the
    // first line longer than maxLineLength (it and all later lines are dropped).
    // A file that cannot be opened sets both flags, a read error sets Failed; both
    // give the lines read so far (none when the open failed).
    std::vector<std::string> ReadLines(std::size_t maxLineLength = kMaxLineLength);

    // The lines of ReadLines, each followed by "\r\n"; empty when reading failed or
    // the file has no line.
    std::string ReadAllText(std::size_t maxLineLength = kMaxLineLength);

    // Writes each line followed by a line feed, truncating or creating the file.
    // True when opening, every write and the close succeeded.
    bool WriteLines(const std::vector<std::string>& lines);

    // As WriteLines, but appends to the file (creating it when missing).
    bool AppendLines(const std::vector<std::string>& lines);

    // The file's bytes, at most maxBytes of them: the first ones, or the last ones
    // when newest is true, so that an absurdly large file never has to fit in memory.
    // Cut() tells whether bytes were left out. A failure gives an empty text.
    std::string ReadBytes(std::size_t maxBytes, bool newest = false);

    // As WriteLines, but the file is never seen half-written: the lines go to a new
    // file in the same directory, which is flushed to the disk and then renamed over
    // the old one, and the directory is flushed after the rename. After a failure or
    // a crash the old file is still there, whole; a failure also removes the new
    // file. The file gets mode 0666 less the umask.
    bool ReplaceLines(const std::vector<std::string>& lines);

    // ReplaceLines in two steps, for callers that replace several files as one:
    // WriteReplacement writes the new file beside this one (flushed to the disk when
    // sync is true); CommitReplacement renames it over this file (and with sync
    // flushes the directory, which makes this and every earlier rename in it
    // durable); DiscardReplacement removes an uncommitted new file. The new file's
    // name carries the writer's process id, see RemoveAbandonedReplacements.
    bool WriteReplacement(const std::vector<std::string>& lines, bool sync);
    bool CommitReplacement(bool sync);
    void DiscardReplacement();

    // The new file of a replacement written and not yet committed; empty otherwise.
    const std::string& ReplacementPath() const { return replacement_; }

    // Removes the new files that replacements in `dir` left behind when their writer
    // died between creating and renaming them. A file whose writer still runs is
    // never touched, whichever process that is. The number removed.
    static int RemoveAbandonedReplacements(const std::string& dir);

    // Flushes dir to the disk, which makes every earlier rename in it durable. A
    // directory that cannot be synced (some file systems refuse) is left as it is.
    static void SyncDirectory(const std::string& dir);

    // What a replacement does to the disk, in order, for a watcher that wants to
    // know which bytes and names were made durable when: the new file's bytes
    // (synced or not), its rename, and each directory sync.
    struct Operation {
        enum class Kind { Write, Rename, SyncDirectory } kind;
        std::string path;    // the file written, the file renamed, the directory synced
        std::string target;  // where a rename put it
        std::string bytes;   // what a write left in the file
        bool synced = false;
    };
    // Called with every operation of every TextFile until it is set empty again.
    static void SetWatcher(std::function<void(const Operation&)> watcher);

    // True after any failure of this object, opening included.
    bool Failed() const { return failed_; }
    // True after a failure to open the file.
    bool OpenFailed() const { return openFailed_; }
    // True when the path was there but not a regular file.
    bool NotRegular() const { return notRegular_; }
    // True when the last ReadBytes left bytes out.
    bool Cut() const { return cut_; }
    // When the file read by the last ReadBytes was last changed.
    const timespec& ModifiedTime() const { return modified_; }
    // The path and the system's reason for the last failure, for a log line or a
    // message; empty before any failure.
    const std::string& ErrorText() const { return errorText_; }
    const std::string& Path() const { return path_; }

private:
    bool Write(const std::vector<std::string>& lines, const char* mode);
    int OpenForReading(struct stat& info);
    void SetOpenFailed(const std::string& what, int error);
    void SetFailed(const std::string& what, int error);

    std::string path_;
    std::string replacement_;  // the new file of a replacement not yet committed
    std::string errorText_;
    bool failed_ = false;
    bool openFailed_ = false;
    bool notRegular_ = false;
    bool cut_ = false;
    timespec modified_{};
};
