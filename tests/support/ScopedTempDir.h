#pragma once
// A fresh TempDir that is the working directory for as long as it exists: the store
// and the log use paths relative to the working directory, so a test in one of these
// leaves nothing behind. The old working directory comes back before the folder is
// removed. Throws when the folder cannot be made or entered.
#include "ScopedWorkingDir.h"
#include "TempDir.h"

class ScopedTempDir : public TempDir {
public:
    ScopedTempDir();

    // The folder was made and is the working directory.
    bool Ok() const { return TempDir::Ok() && cwd_.Ok(); }

private:
    ScopedWorkingDir cwd_{Path()};
};
