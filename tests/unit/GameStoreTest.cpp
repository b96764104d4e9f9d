#include "FileContents.h"
#include "ScopedTempDir.h"
#include "game/GameStore.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kDir = "Settings/Quorrel.exe/dati/";

std::string Stored(const std::string& key) { return FileBytes(kDir + key); }

void Store(const std::string& key, const std::string& bytes)
{
    std::filesystem::create_directories(kDir);
    PutFile(kDir + key, bytes);
}

// A complete stored game, written the way the program writes it.
void StoreGame(const std::string& history, const std::string& code, const std::string& state,
               const std::string& colours = "0000")
{
    Store("Quorrel_Bag", history + "\n");
    Store("Quorrel_Code", code + "\n");
    Store("stato", state + "\n");
    for (int k = 1; k <= 4; ++k) Store("col" + IntToText(k), std::string(1, colours[k - 1]) + "\n");
}

GameRecord Loaded()
{
    GameRecord record;
    record.currentGuess = {7, 7, 7, 7};
    EXPECT_TRUE(LoadGame(record));
    return record;
}

int LogLines()
{
    const std::string log = FileBytes("log.txt");
    if (log == "<missing>") return 0;
    int lines = 0;
    for (char c : log) lines += c == '\n';
    return lines;
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

bool Logged(const std::string& text) { return FileBytes("log.txt").find(text) != std::string::npos; }

// Dates a value file `seconds` from the journal's time: before it, as the game's own
// writes are, or after it, as an edit made once the game had stored and ended.
void DateFromJournal(const std::string& key, int seconds)
{
    const auto journal = std::filesystem::last_write_time(kDir + kJournalKey);
    std::filesystem::last_write_time(kDir + key, journal + std::chrono::seconds(seconds));
}

// The seven files as one text, to compare whole records.
std::string StoredRecord()
{
    std::string all;
    for (const char* key : {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", "col2", "col3", "col4"})
        all += Stored(key) + "|";
    return all;
}

// LoadGame in a child process that must finish within the timeout: a store that
// blocks on something that is no file would otherwise hang the whole suite. The
// record it loaded comes back in `loaded`. The child's failing stores stay its own.
::testing::AssertionResult LoadsWithin(std::chrono::milliseconds timeout, GameRecord& loaded)
{
    const pid_t child = fork();
    if (child < 0) return ::testing::AssertionFailure() << "fork failed";
    if (child == 0) {
        alarm(static_cast<unsigned>(timeout.count() / 1000 + 5));
        GameRecord record;
        LoadGame(record);
        std::string line = record.secretCode + "|" + std::to_string(static_cast<int>(record.gameState)) + "|" +
                           record.CurrentGuessText() + "|" + record.guessHistory;
        PutFile("loaded", line);
        _exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return ::testing::AssertionFailure() << "LoadGame still runs after " << timeout.count() << " ms";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "LoadGame's process ended badly, status " << status;
    const std::vector<std::string> parts = Split(FileBytes("loaded"), "|");
    if (parts.size() < 3) return ::testing::AssertionFailure() << "no record came back";
    loaded.secretCode = parts[0];
    loaded.gameState = static_cast<GameState>(std::stoi(parts[1]));
    for (int k = 0; k < 4; ++k) loaded.currentGuess[k] = parts[2][k] - '0';
    loaded.guessHistory = parts.size() > 3 ? parts[3] : "";
    std::filesystem::remove("loaded");
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(SettingsStore, PathCreatesTheDirectoriesButNotTheFile)
{
    ScopedTempDir dir;
    EXPECT_EQ(SettingsPath("App", "sec", "key"), "Settings/App/sec/key");
    EXPECT_TRUE(std::filesystem::is_directory("Settings/App/sec"));
    EXPECT_FALSE(FileExists("Settings/App/sec/key"));
}

TEST(SettingsStore, AValueIsOneLineAndReadsBackWithCarriageReturnLineFeed)
{
    ScopedTempDir dir;
    EXPECT_TRUE(WriteSetting("App", "sec", "key", "2"));
    EXPECT_EQ(FileBytes("Settings/App/sec/key"), "2\n");
    EXPECT_EQ(ReadSetting("App", "sec", "key"), "2\r\n");
    EXPECT_EQ(ReadSetting("App", "sec", "missing"), "");
}

TEST(SettingsStore, ReadsAValueLineOfAnyLength)
{
    ScopedTempDir dir;
    const std::string longValue(5000, '1');
    EXPECT_TRUE(WriteSetting("App", "sec", "key", longValue));
    EXPECT_EQ(Trim(ReadSetting("App", "sec", "key")), longValue);
}

TEST(SaveGame, WritesTheSevenValuesOneLineEach)
{
    ScopedTempDir dir;
    GameRecord record;
    record.secretCode = "6147";
    record.guessHistory = "012310;455602";
    record.gameState = GameState::Solved;
    record.currentGuess = {1, 2, 3, 7};
    EXPECT_TRUE(SaveGame(record));
    EXPECT_EQ(Stored("Quorrel_Bag"), "012310;455602\n");
    EXPECT_EQ(Stored("Quorrel_Code"), "6147\n");
    EXPECT_EQ(Stored("stato"), "2\n");
    EXPECT_EQ(Stored("col1"), "1\n");
    EXPECT_EQ(Stored("col4"), "7\n");
    // Nothing else in sight: the journal beside them is hidden.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kDir))
        files += entry.path().filename().string()[0] != '.';
    EXPECT_EQ(files, 7);
}

TEST(SaveGame, WhenAValueCannotBeStoredTheOldRecordStaysWholeAndTheLogHearsOnceEachWay)
{
    ScopedTempDir dir;
    GameRecord record;
    record.secretCode = "1234";
    ASSERT_TRUE(SaveGame(record));
    std::filesystem::remove(kDir + "stato");
    std::filesystem::create_directories(kDir + "stato/blocker");
    for (int click = 1; click <= 3; ++click) {
        ASSERT_TRUE(record.CyclePegColour(1));
        EXPECT_FALSE(SaveGame(record));
    }
    EXPECT_NE(StoreFailure().find("stato"), std::string::npos) << StoreFailure();
    // Nothing of the three changes reached the disk, not even the values before stato.
    EXPECT_EQ(Stored("Quorrel_Bag"), "\n");
    EXPECT_EQ(Stored("col1"), "0\n");
    EXPECT_EQ(FileBytes("log.txt"), "The game cannot be stored: " + kDir + "stato: Is a directory\n");

    std::filesystem::remove_all(kDir + "stato");
    ASSERT_TRUE(record.CyclePegColour(2));
    EXPECT_TRUE(SaveGame(record));
    EXPECT_EQ(StoreFailure(), "");
    EXPECT_EQ(Stored("stato"), "0\n");
    EXPECT_EQ(Stored("col1"), "3\n");
    EXPECT_EQ(Stored("col2"), "1\n");
    EXPECT_EQ(LogLines(), 2);
    EXPECT_TRUE(Logged("The game is stored again."));
}

TEST(SaveGame, AFullDiskLosesNothingStoredAndIsLoggedOnceUntilThereIsRoomAgain)
{
    ScopedTempDir dir;
    // The store on a small disk of its own; the log stays on the roomy one.
    std::filesystem::create_directory("Settings");
    if (mount("tmpfs", "Settings", "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?): the full disk is not tried";
    struct Unmount {
        ~Unmount() { umount("Settings"); }
    } unmount;
    GameRecord record;
    record.secretCode = "6147";
    record.currentGuess = {1, 2, 3, 4};
    ASSERT_TRUE(SaveGame(record));
    const int oldColour = record.currentGuess[3];
    ASSERT_TRUE(record.SubmitGuess());
    ASSERT_TRUE(SaveGame(record));
    // As a crash during that store would have left it: col4 still the old value.
    Store("col4", IntToText(oldColour) + "\n");
    DateFromJournal("col4", -1);
    const std::string stored = StoredRecord();

    {
        std::FILE* filler = std::fopen("Settings/filler", "w");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {}
        std::fclose(filler);
    }
    // The files cannot be put back on a full disk: the game goes on with the record
    // that was stored, not with the mix in the files.
    GameRecord loaded;
    ASSERT_TRUE(LoadGame(loaded));
    EXPECT_EQ(loaded.guessHistory, record.guessHistory);
    EXPECT_EQ(loaded.currentGuess, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_TRUE(Logged("cannot be put back into its files")) << FileBytes("log.txt");

    for (int click = 0; click < 5; ++click) {
        ASSERT_TRUE(record.CyclePegColour(1 + click % 4));
        EXPECT_FALSE(SaveGame(record));
    }
    EXPECT_EQ(StoredRecord(), stored);
    EXPECT_EQ(Count(FileBytes("log.txt"),
                    "The game cannot be stored: " + kDir.substr(0, kDir.size() - 1) + ": No space left on device\n"),
              1)
        << FileBytes("log.txt");

    std::filesystem::remove("Settings/filler");
    ASSERT_TRUE(record.CyclePegColour(1));
    EXPECT_TRUE(SaveGame(record));
    EXPECT_EQ(StoreFailure(), "");
    ASSERT_TRUE(LoadGame(loaded));
    EXPECT_EQ(loaded.currentGuess, record.currentGuess);
    EXPECT_EQ(loaded.guessHistory, record.guessHistory);
    EXPECT_EQ(LogLines(), 3) << FileBytes("log.txt");
    EXPECT_TRUE(Logged("The game is stored again."));
}

TEST(LoadGame, FirstStartDrawsAndStoresAFreshGame)
{
    ScopedTempDir dir;
    const GameRecord record = Loaded();
    EXPECT_TRUE(IsValidSecretCode(record.secretCode));
    EXPECT_EQ(record.guessHistory, "");
    EXPECT_EQ(record.gameState, GameState::Playing);
    EXPECT_EQ(record.currentGuess, (std::array<int, 4>{}));
    EXPECT_EQ(Stored("Quorrel_Bag"), "\n");
    EXPECT_EQ(Stored("Quorrel_Code"), record.secretCode + "\n");
    EXPECT_EQ(Stored("stato"), "0\n");
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(Stored("col" + IntToText(k)), "0\n");
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(LoadGame, RestoresWhatSaveGameStored)
{
    ScopedTempDir dir;
    GameRecord saved;
    saved.secretCode = "6147";
    saved.guessHistory = "012310;455602";
    saved.gameState = GameState::Abandoned;
    saved.currentGuess = {0, 5, 0, 7};
    ASSERT_TRUE(SaveGame(saved));
    const GameRecord loaded = Loaded();
    EXPECT_EQ(loaded.secretCode, saved.secretCode);
    EXPECT_EQ(loaded.guessHistory, saved.guessHistory);
    EXPECT_EQ(loaded.gameState, saved.gameState);
    EXPECT_EQ(loaded.currentGuess, saved.currentGuess);
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(LoadGame, AHistoryOfManyMoreThanThirtySixGuessesSurvivesARestart)
{
    ScopedTempDir dir;
    GameRecord saved;
    saved.secretCode = "7777";
    for (int i = 0; i < 200; ++i) {
        saved.currentGuess = {i % 7, 0, 1, 2};
        ASSERT_TRUE(saved.SubmitGuess());
    }
    ASSERT_GT(saved.guessHistory.size(), 255u);
    ASSERT_TRUE(SaveGame(saved));
    const GameRecord loaded = Loaded();
    EXPECT_EQ(loaded.guessHistory, saved.guessHistory);
    EXPECT_EQ(loaded.Attempts(), 200);
}

TEST(LoadGame, WhiteSpaceAndCarriageReturnsAroundValuesReadTheSame)
{
    ScopedTempDir dir;
    StoreGame("012310;455602", "6147", "1", "0300");
    Store("stato", " 2\r\n");
    Store("Quorrel_Code", "\t6147 \r\n");
    Store("col2", "3\r\n");
    const GameRecord record = Loaded();
    EXPECT_EQ(record.gameState, GameState::Solved);
    EXPECT_EQ(record.secretCode, "6147");
    EXPECT_EQ(record.currentGuess[1], 3);
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(LoadGame, StateAndColoursAreReadAsStrtolReadsThemAndOnlyValuesOutOfRangeAreRepaired)
{
    struct Case {
        std::string stored;  // the file's bytes; "<none>" for no file
        int read;            // the value the game goes on with
        bool repaired;       // logged in one line and stored again
    };
    const Case states[] = {
        {"0\n", 0, false},
        {"2\n", 2, false},
        {"2x\n", 2, false},
        {" 01 \n", 1, false},
        {"02\n", 2, false},
        {"+1\n", 1, false},
        {"1\r\n", 1, false},
        {"2\nextra\n", 2, false},
        {"3\n", 0, true},
        {"-1\n", 0, true},
        {"99999999999999999999\n", 0, true},
        {"x\n", 0, true},
        {"\n", 0, true},
        {"", 0, true},
        {"<none>", 0, true},
    };
    for (const Case& c : states) {
        ScopedTempDir dir;
        StoreGame("012310;455602", "6147", "0", "1234");
        if (c.stored == "<none>")
            std::filesystem::remove(kDir + "stato");
        else
            Store("stato", c.stored);
        const GameRecord record = Loaded();
        const std::string label = "state \"" + c.stored + "\"";
        EXPECT_EQ(static_cast<int>(record.gameState), c.read) << label;
        // A state the game cannot use never costs the stored game.
        EXPECT_EQ(record.secretCode, "6147") << label;
        EXPECT_EQ(record.guessHistory, "012310;455602") << label;
        EXPECT_EQ(record.currentGuess, (std::array<int, 4>{1, 2, 3, 4})) << label;
        EXPECT_EQ(LogLines(), c.repaired ? 1 : 0) << label << ": " << FileBytes("log.txt");
        if (c.repaired) {
            EXPECT_TRUE(Logged("stato: ")) << label;
            EXPECT_EQ(Stored("stato"), "0\n") << label;
        } else {
            EXPECT_EQ(Stored("stato"), c.stored) << label << ": an accepted form is left as it is";
        }
    }
    const Case colours[] = {
        {"3\n", 3, false},  {"03\n", 3, false}, {" 7 \r\n", 7, false}, {"5x\n", 5, false},
        {"-0\n", 0, false}, {"8\n", 0, true},   {"12\n", 0, true},     {"-3\n", 0, true},
        {"x\n", 0, true},   {"\n", 0, true},    {"<none>", 0, true},
    };
    for (const Case& c : colours) {
        ScopedTempDir dir;
        StoreGame("012310", "6147", "0", "1111");
        if (c.stored == "<none>")
            std::filesystem::remove(kDir + "col3");
        else
            Store("col3", c.stored);
        const GameRecord record = Loaded();
        const std::string label = "colour \"" + c.stored + "\"";
        EXPECT_EQ(record.currentGuess, (std::array<int, 4>{1, 1, c.read, 1})) << label;
        EXPECT_EQ(record.guessHistory, "012310") << label;
        EXPECT_EQ(LogLines(), c.repaired ? 1 : 0) << label << ": " << FileBytes("log.txt");
        if (c.repaired) {
            EXPECT_TRUE(Logged("col3: ")) << label;
        }
        EXPECT_EQ(Stored("col3"), c.repaired ? "0\n" : c.stored) << label;
    }
}

TEST(LoadGame, OnlyAnUnreadableCodeStartsAFreshGameAndTheLogSaysWhatWasDiscarded)
{
    for (const std::string code : {"6148", "614", "", "61477", "abcd"}) {
        ScopedTempDir dir;
        StoreGame("012310;455602", code, "1");
        const GameRecord record = Loaded();
        EXPECT_EQ(record.gameState, GameState::Playing) << code;
        EXPECT_EQ(record.guessHistory, "");
        EXPECT_TRUE(IsValidSecretCode(record.secretCode));
        EXPECT_EQ(Stored("Quorrel_Code"), record.secretCode + "\n");
        EXPECT_EQ(Stored("Quorrel_Bag"), "\n");
        EXPECT_EQ(Stored("stato"), "0\n");
        EXPECT_EQ(LogLines(), 1) << FileBytes("log.txt");
        EXPECT_TRUE(Logged("Quorrel_Code: \"" + code + "\" is no code")) << FileBytes("log.txt");
        EXPECT_TRUE(Logged("discarded (2 guesses, state \"1\")")) << FileBytes("log.txt");
    }
}

TEST(LoadGame, DamagedHistoryRecordsAreDroppedAndTheRestKept)
{
    ScopedTempDir dir;
    StoreGame("012310;01231;;812310;012350;455602;45560x", "6147", "0");
    const GameRecord record = Loaded();
    EXPECT_EQ(record.guessHistory, "012310;455602");
    EXPECT_EQ(record.secretCode, "6147");
    EXPECT_EQ(Stored("Quorrel_Bag"), "012310;455602\n");
    EXPECT_EQ(LogLines(), 1);
}

TEST(LoadGame, AHistorySpreadOverSeveralLinesIsDamaged)
{
    ScopedTempDir dir;
    StoreGame("012310\n455602", "6147", "0");
    const GameRecord record = Loaded();
    // The lines come back joined by "\r\n", which no record may contain.
    EXPECT_EQ(record.guessHistory, "");
    EXPECT_EQ(LogLines(), 1);
}

TEST(LoadGame, AMissingHistoryIsAnEmptyOne)
{
    ScopedTempDir dir;
    StoreGame("", "6147", "0");
    std::filesystem::remove(kDir + "Quorrel_Bag");
    const GameRecord record = Loaded();
    EXPECT_EQ(record.guessHistory, "");
    EXPECT_EQ(record.secretCode, "6147");
}

TEST(LoadGame, ValuesOfTwoRecordsSideBySideArePutBackToTheLastStoredRecord)
{
    ScopedTempDir dir;
    GameRecord older;
    older.secretCode = "6147";
    older.currentGuess = {1, 2, 3, 4};
    ASSERT_TRUE(SaveGame(older));
    const std::string olderOnDisk = StoredRecord();
    GameRecord newer = older;
    ASSERT_TRUE(newer.SubmitGuess());
    ASSERT_TRUE(SaveGame(newer));
    const std::string newerOnDisk = StoredRecord();
    // A store cut after its journal and three of its seven files: the rest are older.
    Store("stato", "0\n");
    for (int k = 1; k <= 4; ++k) Store("col" + IntToText(k), IntToText(k) + "\n");
    // And one file a power loss left empty.
    Store("col2", "");
    for (const char* key : {"stato", "col1", "col2", "col3", "col4"}) DateFromJournal(key, -1);
    const GameRecord loaded = Loaded();
    EXPECT_EQ(StoredRecord(), newerOnDisk);
    EXPECT_EQ(loaded.guessHistory, newer.guessHistory);
    EXPECT_EQ(loaded.currentGuess, newer.currentGuess);
    EXPECT_EQ(LogLines(), 1) << FileBytes("log.txt");
    EXPECT_TRUE(Logged("restored the last stored record"));
    EXPECT_NE(olderOnDisk, newerOnDisk);
}

TEST(LoadGame, SomethingThatIsNoFileInPlaceOfAValueIsReplacedFromTheJournal)
{
    ScopedTempDir dir;
    GameRecord stored;
    stored.secretCode = "6147";
    stored.currentGuess = {1, 2, 3, 4};
    ASSERT_TRUE(stored.SubmitGuess());
    ASSERT_TRUE(SaveGame(stored));
    std::filesystem::remove(kDir + "Quorrel_Code");
    ASSERT_EQ(mkfifo((kDir + "Quorrel_Code").c_str(), 0600), 0);
    alarm(10);
    const GameRecord loaded = Loaded();
    alarm(0);
    EXPECT_EQ(loaded.secretCode, "6147");
    EXPECT_EQ(loaded.guessHistory, stored.guessHistory);
    EXPECT_EQ(Stored("Quorrel_Code"), "6147\n");
    EXPECT_EQ(LogLines(), 1) << FileBytes("log.txt");
}

TEST(LoadGame, ADamagedJournalIsIgnoredAndTheValueFilesAreRead)
{
    for (const std::string& damage : {std::string("cut"), std::string("flip"), std::string("empty")}) {
        ScopedTempDir dir;
        GameRecord stored;
        stored.secretCode = "2222";
        ASSERT_TRUE(SaveGame(stored));
        std::string journal = Stored(kJournalKey);
        if (damage == "cut") journal.resize(journal.size() / 2);
        if (damage == "flip") journal[journal.find("2222")] = '3';
        if (damage == "empty") journal.clear();
        Store(kJournalKey, journal);
        Store("col1", "5\n");
        const GameRecord loaded = Loaded();
        EXPECT_EQ(loaded.secretCode, "2222") << damage;
        EXPECT_EQ(loaded.currentGuess[0], 5) << damage;
        EXPECT_EQ(LogLines(), 1) << damage << ": " << FileBytes("log.txt");
        EXPECT_TRUE(Logged("damaged, ignored")) << damage;
    }
}

TEST(LoadGame, AValueChangedByHandAfterTheLastStoreIsKeptNotUndone)
{
    ScopedTempDir dir;
    GameRecord stored;
    stored.secretCode = "2222";
    stored.currentGuess = {1, 2, 3, 4};
    ASSERT_TRUE(SaveGame(stored));
    Store("Quorrel_Code", "7654\n");
    DateFromJournal("Quorrel_Code", 1);
    // Beside it, what a power loss leaves of files the game wrote: zeros, a cut, an old value.
    Store("col1", std::string(2, '\0'));
    Store("col2", "");
    Store("col3", "7\n");
    for (const char* key : {"col1", "col2", "col3"}) DateFromJournal(key, -1);
    // A later edit that holds no usable value is no edit the game could go on with.
    Store("col4", "x\n");
    DateFromJournal("col4", 1);
    const GameRecord loaded = Loaded();
    EXPECT_EQ(loaded.secretCode, "7654");
    EXPECT_EQ(Stored("Quorrel_Code"), "7654\n");
    EXPECT_EQ(loaded.currentGuess, stored.currentGuess);
    EXPECT_EQ(StoredRecord(), "\n|7654\n|0\n|1\n|2\n|3\n|4\n|");
    EXPECT_EQ(LogLines(), 2) << FileBytes("log.txt");
}

TEST(LoadGame, NothingInPlaceOfAStoredFileCanHangOrBalloonTheStart)
{
    const std::string keys[] = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", kJournalKey};
    const std::string longHistory = [] {
        std::string h = "012310";
        while (h.size() < 3 * kStoredValueLimit) h += ";455602";
        return h;
    }();
    for (const std::string& key : keys) {
        for (const std::string kind : {"fifo", "directory", "over-long"}) {
            ScopedTempDir dir;
            StoreGame("012310;455602", "6147", "1", "3333");
            std::filesystem::remove(kDir + key);
            if (kind == "fifo") {
                ASSERT_EQ(mkfifo((kDir + key).c_str(), 0600), 0);
            } else if (kind == "directory") {
                std::filesystem::create_directories(kDir + key + "/inside");
            } else if (key == "Quorrel_Bag") {
                Store(key, longHistory + "\n");
            } else {
                // The value first, then more than a value can be.
                const std::string value = key == "Quorrel_Code" ? "6147" : key == "stato" ? "1" : "3";
                Store(key, value + std::string(2 * kStoredValueLimit, ' ') + "\n");
            }
            const std::string label = key + " as " + kind;
            GameRecord loaded;
            ASSERT_TRUE(LoadsWithin(std::chrono::seconds(10), loaded)) << label;
            if (key != kJournalKey) {
                EXPECT_GE(LogLines(), 1) << label;
            }
            EXPECT_TRUE(IsValidSecretCode(loaded.secretCode)) << label;
            if (key != "Quorrel_Code" || kind == "over-long") {
                // Only the code decides whether there is a game to go on with.
                EXPECT_EQ(loaded.secretCode, "6147") << label;
                if (key == "Quorrel_Bag" && kind == "over-long") {
                    EXPECT_LE(loaded.guessHistory.size(), kStoredValueLimit) << label;
                    EXPECT_GE(loaded.guessHistory.size(), kStoredValueLimit - 16) << label;
                    EXPECT_EQ(loaded.guessHistory.substr(loaded.guessHistory.size() - 6), "455602") << label;
                } else if (key != "Quorrel_Bag") {
                    EXPECT_EQ(loaded.guessHistory, "012310;455602") << label;
                }
            }
            if (kind == "over-long") {
                EXPECT_TRUE(Logged(kDir + key + ": ")) << label << ": " << FileBytes("log.txt");
            }
        }
    }
}
