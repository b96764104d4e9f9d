#include "app/Log.h"

#include <cstdio>
#include <unistd.h>

namespace {
bool logFileUsed = true;
}

void LeaveLogFileAlone() { logFileUsed = false; }

void WriteLog(const char* message)
{
    std::fputs(message, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (!logFileUsed) return;

    // Append when the file exists, create it otherwise; a failure to open or write
    // only loses the file copy, the message has already reached standard output.
    const bool exists = access(kLogFileName, F_OK) == 0;
    std::FILE* f = std::fopen(kLogFileName, exists ? "a" : "w");
    if (!f) return;
    std::fputs(message, f);
    std::fputc('\n', f);
    std::fflush(f);
    std::fclose(f);
}
