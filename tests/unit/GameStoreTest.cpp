#include "FileContents.h"
#include "ScopedTempDir.h"
#include "game/GameStore.h"
#include "util/FileUtil.h"
#include "util/StringUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kDir = "Settings/Quorrel.exe/dati/";

std::string Stored(const std::string& key)
{
    return FileBytes(kDir + key);
}

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
    int lines = 0;
    for (char c : FileBytes("log.txt")) lines += c == '\n';
    return lines;
}

} // namespace

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
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(kDir)) ++files;
    EXPECT_EQ(files, 7);
}

TEST(SaveGame, StopsAtTheFirstValueThatCannotBeWritten)
{
    ScopedTempDir dir;
    std::filesystem::create_directories(kDir + "stato/blocker");
    GameRecord record;
    record.secretCode = "1234";
    EXPECT_FALSE(SaveGame(record));
    EXPECT_EQ(Stored("Quorrel_Bag"), "\n");
    EXPECT_EQ(Stored("Quorrel_Code"), "1234\n");
    EXPECT_FALSE(FileExists(kDir + "col1"));
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

TEST(LoadGame, ADamagedStateOrCodeCountsAsNoStoredGame)
{
    const std::pair<std::string, std::string> damaged[] = {
        {"3", "6147"}, {"-1", "6147"}, {"2x", "6147"}, {"1", "6148"}, {"1", "614"}, {"1", ""}, {"1", "61477"},
    };
    for (const auto& [state, code] : damaged) {
        ScopedTempDir dir;
        StoreGame("012310", code, state);
        const GameRecord record = Loaded();
        EXPECT_EQ(record.gameState, GameState::Playing) << state << "/" << code;
        EXPECT_EQ(record.guessHistory, "");
        EXPECT_TRUE(IsValidSecretCode(record.secretCode));
        EXPECT_EQ(Stored("Quorrel_Code"), record.secretCode + "\n");
        EXPECT_EQ(Stored("Quorrel_Bag"), "\n");
        EXPECT_EQ(Stored("stato"), "0\n");
        EXPECT_EQ(LogLines(), 1);
    }
}

TEST(LoadGame, ADamagedColourReadsAsZeroAndIsStoredRepaired)
{
    ScopedTempDir dir;
    StoreGame("", "1234", "0", "5555");
    Store("col1", "8\n");
    Store("col3", "12\n");
    std::filesystem::remove(kDir + "col4");
    const GameRecord record = Loaded();
    EXPECT_EQ(record.currentGuess, (std::array<int, 4>{0, 5, 0, 0}));
    EXPECT_EQ(Stored("col1"), "0\n");
    EXPECT_EQ(Stored("col4"), "0\n");
    EXPECT_EQ(LogLines(), 3);
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
