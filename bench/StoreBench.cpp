// The stored game's cost, next to baselines measured in the same run and directory:
//
//   store one change   SaveGame after one peg click, against one value file written
//                      and synced (the least any durable store does) and against
//                      the seven files each replaced and synced with their directory
//   syncs per change   fsync, fdatasync, syncfs and sync_file_range calls per SaveGame,
//                      counted by wrapping those calls in this program
//   growth             a peg store and a guess store (GO) in a game of 3 and of 600
//                      guesses: syncs, bytes written and time, each beside one file
//                      of as many bytes replaced and synced (the floor for that size)
//   start with a huge  LoadGame of a game whose history file is 100 MB, against
//   history            LoadGame of a game of ten guesses: time and peak memory, each
//                      load in a fresh child process
//
// It works in a directory below the current one, on the disk the game would use;
// /tmp is often a memory file system where a sync costs nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "game/GameRecord.h"
#include "game/GameStore.h"
#include "util/TextFile.h"

namespace {

int syncCalls = 0;

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double MedianMs(int runs, F&& f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(ms);
}

// The old store: each of the seven values replaced and synced, and the directory after each rename.
void StoreSevenSynced(const GameRecord& r)
{
    const std::string dir = "Settings/Quorrel.exe/dati/";
    const std::string values[7] = {r.guessHistory,
                                   r.secretCode,
                                   std::to_string(static_cast<int>(r.gameState)),
                                   std::to_string(r.currentGuess[0]),
                                   std::to_string(r.currentGuess[1]),
                                   std::to_string(r.currentGuess[2]),
                                   std::to_string(r.currentGuess[3])};
    const char* keys[7] = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", "col2", "col3", "col4"};
    for (int k = 0; k < 7; ++k) TextFile(dir + "old-" + keys[k]).ReplaceLines({values[k]});
}

struct LoadFigures {
    double ms = 0;
    long peakKiB = 0;
};

// LoadGame in a fresh child, so that its peak memory is its own.
LoadFigures LoadInChild()
{
    int fds[2];
    if (pipe(fds) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const auto start = Clock::now();
        GameRecord record;
        LoadGame(record);
        LoadFigures f;
        f.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        f.peakKiB = usage.ru_maxrss;
        if (write(fds[1], &f, sizeof f) != sizeof f) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    LoadFigures f;
    if (read(fds[0], &f, sizeof f) != sizeof f) std::exit(1);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return f;
}

// The bytes the store's files received, as the text files report their writes.
std::size_t bytesWritten = 0;

struct StoreFigures {
    double ms = 0;
    double floorMs = 0;
    int syncs = 0;
    std::size_t bytes = 0;
};

// One change of a game of `guesses` guesses stored again and again: before each run
// the record before the change is stored (not timed), then the change. The floor is
// one file of the bytes the change wrote, replaced and synced with its directory.
StoreFigures MeasureChange(int guesses, bool go, int runs)
{
    GameRecord before;
    before.secretCode = "6147";
    for (int n = 0; n < guesses; ++n) {
        before.currentGuess = {(n * 5 + 1) % 8, (n * 3 + 2) % 8, n % 8, 3};
        if (before.CurrentGuessText() == before.secretCode) before.currentGuess[3] = 4;
        before.SubmitGuess();
    }
    before.currentGuess = {1, 2, 3, 4};
    GameRecord after = before;
    if (go)
        after.SubmitGuess();
    else
        after.CyclePegColour(2);
    std::vector<double> store, floor;
    StoreFigures f;
    for (int i = 0; i < runs; ++i) {
        SaveGame(before);
        const int syncs = syncCalls;
        bytesWritten = 0;
        auto start = Clock::now();
        SaveGame(after);
        store.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        f.syncs = syncCalls - syncs;
        f.bytes = bytesWritten;
        const std::string same(f.bytes > 0 ? f.bytes - 1 : 0, '7');
        start = Clock::now();
        TextFile("Settings/Quorrel.exe/dati/floor").ReplaceLines({same});
        floor.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    f.ms = Median(store);
    f.floorMs = Median(floor);
    return f;
}

}  // namespace

// Every sync the store makes comes through these.
extern "C" int fsync(int fd)
{
    ++syncCalls;
    return static_cast<int>(syscall(SYS_fsync, fd));
}
extern "C" int fdatasync(int fd)
{
    ++syncCalls;
    return static_cast<int>(syscall(SYS_fdatasync, fd));
}
extern "C" int syncfs(int fd)
{
    ++syncCalls;
    return static_cast<int>(syscall(SYS_syncfs, fd));
}

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::filesystem::path work = std::filesystem::absolute("store-bench");
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    if (chdir(work.c_str()) != 0) return 1;
    // The log goes to standard output too; the figures go to standard error.
    if (!std::freopen("/dev/null", "w", stdout)) return 1;

    GameRecord record;
    LoadGame(record);
    for (int i = 0; i < 10; ++i) {
        record.currentGuess = {i % 8, (i + 3) % 8, 1, 2};
        if (!record.SubmitGuess()) break;
    }
    SaveGame(record);

    // Alternating, so that the load of the machine weighs on all three alike.
    std::vector<double> store, one, seven;
    int syncsPerStore = 0, syncsOne = 0, syncsOld = 0;
    for (int i = 0; i < runs; ++i) {
        record.CyclePegColour(1 + i % 4);
        auto time = [](auto&& f) {
            const auto start = Clock::now();
            f();
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        };
        const int before = syncCalls;
        store.push_back(time([&] { SaveGame(record); }));
        syncsPerStore = syncCalls - before;
        const int beforeOne = syncCalls;
        one.push_back(time([&] { TextFile("Settings/Quorrel.exe/dati/one").ReplaceLines({"1"}); }));
        syncsOne = syncCalls - beforeOne;
        const int beforeOld = syncCalls;
        seven.push_back(time([&] { StoreSevenSynced(record); }));
        syncsOld = syncCalls - beforeOld;
    }
    const double storeMs = Median(store), oneMs = Median(one), sevenMs = Median(seven);

    // The longest history a load keeps: what every change of such a game costs.
    GameRecord longGame = record;
    while (longGame.guessHistory.size() + 7 < kStoredValueLimit) longGame.guessHistory += ";012310";
    const int longRuns = std::max(5, runs / 10);
    const double longMs = MedianMs(longRuns, [&](int i) {
        longGame.CyclePegColour(1 + i % 4);
        SaveGame(longGame);
    });
    SaveGame(record);

    // A game of ten guesses, then one whose history is 100 MB.
    const LoadFigures small = LoadInChild();
    {
        std::FILE* f = std::fopen("Settings/Quorrel.exe/dati/Quorrel_Bag", "w");
        const std::string chunk = [] {
            std::string c;
            while (c.size() < (1 << 20)) c += "012310;";
            return c;
        }();
        for (int i = 0; i < 100; ++i) std::fwrite(chunk.data(), 1, chunk.size(), f);
        std::fputs("455602\n", f);
        // On the disk before the start, as a file left from an earlier run would be.
        std::fflush(f);
        fsync(fileno(f));
        std::fclose(f);
    }
    const LoadFigures huge = LoadInChild();
    std::filesystem::remove("log.txt");

    TextFile::SetWatcher([](const TextFile::Operation& op) {
        if (op.kind == TextFile::Operation::Kind::Write) bytesWritten += op.bytes.size();
    });
    const int growthRuns = std::max(5, runs / 4);
    const StoreFigures growth[4] = {MeasureChange(3, false, growthRuns), MeasureChange(600, false, growthRuns),
                                    MeasureChange(3, true, growthRuns), MeasureChange(600, true, growthRuns)};
    TextFile::SetWatcher(nullptr);

    std::fprintf(stderr, "store one change (median of %d, %s)\n", runs, work.c_str());
    std::fprintf(stderr, "  SaveGame                         %7.3f ms  %2d syncs  ratio %.2f to one synced file\n",
                 storeMs, syncsPerStore, storeMs / oneMs);
    std::fprintf(stderr, "  one value file, synced           %7.3f ms  %2d syncs\n", oneMs, syncsOne);
    std::fprintf(stderr, "  seven files each synced (before) %7.3f ms  %2d syncs  ratio %.2f to one synced file\n",
                 sevenMs, syncsOld, sevenMs / oneMs);
    std::fprintf(stderr, "  SaveGame, history of %zu bytes %7.3f ms  ratio %.2f to one synced file\n",
                 longGame.guessHistory.size(), longMs, longMs / oneMs);
    std::fprintf(stderr, "growth (median of %d; floor: one file of as many bytes, replaced and synced)\n", growthRuns);
    const char* names[4] = {"peg store,   3 guesses", "peg store, 600 guesses", "GO store,    3 guesses",
                            "GO store,  600 guesses"};
    for (int i = 0; i < 4; ++i)
        std::fprintf(stderr, "  %s  %7.3f ms  %d syncs  %5zu bytes  floor %7.3f ms  ratio %.2f\n", names[i],
                     growth[i].ms, growth[i].syncs, growth[i].bytes, growth[i].floorMs,
                     growth[i].ms / growth[i].floorMs);
    std::fprintf(stderr, "start with a 100 MB history\n");
    std::fprintf(stderr, "  LoadGame, 10 guesses             %7.3f ms  peak %ld KiB\n", small.ms, small.peakKiB);
    std::fprintf(stderr, "  LoadGame, 100 MB history         %7.3f ms  peak %ld KiB  ratio %.1f, +%ld KiB\n", huge.ms,
                 huge.peakKiB, huge.ms / small.ms, huge.peakKiB - small.peakKiB);
    if (chdir("..") == 0) std::filesystem::remove_all(work);
    return 0;
}
