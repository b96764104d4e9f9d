#pragma once
// The player's record of finished games (solved or given up) and what it adds up to.
// It keeps counts, not a list of games, so that it stays a short line however long
// the player plays; the counts are what the summary and its chart need.
//
// Stored as one line of 15 decimal counts joined by ";", in this order:
//   1 to 10  solved games by guesses: 1, 2, ..., 9, 10 or more
//   11       given up games
//   12, 13   the current run and the best run of solved games
//   14       the count (1 to 10) the last solved game went to; 0 before the first
//   15       the guesses of all solved games together
// for example 0;0;1;1;0;0;0;0;0;0;1;2;2;4;7 for a game given up, then one solved in
// three guesses and one in four.
#include <array>
#include <cstdint>
#include <string>

class GameStatistics {
public:
    // Solved games by their guesses: 1 to 9 at index 0 to 8, 10 or more at index 9.
    static constexpr int kBuckets = 10;
    // The stored line's counts.
    static constexpr int kStoredCounts = kBuckets + 5;

    // Counts a game that ended: solved with `guesses` guesses (at least 1), or given up.
    void CountFinishedGame(bool solved, int guesses);

    std::int64_t Played() const { return Solved() + givenUp_; }
    std::int64_t Solved() const;
    std::int64_t GivenUp() const { return givenUp_; }
    // The share of played games solved in whole percent, rounded; 0 with none played.
    // Never 0 or 100 while there are solved and given up games both.
    int SolvedPercent() const;
    // Solved games since the last given up one, and the longest such run.
    std::int64_t CurrentRun() const { return currentRun_; }
    std::int64_t BestRun() const { return bestRun_; }
    // The guesses of a solved game on average; 0 with none solved.
    double AverageGuesses() const;
    // The average as shown in at most `places` characters: one decimal, a half
    // rounded up as the share is (17 guesses over 4 games show 4.3); where that does
    // not fit, the rounded whole number as CountText gives it; "-" with none solved.
    std::string AverageText(int places) const;
    // A count as shown in at most `places` characters: all its digits where they fit;
    // else the most digits that fit of its thousands, millions, ... with their
    // letter (k, M, G, T, P, E), rounded down so that a count never shows more than
    // it is: 123456 in 5 places is "123k"; where not even that fits, the largest
    // count that does with a "+" ("9+" in 2 places). A count never loses a digit
    // without a sign.
    static std::string CountText(std::int64_t n, int places);
    const std::array<std::int64_t, kBuckets>& SolvedByGuesses() const { return solvedByGuesses_; }
    // The index into SolvedByGuesses of the last solved game; -1 before the first.
    int LastSolvedBucket() const { return lastSolvedBucket_; }

    // The stored line, without its line feed.
    std::string ToText() const;

    // Reads a stored line; white space around it (a value file's line feed, the
    // "\r\n" of ReadSetting) is allowed. A text that is empty, not 15 counts, or
    // counts that cannot belong together give zero statistics in out and false, with
    // the reason in reason for a log line. Never fails otherwise.
    static bool FromText(const std::string& text, GameStatistics& out, std::string& reason);

private:
    std::array<std::int64_t, kBuckets> solvedByGuesses_{};
    std::int64_t givenUp_ = 0;
    std::int64_t currentRun_ = 0;
    std::int64_t bestRun_ = 0;
    int lastSolvedBucket_ = -1;
    std::int64_t solvedGuesses_ = 0;
};
