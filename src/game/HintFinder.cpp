// Scoring every guess against every fitting code is up to 4096 x 4096 pairs, so a
// pair must cost a few table lookups, and most guesses need not be tried at all.
//
// A pair's answer splits into exact matches, which are the zero octal digits of the
// two codes' xor (a code's number is its four digits read in base 8, so the lowest
// code is the lowest number), and all colour matches, which depend only on the two
// codes' colours as multisets (330 of them). Both tables are made once, in about a
// millisecond; a guess reads one 330-byte row of the second, which stays in the
// first-level cache while all fitting codes are scored against that guess.
//
// Colours that no guess so far has used are interchangeable: swapping two of them
// maps the fitting codes onto themselves, so guesses that differ only by such a swap
// leave the same shares. Only the lowest guess of each such family is tried; that is
// the one whose unused colours appear in ascending order, lowest first. Before the
// first guess all eight are unused and 15 guesses stand for all 4096.
#include "game/HintFinder.h"

#include "game/GameRules.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

constexpr int kCodeCount = 4096;
constexpr int kMultisetCount = 330;  // multisets of four of eight colours
constexpr int kAnswerBins = 25;      // exact * 5 + all colour matches

int Digit(int code, int position) { return code >> (3 * (kCodeLength - 1 - position)) & 7; }

std::string CodeText(int code)
{
    std::string text(kCodeLength, '0');
    for (int p = 0; p < kCodeLength; ++p) text[p] = static_cast<char>('0' + Digit(code, p));
    return text;
}

struct Tables {
    std::array<std::uint8_t, kCodeCount> exactOfXor{};
    std::array<std::uint16_t, kCodeCount> multiset{};
    // All colour matches of two multisets, at [a * kMultisetCount + b].
    std::vector<std::uint8_t> matches;

    Tables()
    {
        std::vector<int> representatives;  // per multiset, its code with ascending digits
        std::array<int, kCodeCount> indexOfSorted;
        indexOfSorted.fill(-1);
        for (int code = 0; code < kCodeCount; ++code) {
            std::array<int, kCodeLength> digits{};
            for (int p = 0; p < kCodeLength; ++p) {
                digits[p] = Digit(code, p);
                exactOfXor[code] += digits[p] == 0;
            }
            std::sort(digits.begin(), digits.end());
            int sorted = 0;
            for (int d : digits) sorted = sorted * kColourCount + d;
            if (indexOfSorted[sorted] < 0) {
                indexOfSorted[sorted] = static_cast<int>(representatives.size());
                representatives.push_back(sorted);
            }
            multiset[code] = static_cast<std::uint16_t>(indexOfSorted[sorted]);
        }
        // Per colour the smaller of its two counts, summed: what ScoreGuess's exact and
        // colour-only matches add up to. ScoreGuess itself on all 108 900 pairs would
        // take a tenth of a second.
        std::vector<std::array<int, kColourCount>> counts(representatives.size());
        for (std::size_t m = 0; m < representatives.size(); ++m)
            for (int p = 0; p < kCodeLength; ++p) ++counts[m][Digit(representatives[m], p)];
        matches.resize(kMultisetCount * kMultisetCount);
        for (int a = 0; a < kMultisetCount; ++a) {
            for (int b = 0; b < kMultisetCount; ++b) {
                int common = 0;
                for (int c = 0; c < kColourCount; ++c) common += std::min(counts[a][c], counts[b][c]);
                matches[a * kMultisetCount + b] = static_cast<std::uint8_t>(common);
            }
        }
    }

    int Answer(int guess, int code) const
    {
        return exactOfXor[guess ^ code] * 5 + matches[multiset[guess] * kMultisetCount + multiset[code]];
    }
};

const Tables& TheTables()
{
    static const Tables tables;
    return tables;
}

struct Fitting {
    std::vector<int> codes;  // ascending
    std::array<bool, kColourCount> used{};
};

