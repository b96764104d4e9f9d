#include "app/StartPhases.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
const char* const kNames[StartPhases::kPhaseCount] = {"lock",     "display",    "window",     "font-and-probe",
                                                      "pictures", "store-read", "first-paint"};

// Null unless asked for, and again once written.
const char* target = std::getenv("QUORREL_START_PHASES");
long long entered = 0;  // when main entered the first phase
long long since = 0;
StartPhases::Phase current = StartPhases::kLock;
long long spent[StartPhases::kPhaseCount] = {};

long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000 + t.tv_nsec;
}
}  // namespace

StartPhases::Phase StartPhases::Enter(Phase phase)
{
    const Phase left = current;
    if (!target) return left;
    const long long now = Now();
    if (entered == 0)
        entered = now;
    else
        spent[current] += now - since;
    since = now;
    current = phase;
    return left;
}

void StartPhases::Finish()
{
    if (!target) return;
    Enter(current);
    if (std::FILE* f = std::fopen(target, "w")) {
        std::fprintf(f, "main %lld\n", entered);
        for (int p = 0; p < kPhaseCount; ++p) std::fprintf(f, "%s %lld\n", kNames[p], spent[p]);
        std::fclose(f);
    }
    target = nullptr;
}
