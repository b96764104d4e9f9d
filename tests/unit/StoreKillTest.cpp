// The store under SIGKILL: a child plays and stores in a tight loop and is killed at
// random moments, hundreds of times, in the same working directory. Before every
// SaveGame the child tells the parent, over a pipe, the seven values it is about to
// write. After a kill, once LoadGame has run, the seven files together must hold one
// record that was stored: the last announced one or the one before it (the save that
// was cut short), never values of two records side by side, never a torn line. The
// record LoadGame finds must be that record, valid, with no repair.
#include "FileContents.h"
#include "ScopedTempDir.h"
#include "ScopedWorkingDir.h"
#include "game/GameStore.h"
#include "util/StringUtil.h"
#include "util/TextFile.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <poll.h>
#include <random>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Values = std::array<std::string, 7>;

const char* const kKeys[7] = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", "col2", "col3", "col4"};
const std::string kDir = "Settings/Quorrel.exe/dati/";

// The record as SaveGame writes it, in SaveGame's order.
Values ValuesOf(const GameRecord& r)
{
    Values v;
    v[0] = r.guessHistory;
    v[1] = r.secretCode;
    v[2] = IntToText(static_cast<int>(r.gameState));
    for (int k = 0; k < 4; ++k) v[3 + k] = IntToText(r.currentGuess[k]);
    return v;
}

std::string Line(const Values& v)
{
    std::string line;
    for (int k = 0; k < 7; ++k) line += (k ? "|" : "") + v[k];
    return line + "\n";
}

Values ParseLine(const std::string& line)
{
    Values v;
    std::size_t start = 0;
    for (int k = 0; k < 7; ++k) {
        const std::size_t bar = k < 6 ? line.find('|', start) : line.size();
        v[k] = line.substr(start, bar - start);
        start = bar + 1;
    }
    return v;
}

// The child: restore, then play at random and store after every transition, for ever.
[[noreturn]] void PlayAndStoreForEver(int announceFd, unsigned seed)
{
    std::mt19937 rng(seed);
    GameRecord record;
    LoadGame(record);
    for (;;) {
        bool changed = false;
        const unsigned pick = rng() % 16;
        if (record.IsOver()) {
            changed = record.StartNewGame();
        } else if (record.Attempts() >= 25 || pick == 0) {
            changed = record.AbandonGame();
        } else if (pick < 4) {
            changed = record.SubmitGuess();
        } else {
            changed = record.CyclePegColour(1 + static_cast<int>(rng() % 4));
        }
        if (!changed) continue;
        // One write of less than PIPE_BUF bytes reaches the pipe whole or not at all.
        const std::string line = Line(ValuesOf(record));
        if (write(announceFd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(2);
        if (!SaveGame(record)) _exit(3);
    }
}

// Reads what the pipe holds now, waiting at most timeoutMs for the first bytes.
void Drain(int fd, std::string& pending, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        char buf[4096];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return;
        pending.append(buf, static_cast<std::size_t>(n));
        timeoutMs = 0;
    }
}

std::string StoredValue(const std::string& key, bool& wellFormed)
{
    std::string bytes = FileBytes(kDir + key);
    wellFormed = !bytes.empty() && bytes.back() == '\n' && bytes.find('\n') == bytes.size() - 1;
    if (wellFormed) bytes.pop_back();
    return bytes;
}

bool IsValidRecord(const GameRecord& r)
{
    if (!IsValidSecretCode(r.secretCode)) return false;
    if (r.gameState != GameState::Playing && r.gameState != GameState::Abandoned && r.gameState != GameState::Solved)
        return false;
    for (int c : r.currentGuess)
        if (c < 0 || c > 7) return false;
    for (const std::string& g : HistoryRecords(r.guessHistory))
        if (!IsValidGuessRecord(g)) return false;
    return true;
}

int LeftoverTempFiles()
{
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(kDir))
        n += e.path().filename().string().rfind(".tmp-", 0) == 0;
    return n;
}

}  // namespace

