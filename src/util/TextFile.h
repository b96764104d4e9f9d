#pragma once
// A line-oriented text file. The object only remembers the path and two status
// flags; every operation opens and closes the file itself.
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

class TextFile {
public:
    // The usual longest line: a line of more characters ends the reading.
    static constexpr std::size_t kMaxLineLength = 255;
    // Pass as the limit to read lines of any length.
    static constexpr std::size_t kNoLineLimit = std::numeric_limits<std::size_t>::max();

    explicit TextFile(std::string path);

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

    // As WriteLines, but the file is never seen half-written: the lines go to a new
    // file in the same directory, which is flushed to the disk and then renamed over
    // the old one. After a failure or a crash the old file is still there, whole;
    // a failure also removes the new file. The file gets mode 0666 less the umask.
    bool ReplaceLines(const std::vector<std::string>& lines);

    // Removes the new files that ReplaceLines calls in `dir` left behind when the
    // process died between creating and renaming them. Only for a directory whose
    // files no other process is replacing at the same time. The number removed.
    static int RemoveAbandonedReplacements(const std::string& dir);

    // True after any failure of this object, opening included.
    bool Failed() const { return failed_; }
    // True after a failure to open the file.
    bool OpenFailed() const { return openFailed_; }
    const std::string& Path() const { return path_; }

private:
    bool Write(const std::vector<std::string>& lines, const char* mode);
    void SetOpenFailed() { failed_ = openFailed_ = true; }

    std::string path_;
    bool failed_ = false;
    bool openFailed_ = false;
};