Fitting FittingCodes(const std::string& history)
{
    const Tables& t = TheTables();
    std::vector<std::pair<int, int>> answered;  // guess, answer bin
    Fitting f;
    for (const std::string& text : HistoryRecords(history)) {
        GuessRecord record;
        if (!ParseGuessRecord(text, record)) continue;
        int guess = 0;
        for (int c : record.colours) {
            guess = guess * kColourCount + c;
            f.used[c] = true;
        }
        answered.emplace_back(guess, record.exact * 5 + record.exact + record.colourOnly);
    }
    for (int code = 0; code < kCodeCount; ++code) {
        if (std::all_of(answered.begin(), answered.end(),
                        [&](const std::pair<int, int>& a) { return t.Answer(a.first, code) == a.second; }))
            f.codes.push_back(code);
    }
    return f;
}

// True for the lowest guess of its family: its unused colours first appear in
// ascending order, each the lowest unused colour not seen before in it.
bool IsLowestOfFamily(int guess, const std::array<bool, kColourCount>& used)
{
    int nextUnused = 0;  // the rank among unused colours the next new one must have
    for (int p = 0; p < kCodeLength; ++p) {
        const int colour = Digit(guess, p);
        if (used[colour]) continue;
        int rank = 0;
        for (int c = 0; c < colour; ++c) rank += !used[c];
        if (rank > nextUnused) return false;
        if (rank == nextUnused) ++nextUnused;
    }
    return true;
}

}  // namespace

int HintFinder::CountFittingCodes(const std::string& history)
{
    return static_cast<int>(FittingCodes(history).codes.size());
}

HintResult HintFinder::Find(const std::string& history)
{
    const Tables& t = TheTables();
    const Fitting f = FittingCodes(history);
    HintResult result;
    result.codesLeft = static_cast<int>(f.codes.size());
    if (f.codes.empty()) return result;
    if (f.codes.size() == 1) {
        result.guess = CodeText(f.codes.front());
        result.worstLeft = 1;
        return result;
    }
    struct Packed {
        std::uint16_t code;
        std::uint16_t multiset;
    };
    std::vector<Packed> codes;
    std::array<bool, kCodeCount> fits{};
    for (int code : f.codes) {
        codes.push_back({static_cast<std::uint16_t>(code), t.multiset[code]});
        fits[code] = true;
    }
    int best = -1;
    int bestWorst = INT_MAX;
    bool bestFits = false;
    for (int guess = 0; guess < kCodeCount; ++guess) {
        if (!IsLowestOfFamily(guess, f.used)) continue;
        // Guesses come in ascending order, so a later one wins a tie only by fitting
        // where the best so far does not; it is given up once a share passes that.
        const int limit = fits[guess] && !bestFits ? bestWorst : bestWorst - 1;
        std::array<int, kAnswerBins> shares{};
        const std::uint8_t* matchRow = &t.matches[t.multiset[guess] * kMultisetCount];
        bool beaten = false;
        for (const Packed& c : codes) {
            if (++shares[t.exactOfXor[guess ^ c.code] * 5 + matchRow[c.multiset]] > limit) {
                beaten = true;
                break;
            }
        }
        if (beaten) continue;
        best = guess;
        bestWorst = *std::max_element(shares.begin(), shares.end());
        bestFits = fits[guess];
    }
    result.guess = CodeText(best);
    result.worstLeft = bestWorst;
    return result;
}

std::string HintFinder::Message(const HintResult& hint)
{
    // Only a history no secret can have answered leaves no code.
    if (hint.codesLeft == 0) return "No code fits every answer.";
    if (hint.codesLeft == 1) return "Only one code still fits every\nanswer. The row now holds it.";
    return std::to_string(hint.codesLeft) + " codes still fit every\nanswer. The row now holds a\n" +
           "guess that leaves at most " + std::to_string(hint.worstLeft) + ".";
}
