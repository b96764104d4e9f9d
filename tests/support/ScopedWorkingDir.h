#pragma once
// Makes a directory the working one until the end of the scope.
#include <string>

class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::string& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

    bool Ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};
