#pragma once
// A fresh directory below $TMPDIR (or /tmp) that is removed with everything in it
// when the object goes away. Tests that make the program write files (log.txt, the
// stored game) run in one of these (see ScopedTempDir) so that nothing lands in the
// build tree.
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    // The absolute path of `relative` inside the directory.
    std::string File(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    // The whole file, or "" when it cannot be read.
    std::string ReadFile(const std::string& relative) const;
    // Creates the parent folders as needed; false when the file cannot be written.
    bool WriteFile(const std::string& relative, const std::string& contents) const;

private:
    std::string path_;
};
