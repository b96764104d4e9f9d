#pragma once
// The rules of the code-breaking game, as plain functions on texts and numbers.
//
// A code and a guess are four colour digits '0'..'7', position 1 first. A guess
// record is six digits: the four guessed colours, the number of exact matches (right
// colour, right place) and the number of colour-only matches (right colour, wrong
// place). A game's history is its guess records joined by ";", oldest first.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kCodeLength = 4;
inline constexpr int kColourCount = 8;
// Colour value shown for a peg of the code that is still hidden; never in a code.
inline constexpr int kCoveredColour = 8;
// Board rows that show guesses; older guesses scroll off the top.
inline constexpr int kBoardRows = 10;

enum class GameState : std::int32_t {
    Playing = 0,
    Abandoned = 1,
    Solved = 2,
};

// Scores guess against secret. Every position holding the same byte in both counts
// as exact; colourOnly counts, for each colour, the smaller of its number among the
// secret's and among the guess's remaining positions. Texts of unequal length are
// compared over the shorter one; the surplus positions take part in colourOnly only.
void ScoreGuess(const std::string& guess, const std::string& secret, int& exact, int& colourOnly);

// A fresh hidden code: four independent draws of 0..7, so colours may repeat.
std::string DrawSecretCode();

// True for exactly four digits '0'..'7'.
bool IsValidSecretCode(const std::string& code);

// One guess record split into its parts.
struct GuessRecord {
    std::array<int, kCodeLength> colours{};
    int exact = 0;
    int colourOnly = 0;
};

// True for six digits: four colours 0..7, then two counts 0..4 with a sum of at most 4.
bool IsValidGuessRecord(const std::string& record);

// Splits a record; false (and out unchanged) unless IsValidGuessRecord.
bool ParseGuessRecord(const std::string& record, GuessRecord& out);

// The six-digit record of a scored guess.
std::string MakeGuessRecord(const std::string& guess, int exact, int colourOnly);

// The records of a history, oldest first; an empty history has none.
std::vector<std::string> HistoryRecords(const std::string& history);

// The number of records in a history.
int CountAttempts(const std::string& history);

// Which record each board row shows, rows 1..10 top to bottom at index 0..9; an
// empty text is an empty row. Up to ten guesses fill the board from the bottom (the
// oldest in row 10); with more, row 1 shows the newest and row 10 the tenth newest.
std::array<std::string, kBoardRows> BoardRows(const std::string& history);

// The attempts counter: "Attempts: " and the count padded with "0" to two digits.
std::string AttemptsText(int attempts);

// The answer beside a board row, "P 1 C 2" for one exact and two colour-only matches.
std::string AnswerText(int exact, int colourOnly);

// The colour's name as a player says it: "red", "orange", "yellow", "green", "sky
// blue", "deep blue", "white", "black"; "" for anything else.
const char* ColourName(int colour);
// A guess record read out: "Guess 3: red, deep blue, green, yellow. 2 in place, 1
// right colour elsewhere"; "" for a record that is not one.
std::string GuessWords(int number, const std::string& record);

// The colour after c when the player presses an input peg: 0, 1, ..., 7, 0.
int NextPegColour(int colour);
// The colour before c, for stepping a peg back: 0 goes to 7; anything out of range to 0.
int PreviousPegColour(int colour);
