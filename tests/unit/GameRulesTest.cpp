#include "ScoreOracle.h"
#include "game/GameRecord.h"
#include "game/GameRules.h"
#include "game/Random.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

namespace {

std::pair<int, int> Scored(const std::string& guess, const std::string& secret)
{
    std::pair<int, int> s{-1, -1};
    ScoreGuess(guess, secret, s.first, s.second);
    return s;
}

GameRecord PlayingRecord(const std::string& code)
{
    GameRecord record;
    record.secretCode = code;
    return record;
}

void SetGuess(GameRecord& record, const std::string& digits)
{
    for (int p = 0; p < 4; ++p) record.currentGuess[p] = digits[p] - '0';
}

}  // namespace

TEST(ScoreGuess, CountsRepeatedColoursOncePerSecretPeg)
{
    EXPECT_EQ(Scored("1200", "0012"), std::pair(0, 4));
    EXPECT_EQ(Scored("0001", "0000"), std::pair(3, 0));
    EXPECT_EQ(Scored("3111", "1123"), std::pair(1, 2));
    EXPECT_EQ(Scored("5555", "5555"), std::pair(4, 0));
    EXPECT_EQ(Scored("3210", "0123"), std::pair(0, 4));
    EXPECT_EQ(Scored("4567", "0123"), std::pair(0, 0));
}

TEST(ScoreGuess, AgreesWithTheCountingDefinitionOnRandomPairs)
{
    std::mt19937 generator(12345);
    std::uniform_int_distribution<int> colour(0, 7);
    // A small palette as well, so that repeats are common.
    std::uniform_int_distribution<int> fewColours(0, 2);
    for (int round = 0; round < 20000; ++round) {
        auto& pick = round % 2 ? colour : fewColours;
        std::string guess, secret;
        for (int p = 0; p < 4; ++p) {
            guess += static_cast<char>('0' + pick(generator));
            secret += static_cast<char>('0' + pick(generator));
        }
        const auto got = Scored(guess, secret);
        ASSERT_EQ(got, Score(guess, secret)) << "guess " << guess << " secret " << secret;
        ASSERT_LE(got.first + got.second, 4);
        ASSERT_EQ(Scored(secret, guess), got) << "scoring is symmetric";
    }
}

TEST(ScoreGuess, ShortTextsNeverReadPastTheirEnd)
{
    EXPECT_EQ(Scored("01", "0123"), std::pair(2, 0));
    EXPECT_EQ(Scored("", "0123"), std::pair(0, 0));
    EXPECT_EQ(Scored("3210", ""), std::pair(0, 0));
    EXPECT_EQ(Scored("23", "0132"), std::pair(0, 2));
}

TEST(RandomInRange, StaysInsideTheClosedRange)
{
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int n = RandomInRange(0, 7);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, 7);
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(RandomInRange(5, 5), 5);
    EXPECT_EQ(RandomInRange(-3, -3), -3);
    const int wide = RandomInRange(INT32_MIN, INT32_MAX);
    EXPECT_GE(wide, INT32_MIN);
}

TEST(RandomInRange, SeedsOnlyBeforeTheFirstDraw)
{
    RandomInRange(0, 7);
    std::srand(42);
    std::vector<int> expected;
    for (int i = 0; i < 10; ++i) expected.push_back(std::rand() % 8);
    std::srand(42);
    std::vector<int> drawn;
    for (int i = 0; i < 10; ++i) drawn.push_back(RandomInRange(0, 7));
    EXPECT_EQ(drawn, expected);
}

TEST(DrawSecretCode, GivesFourDigitsFromZeroToSeven)
{
    std::set<std::string> codes;
    for (int i = 0; i < 200; ++i) {
        const std::string code = DrawSecretCode();
        ASSERT_TRUE(IsValidSecretCode(code)) << code;
        codes.insert(code);
    }
    EXPECT_GT(codes.size(), 150u);
}

TEST(GuessRecords, ValidationAcceptsOnlySixDigitRecordsThatCanOccur)
{
    EXPECT_TRUE(IsValidGuessRecord("012310"));
    EXPECT_TRUE(IsValidGuessRecord("555540"));
    EXPECT_TRUE(IsValidGuessRecord("777704"));
    EXPECT_FALSE(IsValidGuessRecord("01231"));
    EXPECT_FALSE(IsValidGuessRecord("0123100"));
    EXPECT_FALSE(IsValidGuessRecord("812310"));
    EXPECT_FALSE(IsValidGuessRecord("012350"));
    EXPECT_FALSE(IsValidGuessRecord("012332"));
    EXPECT_FALSE(IsValidGuessRecord("01 310"));
    EXPECT_FALSE(IsValidGuessRecord(""));
    EXPECT_FALSE(IsValidSecretCode("0128"));
    EXPECT_FALSE(IsValidSecretCode("012"));
    EXPECT_FALSE(IsValidSecretCode("-123"));
}

TEST(GuessRecords, ParseSplitsAValidRecordAndRefusesADamagedOne)
{
    GuessRecord parsed;
    ASSERT_TRUE(ParseGuessRecord("455602", parsed));
    EXPECT_EQ(parsed.colours, (std::array<int, 4>{4, 5, 5, 6}));
    EXPECT_EQ(parsed.exact, 0);
    EXPECT_EQ(parsed.colourOnly, 2);
    EXPECT_FALSE(ParseGuessRecord("4556", parsed));
    EXPECT_EQ(parsed.colourOnly, 2);
}