TEST(StoreUnderKill, AfterEveryKillTheLoadFindsTheLastStoredRecordOrTheOneBeforeNeverAMix)
{
    ScopedTempDir dir;
    // A stored game to start from, so that every value on disk has been announced.
    GameRecord seed;
    seed.secretCode = "0123";
    ASSERT_TRUE(SaveGame(seed));
    Values onDisk = ValuesOf(seed);

    constexpr int kKills = 240;
    std::mt19937 rng(20240611);
    int announced = 0;
    int mixedBeforeLoad = 0;  // kills that left the seven files of two records
    int cutMidSave = 0;       // kills that came while a save was announced and not finished
    int restored = 0;         // loads that put the files back from the journal
    const auto start = std::chrono::steady_clock::now();

    for (int kill = 0; kill < kKills; ++kill) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            PlayAndStoreForEver(fds[1], static_cast<unsigned>(kill));
        }
        close(fds[1]);

        // Half the kills land anywhere, start-up included; half wait until the
        // child plays, so that most of them cut a save.
        std::string pending;
        if (kill % 2) Drain(fds[0], pending, 2000);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(rng() % 6000);
        while (std::chrono::steady_clock::now() < deadline) Drain(fds[0], pending, 1);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped on its own, exit " << WEXITSTATUS(status);
        Drain(fds[0], pending, 0);
        close(fds[0]);

        // The records the child announced, in order; the disk held the first before.
        std::vector<Values> history{onDisk};
        for (std::size_t at = 0, nl; (nl = pending.find('\n', at)) != std::string::npos; at = nl + 1)
            history.push_back(ParseLine(pending.substr(at, nl - at)));
        announced += static_cast<int>(history.size()) - 1;
        const Values& newest = history.back();
        const Values& before = history.size() > 1 ? history[history.size() - 2] : history.back();

        Values raw;
        for (int k = 0; k < 7; ++k) raw[k] = FileBytes(kDir + kKeys[k]);
        bool oneRecord = false;
        for (const Values* r : {&newest, &before}) {
            bool same = true;
            for (int k = 0; k < 7; ++k) same = same && raw[k] == (*r)[k] + "\n";
            oneRecord = oneRecord || same;
        }
        mixedBeforeLoad += !oneRecord;

        GameRecord loaded;
        ASSERT_TRUE(LoadGame(loaded));
        Values stored;
        for (int k = 0; k < 7; ++k) {
            bool wellFormed = false;
            stored[k] = StoredValue(kKeys[k], wellFormed);
            ASSERT_TRUE(wellFormed) << "kill " << kill << ": " << kKeys[k] << " holds \"" << stored[k] << "\"";
        }
        ASSERT_TRUE(stored == newest || stored == before) << "kill " << kill << ": the files hold\n  " << Line(stored)
                                                          << "stored were\n  " << Line(before) << "  " << Line(newest);
        EXPECT_EQ(ValuesOf(loaded), stored) << "kill " << kill << ": the load changed the record";
        ASSERT_TRUE(IsValidRecord(loaded)) << "kill " << kill;
        cutMidSave += history.size() > 1 && stored == before;
        onDisk = stored;

        // The only line a load after a kill may log is the restore.
        if (std::filesystem::exists("log.txt")) {
            const std::string log = FileBytes("log.txt");
            ASSERT_NE(log.find("restored the last stored record"), std::string::npos) << "kill " << kill << ": " << log;
            ASSERT_EQ(log.find('\n'), log.size() - 1) << "kill " << kill << ": " << log;
            ++restored;
            std::filesystem::remove("log.txt");
        }
        // The load clears away the new files of the save that was cut.
        ASSERT_EQ(LeftoverTempFiles(), 0) << "kill " << kill;
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "[ kills ] %d kills, %d records announced, %d kills cut a save, %d left two records side by "
        "side and were restored (%d restores), %.1f s\n",
        kKills, announced, cutMidSave, mixedBeforeLoad, restored, seconds);
    // A journal ahead of seven whole files of the record before is put back too.
    EXPECT_GE(restored, mixedBeforeLoad);
    // Without saves being cut the test would prove nothing.
    EXPECT_GT(cutMidSave, kKills / 4);
}

