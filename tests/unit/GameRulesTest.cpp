#include "ScoreOracle.h"
#include "game/GameRecord.h"
#include "game/GameRules.h"
#include "game/GameStatistics.h"
#include "game/HintFinder.h"
#include "game/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <set>
#include <tuple>

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
    // What a screen reader reads out for a board row: every colour, both counts in words.
    EXPECT_EQ(GuessWords(3, "053221"), "Guess 3: red, deep blue, green, yellow. 2 in place, 1 right colour elsewhere");
    EXPECT_EQ(GuessWords(12, "476100"),
              "Guess 12: sky blue, black, white, orange. 0 in place, 0 right colours elsewhere");
    EXPECT_EQ(GuessWords(1, "0000"), "");
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

namespace {

// Every code with its digits and colour counts in plain arrays: the brute force below
// scores 4096 x 4096 pairs, which must stay quick without optimisation.
struct OracleCode {
    int digit[4];
    int count[8];
};

const std::vector<OracleCode>& AllCodes()
{
    static const std::vector<OracleCode> codes = [] {
        std::vector<OracleCode> v(4096, OracleCode{});
        for (int c = 0; c < 4096; ++c)
            for (int p = 0; p < 4; ++p) ++v[c].count[v[c].digit[p] = c >> (9 - 3 * p) & 7];
        return v;
    }();
    return codes;
}

// exact * 5 + colourOnly, by the counting definition.
int OracleAnswer(const OracleCode& g, const OracleCode& s)
{
    int exact = 0, common = 0;
    for (int p = 0; p < 4; ++p) exact += g.digit[p] == s.digit[p];
    for (int c = 0; c < 8; ++c) common += g.count[c] < s.count[c] ? g.count[c] : s.count[c];
    return exact * 5 + common - exact;
}

// The hint by brute force: every guess against every fitting code.
HintResult BruteForceHint(const std::string& history)
{
    const std::vector<OracleCode>& codes = AllCodes();
    std::vector<int> fitting;
    for (int c = 0; c < 4096; ++c) {
        bool fits = true;
        for (const std::string& r : HistoryRecords(history))
            fits = fits && OracleAnswer(codes[std::stoi(r.substr(0, 4), nullptr, 8)], codes[c]) ==
                               (r[4] - '0') * 5 + r[5] - '0';
        if (fits) fitting.push_back(c);
    }
    HintResult best{static_cast<int>(fitting.size()), "", 0};
    std::tuple<int, bool, int> bestKey{INT_MAX, true, 0};  // worst, not fitting, code
    for (int g = 0; g < 4096 && !fitting.empty(); ++g) {
        int shares[25] = {};
        bool worse = false;  // a share above the best worst so far: this guess cannot win
        for (std::size_t c = 0; c < fitting.size() && !worse; ++c)
            worse = ++shares[OracleAnswer(codes[g], codes[fitting[c]])] > std::get<0>(bestKey);
        if (worse) continue;
        const std::tuple<int, bool, int> key{*std::max_element(shares, shares + 25),
                                             !std::binary_search(fitting.begin(), fitting.end(), g), g};
        if (key < bestKey) bestKey = key;
    }
    if (!fitting.empty()) {
        for (int p = 0; p < 4; ++p) best.guess += static_cast<char>('0' + (std::get<2>(bestKey) >> (9 - 3 * p) & 7));
        best.worstLeft = std::get<0>(bestKey);
    }
    return best;
}

}  // namespace

TEST(HintFinder, AgreesWithBruteForceMinimax)
{
    // Before the first guess; after two (against 6147); after two where a lower guess
    // ties with the best but cannot be the secret; with one code left; after answers
    // that no code gives.
    for (const char* history : {"", "001101;234510", "001101;445501", "123440", "000040;000000"}) {
        SCOPED_TRACE(history);
        const HintResult expected = BruteForceHint(history);
        const HintResult hint = HintFinder::Find(history);
        EXPECT_EQ(hint.codesLeft, expected.codesLeft);
        EXPECT_EQ(hint.guess, expected.guess);
        EXPECT_EQ(hint.worstLeft, expected.worstLeft);
        EXPECT_EQ(HintFinder::CountFittingCodes(history), expected.codesLeft);
    }
    EXPECT_EQ(HintFinder::CountFittingCodes(""), 4096);
    EXPECT_EQ(HintFinder::CountFittingCodes("000000"), 7 * 7 * 7 * 7);
    EXPECT_EQ(HintFinder::Find("123440").guess, "1234");
}