TEST(BoardRows, FillFromTheBottomThenShowTheNewestTen)
{
    EXPECT_EQ(BoardRows(""), (std::array<std::string, 10>{}));
    const auto two = BoardRows("012310;455602");
    EXPECT_EQ(two[9], "012310");
    EXPECT_EQ(two[8], "455602");
    EXPECT_EQ(two[7], "");

    // Guess n (1..12) carries n in its first two colours, in base 8.
    std::string history;
    const auto guess = [](int n) { return std::string{char('0' + n / 8), char('0' + n % 8)} + "0000"; };
    for (int n = 1; n <= 12; ++n) history += (n > 1 ? ";" : "") + guess(n);
    const auto twelve = BoardRows(history);
    EXPECT_EQ(twelve[0], guess(12));
    EXPECT_EQ(twelve[9], guess(3));
}

TEST(Texts, AttemptsAreTwoDigitsAndAnswersNameBothCounts)
{
    EXPECT_EQ(AttemptsText(0), "Attempts: 00");
    EXPECT_EQ(AttemptsText(7), "Attempts: 07");
    EXPECT_EQ(AttemptsText(123), "Attempts: 123");
    EXPECT_EQ(AnswerText(1, 2), "P 1 C 2");
}

TEST(GameRecord, SubmittedGuessesJoinTheHistoryWithOneSeparatorEach)
{
    GameRecord record = PlayingRecord("6147");
    SetGuess(record, "0123");
    ASSERT_TRUE(record.SubmitGuess());
    EXPECT_EQ(record.guessHistory, "012310");
    EXPECT_EQ(record.currentGuess, (std::array<int, 4>{}));
    SetGuess(record, "4556");
    ASSERT_TRUE(record.SubmitGuess());
    EXPECT_EQ(record.guessHistory, "012310;455602");
    EXPECT_EQ(record.Attempts(), 2);
    EXPECT_EQ(record.gameState, GameState::Playing);
}

TEST(GameRecord, FourExactSolvesAndKeepsTheWinningGuess)
{
    GameRecord record = PlayingRecord("5555");
    SetGuess(record, "5555");
    ASSERT_TRUE(record.SubmitGuess());
    EXPECT_EQ(record.guessHistory, "555540");
    EXPECT_EQ(record.gameState, GameState::Solved);
    EXPECT_EQ(record.CurrentGuessText(), "5555");
    EXPECT_FALSE(record.SubmitGuess());
    EXPECT_FALSE(record.CyclePegColour(1));
    EXPECT_FALSE(record.AbandonGame());
    EXPECT_EQ(record.guessHistory, "555540");
}

TEST(GameRecord, ThereIsNoLimitOnAttempts)
{
    GameRecord record = PlayingRecord("7777");
    for (int i = 0; i < 11; ++i) ASSERT_TRUE(record.SubmitGuess());
    EXPECT_EQ(record.Attempts(), 11);
    EXPECT_EQ(AttemptsText(record.Attempts()), "Attempts: 11");
    EXPECT_EQ(record.gameState, GameState::Playing);
}

TEST(GameRecord, CyclingAPegEightTimesReturnsToItsColour)
{
    GameRecord record = PlayingRecord("0000");
    record.currentGuess = {0, 3, 7, 0};
    ASSERT_TRUE(record.CyclePegColour(3));
    EXPECT_EQ(record.currentGuess[2], 0);
    for (int i = 0; i < 8; ++i) record.CyclePegColour(2);
    EXPECT_EQ(record.currentGuess, (std::array<int, 4>{0, 3, 0, 0}));
    EXPECT_FALSE(record.CyclePegColour(0));
    EXPECT_FALSE(record.CyclePegColour(5));
}

TEST(GameRecord, AbandoningKeepsCodeAndGuessesAndOnlyThenAllowsANewGame)
{
    GameRecord record = PlayingRecord("1234");
    EXPECT_FALSE(record.StartNewGame());
    SetGuess(record, "4321");
    record.SubmitGuess();
    record.currentGuess = {1, 1, 1, 1};
    ASSERT_TRUE(record.AbandonGame());
    EXPECT_EQ(record.gameState, GameState::Abandoned);
    EXPECT_EQ(record.secretCode, "1234");
    EXPECT_EQ(record.guessHistory, "432104");
    EXPECT_EQ(record.currentGuess, (std::array<int, 4>{}));
    EXPECT_FALSE(record.SubmitGuess());

    ASSERT_TRUE(record.StartNewGame());
    EXPECT_EQ(record.gameState, GameState::Playing);
    EXPECT_EQ(record.guessHistory, "");
    EXPECT_TRUE(IsValidSecretCode(record.secretCode));
}

TEST(GameRecord, RefusesToScoreAnInputRowOrCodeOutsideTheColours)
{
    GameRecord record = PlayingRecord("1234");
    record.currentGuess = {0, 8, 0, 0};
    EXPECT_FALSE(record.SubmitGuess());
    record.currentGuess = {0, -1, 0, 0};
    EXPECT_FALSE(record.SubmitGuess());
    GameRecord noCode;
    EXPECT_FALSE(noCode.SubmitGuess());
    EXPECT_EQ(record.guessHistory, "");
    EXPECT_EQ(noCode.guessHistory, "");
}