TEST(StoreUnderKill, ALoadRemovesOnlyTheNewFilesOfWritersThatAreGone)
{
    ScopedTempDir dir;
    GameRecord seed;
    seed.secretCode = "4567";
    ASSERT_TRUE(SaveGame(seed));
    // A writer that has ended, and one that still runs (this process and its parent).
    const pid_t gone = fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) _exit(0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const std::string goneFile = ".tmp-" + std::to_string(gone) + "-a1B2c3";
    const std::string liveFile = ".tmp-" + std::to_string(getppid()) + "-Z9y8x7";
    PutFile(kDir + goneFile, "01");
    PutFile(kDir + liveFile, "2");
    PutFile(kDir + ".tmp-short", "kept");
    PutFile(kDir + "notes", "kept");
    GameRecord loaded;
    ASSERT_TRUE(LoadGame(loaded));
    EXPECT_EQ(loaded.secretCode, "4567");
    EXPECT_FALSE(std::filesystem::exists(kDir + goneFile));
    EXPECT_EQ(FileBytes(kDir + liveFile), "2");
    EXPECT_EQ(FileBytes(kDir + ".tmp-short"), "kept");
    EXPECT_EQ(FileBytes(kDir + "notes"), "kept");
}

namespace {

// A file of the crash state: its bytes and its modification time.
struct CrashFile {
    std::string bytes;
    timespec time{};
};
using CrashState = std::map<std::string, CrashFile>;

std::string Name(const std::string& path) { return path.substr(path.rfind('/') + 1); }

timespec After(timespec t, long ms)
{
    t.tv_nsec += ms * 1000000;
    t.tv_sec += t.tv_nsec / 1000000000;
    t.tv_nsec %= 1000000000;
    return t;
}

// The game's files as they are now, with their times.
CrashState Snapshot()
{
    CrashState state;
    for (const auto& e : std::filesystem::directory_iterator(kDir)) {
        struct stat info {};
        stat(e.path().c_str(), &info);
        state[e.path().filename()] = {FileBytes(e.path()), info.st_mtim};
    }
    return state;
}

void Build(const CrashState& state)
{
    std::filesystem::remove_all("Settings");
    std::filesystem::remove("log.txt");
    std::filesystem::create_directories(kDir);
    for (const auto& [name, file] : state) {
        PutFile(kDir + name, file.bytes);
        const timespec times[2] = {file.time, file.time};
        utimensat(AT_FDCWD, (kDir + name).c_str(), times, 0);
    }
}

std::size_t Key(const CrashState& state)
{
    std::string key;
    for (const auto& [name, file] : state)
        key += name + ":" + file.bytes + ":" + std::to_string(file.time.tv_sec) + "." +
               std::to_string(file.time.tv_nsec) + "|";
    return std::hash<std::string>()(key);
}

// The guesses of a long game that is still being played, and an input row set.
GameRecord GameOf(int guesses)
{
    GameRecord r;
    r.secretCode = "6147";
    for (int n = 0; n < guesses; ++n) {
        for (int k = 0; k < 4; ++k) r.currentGuess[k] = (n * 5 + k * 3 + 1) % 8;
        if (r.CurrentGuessText() == r.secretCode) r.currentGuess[0] = (r.currentGuess[0] + 1) % 8;
        r.SubmitGuess();
    }
    r.currentGuess = {1, 2, 3, 4};
    return r;
}

}  // namespace