TEST(GameStatistics, SummarisesFinishedGamesAndKeepsThemAcrossAStore)
{
    GameStatistics s;
    for (int guesses : {3, 4, 5, 0, 12, 4}) s.CountFinishedGame(guesses > 0, guesses);  // 0: given up
    EXPECT_EQ(s.Played(), 6);
    EXPECT_EQ(s.Solved(), 5);
    EXPECT_EQ(s.GivenUp(), 1);
    EXPECT_EQ(s.SolvedPercent(), 83);
    EXPECT_EQ(s.CurrentRun(), 2);
    EXPECT_EQ(s.BestRun(), 3);
    EXPECT_DOUBLE_EQ(s.AverageGuesses(), 28.0 / 5);
    EXPECT_EQ(s.SolvedByGuesses(), (std::array<std::int64_t, 10>{0, 0, 1, 2, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(s.LastSolvedBucket(), 3);
    s.CountFinishedGame(false, 7);
    EXPECT_EQ(s.CurrentRun(), 0);
    EXPECT_EQ(s.LastSolvedBucket(), 3);

    GameStatistics restored;
    std::string reason;
    ASSERT_TRUE(GameStatistics::FromText(s.ToText() + "\r\n", restored, reason)) << reason;
    EXPECT_EQ(restored.ToText(), s.ToText());
    EXPECT_EQ(restored.LastSolvedBucket(), 3);
    EXPECT_DOUBLE_EQ(restored.AverageGuesses(), s.AverageGuesses());

    for (int i = 0; i < 198; ++i) restored.CountFinishedGame(true, 2);
    EXPECT_EQ(restored.SolvedPercent(), 99) << "never 100 with games given up";
}

TEST(GameStatistics, AveragesRoundHalvesUpAndCountsTooWideForTheirPlaceShowAShortForm)
{
    GameStatistics s;
    EXPECT_EQ(s.AverageText(5), "-");
    for (int guesses : {4, 4, 4, 5}) s.CountFinishedGame(true, guesses);
    EXPECT_EQ(s.AverageText(5), "4.3") << "17 over 4";
    s.CountFinishedGame(true, 123456);
    EXPECT_EQ(s.AverageText(5), "24695") << "123473 over 5 leaves no place for the decimal";
    for (const auto& [n, places, shown] : std::vector<std::tuple<std::int64_t, int, std::string>>{
             {12345, 5, "12345"}, {123456, 5, "123k"}, {12345678, 7, "12345k"}, {999999, 3, "99+"}})
        EXPECT_EQ(GameStatistics::CountText(n, places), shown) << n;
}

TEST(GameStatistics, DamagedOrMissingTextGivesZeroStatisticsAndAReason)
{
    GameStatistics s;
    s.CountFinishedGame(true, 3);
    for (const char* text : {"", "\r\n", "statistics", "0;0;1;0;0;0;0;0;0;0;0;1;1;3",  // 14 counts
                             "0;0;1;0;0;0;0;0;0;0;0;1;1;3;3;", "0;0;1;0;0;0;0;0;0;0;0;1;1;3;-3",
                             "0;0;1;0;0;0;0;0;0;0;0;1;1;3;3x", "0;0;1;0;0;0;0;0;0;0;0;1;1;3;9999999999999999",
                             "0;0;1;0;0;0;0;0;0;0;0;2;1;3;3",     // current run above the best
                             "0;0;1;0;0;0;0;0;0;0;0;1;1;3;4",     // guesses do not add up
                             "0;0;1;0;0;0;0;0;0;0;0;1;1;2;3",     // last solved in an empty count
                             "0;0;3;0;0;0;0;0;0;0;1;1;1;3;9"}) {  // best run too short for one game given up
        SCOPED_TRACE(text);
        std::string reason;
        EXPECT_FALSE(GameStatistics::FromText(text, s, reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(s.Played(), 0);
        EXPECT_EQ(s.LastSolvedBucket(), -1);
    }
}
