// Damaged value files: the fuzzer's input becomes the seven files of the stored game,
// then the game is loaded, the board is laid out from the record the way the main
// form lays it out, and a few moves are played, stored and loaded again.
//
// Input: the seven contents separated by the byte 0xFE, in the order Quorrel_Bag,
// Quorrel_Code, stato, col1..col4; keys with no piece have no file. A piece after the
// seventh holds the moves: each byte one of peg 1..4, GO, CANCEL, NEW GAME.
//
// What must hold: LoadGame gives a valid record (code, state, colours, history);
// whatever it repaired is on disk, so a second load gives the same record and logs
// nothing; every board row with a record parses and the counter reads the attempts;
// every record the moves reach survives a save and a load unchanged.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/GameRecord.h"
#include "game/GameRules.h"
#include "game/GameStore.h"
#include "util/StringUtil.h"

namespace {

const char* const kKeys[7] = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", "col2", "col3", "col4"};
const std::string kDir = "Settings/Quorrel.exe/dati/";

#define CHECK(cond)                                                                \
    do {                                                                           \
        if (!(cond)) {                                                             \
            std::fprintf(stderr, "check failed: %s (line %d)\n", #cond, __LINE__); \
            std::abort();                                                          \
        }                                                                          \
    } while (0)

bool IsValidRecord(const GameRecord& r)
{
    if (!IsValidSecretCode(r.secretCode)) return false;
    const int state = static_cast<int>(r.gameState);
    if (state < 0 || state > 2) return false;
    for (int c : r.currentGuess)
        if (c < 0 || c >= kColourCount) return false;
    for (const std::string& g : HistoryRecords(r.guessHistory))
        if (!IsValidGuessRecord(g)) return false;
    return true;
}

bool Same(const GameRecord& a, const GameRecord& b)
{
    return a.secretCode == b.secretCode && a.guessHistory == b.guessHistory && a.gameState == b.gameState &&
           a.currentGuess == b.currentGuess;
}

long LogSize()
{
    std::FILE* f = std::fopen("log.txt", "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

// What the main form's RefreshBoard does with the record, without the X side: the
// colour of each shown peg must be one the sheet has a picture for.
void LayOutBoard(const GameRecord& r)
{
    for (int c : r.currentGuess) CHECK(c >= 0 && c <= kCoveredColour);
    if (r.IsOver())
        for (char c : r.secretCode) CHECK(c - '0' >= 0 && c - '0' <= kCoveredColour);
    const std::array<std::string, kBoardRows> rows = BoardRows(r.guessHistory);
    int shown = 0;
    for (const std::string& row : rows) {
        if (row.empty()) continue;
        ++shown;
        GuessRecord g;
        CHECK(ParseGuessRecord(row, g));
        for (int c : g.colours) CHECK(c >= 0 && c < kColourCount);
        const std::string answer = AnswerText(g.exact, g.colourOnly);
        CHECK(answer.size() == 7 && answer[0] == 'P' && answer[4] == 'C');
    }
    const int attempts = r.Attempts();
    CHECK(shown == (attempts < kBoardRows ? attempts : kBoardRows));
    const std::string counter = AttemptsText(attempts);
    CHECK(counter == "Attempts: " + IntToTextPadded(attempts, '0', 2));
}

void WriteRaw(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

std::string workDir;

void RemoveWorkDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(workDir, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Each run plays in a directory of its own, in memory when the system has one:
    // every save syncs. The store works in the working directory, so
    // corpus directories must be given as absolute paths.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
    workDir = std::string(base) + "/quorrel-fuzz-XXXXXX";
    if (!mkdtemp(workDir.data()) || chdir(workDir.c_str()) != 0) std::abort();
    std::atexit(RemoveWorkDir);
    // The repairs are logged on standard output too, once per run; keep the fuzzer's
    // own report readable.
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingsPath(kGameApplication, kGameSection, kStateKey);  // the directories
    for (const char* key : kKeys) unlink((kDir + key).c_str());
    // The input is the seven files alone, not a record an earlier input stored.
    unlink((kDir + kJournalKey).c_str());
    unlink("log.txt");

    size_t at = 0;
    int piece = 0;
    while (piece < 7 && at <= size) {
        const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data + at, 0xFE, size - at));
        const size_t len = end ? static_cast<size_t>(end - (data + at)) : size - at;
        WriteRaw(kDir + kKeys[piece], data + at, len);
        ++piece;
        at += len + 1;
        if (!end) break;
    }
    const uint8_t* moves = at < size ? data + at : nullptr;
    const size_t moveCount = moves ? size - at : 0;

    GameRecord record;
    record.currentGuess = {5, 5, 5, 5};
    CHECK(LoadGame(record));
    CHECK(IsValidRecord(record));
    LayOutBoard(record);

    const long logged = LogSize();
    GameRecord again;
    CHECK(LoadGame(again));
    CHECK(Same(record, again));
    CHECK(LogSize() == logged);

    for (size_t i = 0; i < moveCount && i < 64; ++i) {
        const int move = moves[i] % 7;
        bool changed = false;
        if (move < 4)
            changed = record.CyclePegColour(move + 1);
        else if (move == 4)
            changed = record.SubmitGuess();
        else if (move == 5)
            changed = record.AbandonGame();
        else
            changed = record.StartNewGame();
        CHECK(IsValidRecord(record));
        if (!changed) continue;
        CHECK(SaveGame(record));
        GameRecord loaded;
        CHECK(LoadGame(loaded));
        CHECK(Same(record, loaded));
        LayOutBoard(loaded);
    }
    return 0;
}