// A power cut keeps what was synced; of the rest, any directory operation may or may
// not have reached the disk, and a file whose bytes were not synced may come back
// whole, empty, cut at any byte or filled with zeros. The store's own operations are
// recorded and every state they can leave this way is built and loaded: the record
// found must be the one before the interrupted change or the one after it.
TEST(StoreUnderPowerCut, EveryStateACrashCanLeaveLoadsTheRecordBeforeOrAfterTheChange)
{
    ScopedTempDir dir;
    // Thousands of stores and loads: on a memory file system, where a sync costs
    // nothing, when one can be mounted.
    std::filesystem::create_directory("memory");
    const bool mounted = mount("tmpfs", "memory", "tmpfs", 0, "size=16m") == 0;
    struct Unmount {
        bool mounted;
        ~Unmount()
        {
            if (mounted) umount("memory");
        }
    } unmount{mounted};
    ScopedWorkingDir inMemory("memory");
    int states = 0;
    int failures = 0;
    std::string firstFailures;
    for (int guesses : {3, 600}) {
        for (const std::string change : {"peg", "guess", "peg, guess"}) {
            std::vector<GameRecord> records{GameOf(guesses)};
            std::filesystem::remove_all("Settings");
            ASSERT_TRUE(SaveGame(records[0]));
            const CrashState base = Snapshot();
            timespec start{};
            for (const auto& [name, file] : base)
                if (file.time.tv_sec > start.tv_sec ||
                    (file.time.tv_sec == start.tv_sec && file.time.tv_nsec > start.tv_nsec))
                    start = file.time;
            std::vector<std::pair<TextFile::Operation, std::size_t>> ops;  // and the change it belongs to
            TextFile::SetWatcher([&](const TextFile::Operation& op) { ops.emplace_back(op, records.size() - 1); });
            for (const std::string& step : Split(change, ", ")) {
                GameRecord next = records.back();
                ASSERT_TRUE(step == "peg" ? next.CyclePegColour(2) : next.SubmitGuess());
                records.push_back(next);
                ASSERT_TRUE(SaveGame(next));
            }
            TextFile::SetWatcher(nullptr);

            std::set<std::size_t> seen;
            for (std::size_t crash = 0; crash <= ops.size(); ++crash) {
                std::size_t lastSync = 0;  // operations before it are durable
                std::vector<std::size_t> open;
                std::size_t longest = 0;
                for (std::size_t j = 0; j < crash; ++j) {
                    if (ops[j].first.kind == TextFile::Operation::Kind::SyncDirectory) lastSync = j;
                    if (ops[j].first.kind == TextFile::Operation::Kind::Write && !ops[j].first.synced)
                        longest = std::max(longest, ops[j].first.bytes.size());
                }
                for (std::size_t j = lastSync; j < crash; ++j)
                    if (ops[j].first.kind == TextFile::Operation::Kind::Rename) open.push_back(j);
                // Damage done to unsynced bytes: none, all gone, zeros, cut at every byte of a
                // short file and at every 397th and the page boundary of a long one,
                // and zeros in one file only.
                std::vector<std::pair<std::string, long>> damages{{"whole", 0}, {"empty", 0}, {"zeros", 0}};
                for (std::size_t b = 1; b < longest; b += b < 64 ? 1 : 397)
                    damages.emplace_back("cut", static_cast<long>(b));
                if (longest > 4096) damages.emplace_back("cut", 4096L);
                for (std::size_t j = 0; j < crash; ++j) damages.emplace_back("zeros in", static_cast<long>(j));
                const std::size_t cut = crash == 0 ? 0 : ops[crash - 1].second - 1;
                for (unsigned mask = 0; mask < 1u << open.size(); ++mask) {
                    for (const auto& [damage, at] : damages) {
                        CrashState state = base;
                        for (std::size_t j = 0; j < crash; ++j) {
                            const TextFile::Operation& op = ops[j].first;
                            if (op.kind == TextFile::Operation::Kind::Write) {
                                std::string bytes = op.bytes;
                                if (!op.synced) {
                                    if (damage == "empty") bytes.clear();
                                    if (damage == "zeros" || (damage == "zeros in" && at == static_cast<long>(j)))
                                        bytes.assign(bytes.size(), '\0');
                                    if (damage == "cut")
                                        bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(at)));
                                }
                                state[Name(op.path)] = {bytes, After(start, static_cast<long>(j) + 1)};
                            } else if (op.kind == TextFile::Operation::Kind::Rename) {
                                const auto slot = std::find(open.begin(), open.end(), j);
                                const bool persisted = slot == open.end() || (mask >> (slot - open.begin()) & 1u) != 0;
                                if (persisted && state.count(Name(op.path))) {
                                    state[Name(op.target)] = state[Name(op.path)];
                                    state.erase(Name(op.path));
                                }
                            }
                        }
                        if (!seen.insert(Key(state)).second) continue;
                        ++states;
                        Build(state);
                        GameRecord loaded;
                        LoadGame(loaded);
                        if (ValuesOf(loaded) == ValuesOf(records[cut]) ||
                            ValuesOf(loaded) == ValuesOf(records[cut + 1]))
                            continue;
                        if (++failures <= 3)
                            firstFailures += std::to_string(guesses) + " guesses, " + change + ", crash after " +
                                             std::to_string(crash) + " of " + std::to_string(ops.size()) +
                                             " operations, " + damage + ": loaded " + Line(ValuesOf(loaded)) +
                                             "  log: " + FileBytes("log.txt") + "\n";
                    }
                }
            }
        }
    }
    std::printf("%d crash states built and loaded\n", states);
    EXPECT_GT(states, 1000);
    EXPECT_EQ(failures, 0) << firstFailures;
}
