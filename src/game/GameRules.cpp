#include "game/GameRules.h"

#include "game/Random.h"
#include "util/StringUtil.h"

#include <algorithm>

namespace {

bool IsDigitBelow(char c, int limit) { return c >= '0' && c < '0' + limit; }

}  // namespace

void ScoreGuess(const std::string& guess, const std::string& secret, int& exact, int& colourOnly)
{
    // Unmatched positions, counted per byte value: matching the two tallies colour by
    // colour consumes each secret peg once, however often a colour repeats.
    std::array<int, 256> secretLeft{};
    std::array<int, 256> guessLeft{};
    exact = 0;
    const std::size_t common = std::min(guess.size(), secret.size());
    for (std::size_t p = 0; p < common; ++p) {
        if (guess[p] == secret[p]) {
            ++exact;
        } else {
            ++secretLeft[static_cast<unsigned char>(secret[p])];
            ++guessLeft[static_cast<unsigned char>(guess[p])];
        }
    }
    for (std::size_t p = common; p < secret.size(); ++p) ++secretLeft[static_cast<unsigned char>(secret[p])];
    for (std::size_t p = common; p < guess.size(); ++p) ++guessLeft[static_cast<unsigned char>(guess[p])];
    colourOnly = 0;
    for (std::size_t c = 0; c < secretLeft.size(); ++c) colourOnly += std::min(secretLeft[c], guessLeft[c]);
}

std::string DrawSecretCode()
{
    std::string code;
    for (int p = 0; p < kCodeLength; ++p) code += IntToText(RandomInRange(0, kColourCount - 1));
    return code;
}

bool IsValidSecretCode(const std::string& code)
{
    return code.size() == kCodeLength &&
           std::all_of(code.begin(), code.end(), [](char c) { return IsDigitBelow(c, kColourCount); });
}

bool IsValidGuessRecord(const std::string& record)
{
    if (record.size() != kCodeLength + 2) return false;
    if (!IsValidSecretCode(record.substr(0, kCodeLength))) return false;
    const char exact = record[kCodeLength];
    const char colourOnly = record[kCodeLength + 1];
    if (!IsDigitBelow(exact, kCodeLength + 1) || !IsDigitBelow(colourOnly, kCodeLength + 1)) return false;
    return (exact - '0') + (colourOnly - '0') <= kCodeLength;
}

bool ParseGuessRecord(const std::string& record, GuessRecord& out)
{
    if (!IsValidGuessRecord(record)) return false;
    for (int p = 0; p < kCodeLength; ++p) out.colours[p] = record[p] - '0';
    out.exact = record[kCodeLength] - '0';
    out.colourOnly = record[kCodeLength + 1] - '0';
    return true;
}

std::string MakeGuessRecord(const std::string& guess, int exact, int colourOnly)
{
    return guess + IntToText(exact) + IntToText(colourOnly);
}

std::vector<std::string> HistoryRecords(const std::string& history) { return Split(history, ";"); }

int CountAttempts(const std::string& history) { return static_cast<int>(HistoryRecords(history).size()); }

std::array<std::string, kBoardRows> BoardRows(const std::string& history)
{
    const std::vector<std::string> records = HistoryRecords(history);
    const int m = static_cast<int>(records.size());
    std::array<std::string, kBoardRows> rows;
    const int first = std::max(0, kBoardRows - m);  // index of the topmost filled row
    for (int row = first; row < kBoardRows; ++row) rows[row] = records[m - 1 - (row - first)];
    return rows;
}

std::string AttemptsText(int attempts) { return "Attempts: " + IntToTextPadded(attempts, '0', 2); }

std::string AnswerText(int exact, int colourOnly) { return "P " + IntToText(exact) + " C " + IntToText(colourOnly); }

int NextPegColour(int colour) { return colour + 1 < kColourCount && colour >= 0 ? colour + 1 : 0; }

int PreviousPegColour(int colour)
{
    if (colour < 0 || colour >= kColourCount) return 0;
    return colour == 0 ? kColourCount - 1 : colour - 1;
}

const char* ColourName(int colour)
{
    static constexpr const char* kNames[kColourCount] = {"red",      "orange",    "yellow", "green",
                                                         "sky blue", "deep blue", "white",  "black"};
    return colour >= 0 && colour < kColourCount ? kNames[colour] : "";
}

std::string GuessWords(int number, const std::string& record)
{
    GuessRecord guess;
    if (!ParseGuessRecord(record, guess)) return "";
    std::string words = "Guess ";
    words += std::to_string(number);
    words += ':';
    for (int k = 0; k < kCodeLength; ++k) {
        words += k ? ", " : " ";
        words += ColourName(guess.colours[k]);
    }
    words += ". ";
    words += std::to_string(guess.exact);
    words += " in place, ";
    words += std::to_string(guess.colourOnly);
    words += guess.colourOnly == 1 ? " right colour elsewhere" : " right colours elsewhere";
    return words;
}
