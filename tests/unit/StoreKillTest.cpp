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
#include <functional>
#include <memory>
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
            const std::string log = ReadLog();
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

// The game's files after a crash: name, bytes and modification time (whole seconds).
using CrashState = std::map<std::string, std::pair<std::string, time_t>>;

void Build(const CrashState& state)
{
    std::filesystem::remove_all("Settings");
    std::filesystem::remove("log.txt");
    std::filesystem::create_directories(kDir);
    for (const auto& [name, file] : state) {
        PutFile(kDir + name, file.first);
        const timespec times[2] = {{file.second, 0}, {file.second, 0}};
        utimensat(AT_FDCWD, (kDir + name).c_str(), times, 0);
    }
}

// A game still being played after `guesses` guesses, with an input row set.
GameRecord GameOf(int guesses)
{
    GameRecord r;
    r.secretCode = "6147";
    for (int n = 0; n < guesses; ++n) r.guessHistory += n ? ";012310" : "012310";
    r.currentGuess = {1, 2, 3, 4};
    return r;
}

}  // namespace

// A power cut keeps what was synced; of the rest, any directory operation after the
// last directory sync (a new file's name, a rename) may or may not have reached the
// disk, in any subset, and a file whose bytes were not synced may come back whole,
// empty, cut or zero-filled. The store's own operations are recorded and every state
// they can leave this way is built and loaded: the record found must be the one
// before the interrupted change or the one after it.
TEST(StoreUnderPowerCut, EveryStateACrashCanLeaveLoadsTheRecordBeforeOrAfterTheChange)
{
    ScopedTempDir dir;
    // Thousands of stores and loads: on a memory file system, where a sync costs
    // nothing, when one can be mounted.
    std::filesystem::create_directory("memory");
    const bool mounted = mount("tmpfs", "memory", "tmpfs", 0, "size=16m") == 0;
    std::unique_ptr<void, std::function<void(void*)>> unmount(&dir, [&](void*) {
        if (mounted) umount("memory");
    });
    ScopedWorkingDir inMemory("memory");
    using Kind = TextFile::Operation::Kind;
    int states = 0, failures = 0;
    std::string failed;
    for (int guesses : {3, 600}) {
        for (const std::string change : {"peg", "guess", "peg, guess", "guess, peg"}) {
            std::filesystem::remove_all("Settings");
            std::vector<GameRecord> records{GameOf(guesses)};
            ASSERT_TRUE(SaveGame(records[0]));
            CrashState base;
            for (const auto& e : std::filesystem::directory_iterator(kDir)) {
                struct stat info {};
                stat(e.path().c_str(), &info);
                base[e.path().filename()] = {FileBytes(e.path()), info.st_mtime};
            }
            const time_t start = base[kJournalKey].second;
            std::vector<std::pair<TextFile::Operation, std::size_t>> ops;  // and the record it stores
            TextFile::SetWatcher([&](const TextFile::Operation& op) { ops.emplace_back(op, records.size() - 1); });
            for (const std::string& step : Split(change, ", ")) {
                records.push_back(records.back());
                ASSERT_TRUE(step == "peg" ? records.back().CyclePegColour(2) : records.back().SubmitGuess());
                ASSERT_TRUE(SaveGame(records.back()));
            }
            TextFile::SetWatcher(nullptr);
            auto name = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };

            std::set<std::size_t> seen;
            for (std::size_t crash = 0; crash <= ops.size(); ++crash) {
                // The new names and renames after the last directory sync, any of which may be lost.
                std::vector<std::size_t> open, unsynced;
                std::size_t longest = 0;
                for (std::size_t j = 0; j < crash; ++j) {
                    const TextFile::Operation& op = ops[j].first;
                    if (op.kind == Kind::SyncDirectory) open.clear();
                    if (op.kind != Kind::SyncDirectory) open.push_back(j);
                    if (op.kind == Kind::Write && !op.synced && !op.bytes.empty()) unsynced.push_back(j);
                    if (!op.synced) longest = std::max(longest, op.bytes.size());
                }
                // What becomes of unsynced bytes: whole, gone, zeros, cut at every byte of
                // a short file and at every 397th and the page boundary of a long one, or
                // zeros in one file only. Without unsynced bytes they all leave the same.
                std::vector<std::pair<std::string, std::size_t>> damages{{"whole", 0}};
                if (!unsynced.empty()) {
                    damages.insert(damages.end(), {{"empty", 0}, {"zeros", 0}});
                    for (std::size_t b = 1; b < longest; b += b < 64 ? 1 : 397) damages.emplace_back("cut", b);
                    if (longest > 4096) damages.emplace_back("cut", 4096);
                    if (unsynced.size() > 1)
                        for (std::size_t j : unsynced) damages.emplace_back("zeros in", j);
                }
                const std::size_t after = crash == 0 ? 1 : ops[crash - 1].second;
                for (unsigned lost = 0; lost < 1u << open.size(); ++lost) {
                    for (const auto& [damage, at] : damages) {
                        CrashState state = base;
                        for (std::size_t j = 0; j < crash; ++j) {
                            const TextFile::Operation& op = ops[j].first;
                            std::string bytes = op.bytes;
                            if (op.kind == Kind::Write && !op.synced) {
                                if (damage == "empty") bytes.clear();
                                if (damage == "zeros" || (damage == "zeros in" && at == j))
                                    bytes.assign(bytes.size(), '\0');
                                if (damage == "cut") bytes.resize(std::min(bytes.size(), at));
                            }
                            const auto slot = std::find(open.begin(), open.end(), j);
                            const bool kept = slot == open.end() || (lost >> (slot - open.begin()) & 1u) == 0;
                            if (op.kind == Kind::Write && kept) state[name(op.path)] = {bytes, start + 1 + time_t(j)};
                            if (op.kind == Kind::Rename && state.count(name(op.path)) && kept) {
                                state[name(op.target)] = state[name(op.path)];
                                state.erase(name(op.path));
                            }
                        }
                        std::size_t key = 0;
                        for (const auto& [file, content] : state)
                            for (std::size_t part :
                                 {std::hash<std::string>()(file), std::hash<std::string>()(content.first),
                                  std::hash<time_t>()(content.second)})
                                key = key * 1000003 ^ part;
                        if (!seen.insert(key).second) continue;
                        ++states;
                        Build(state);
                        GameRecord loaded;
                        LoadGame(loaded);
                        const Values found = ValuesOf(loaded);
                        if (found == ValuesOf(records[after - 1]) || found == ValuesOf(records[after])) continue;
                        if (++failures <= 3)
                            failed += std::to_string(guesses) + " guesses, " + change + ", crash after " +
                                      std::to_string(crash) + " operations, " + damage + ": " + Line(found) + ReadLog();
                    }
                }
            }
        }
    }
    std::printf("%d crash states built and loaded\n", states);
    EXPECT_GT(states, 1000);
    EXPECT_EQ(failures, 0) << failed;
}
