#include "game/GameStatistics.h"

#include "util/StringUtil.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Fifteen digits keep every sum and product of the checks below inside 64 bits.
constexpr std::size_t kMaxDigits = 15;

bool ParseCount(const std::string& text, std::int64_t& n)
{
    if (text.empty() || text.size() > kMaxDigits) return false;
    n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return true;
}

// Why counts cannot come from any sequence of finished games; empty when they can.
std::string Contradiction(const GameStatistics& s, std::int64_t storedLast, std::int64_t solvedGuesses)
{
    const auto& buckets = s.SolvedByGuesses();
    std::int64_t fewestGuesses = 0;  // each game of the last count taken at 10
    for (int b = 0; b < GameStatistics::kBuckets; ++b) fewestGuesses += (b + 1) * buckets[b];
    if (s.CurrentRun() > s.BestRun() || s.BestRun() > s.Solved()) return "runs longer than the solved games allow";
    // Given up games split the solved ones into at most one run more than there are of them.
    if ((s.Solved() + s.GivenUp()) / (s.GivenUp() + 1) > s.BestRun()) return "best run too short";
    if (s.GivenUp() == 0 && s.CurrentRun() != s.Solved()) return "a run broken without a given up game";
    if (storedLast > GameStatistics::kBuckets || (storedLast == 0) != (s.Solved() == 0) ||
        (storedLast > 0 && buckets[storedLast - 1] == 0))
        return "last solved game in an empty count";
    if (solvedGuesses < fewestGuesses || (buckets[GameStatistics::kBuckets - 1] == 0 && solvedGuesses != fewestGuesses))
        return "guesses of solved games do not match their counts";
    return {};
}

}  // namespace

void GameStatistics::CountFinishedGame(bool solved, int guesses)
{
    if (!solved) {
        ++givenUp_;
        currentRun_ = 0;
        return;
    }
    guesses = std::max(guesses, 1);
    lastSolvedBucket_ = std::min(guesses, kBuckets) - 1;
    ++solvedByGuesses_[lastSolvedBucket_];
    solvedGuesses_ += guesses;
    bestRun_ = std::max(bestRun_, ++currentRun_);
}

std::int64_t GameStatistics::Solved() const
{
    return std::accumulate(solvedByGuesses_.begin(), solvedByGuesses_.end(), std::int64_t{0});
}

int GameStatistics::SolvedPercent() const
{
    const std::int64_t played = Played();
    if (played == 0) return 0;
    const int percent = static_cast<int>((Solved() * 200 + played) / (played * 2));
    if (Solved() > 0 && givenUp_ > 0) return std::clamp(percent, 1, 99);
    return percent;
}

double GameStatistics::AverageGuesses() const
{
    const std::int64_t solved = Solved();
    return solved == 0 ? 0.0 : static_cast<double>(solvedGuesses_) / static_cast<double>(solved);
}

std::string GameStatistics::AverageText(int places) const
{
    const std::int64_t solved = Solved();
    if (solved == 0) return "-";
    // In whole tenths, halves up; the stored counts have at most 15 digits.
    const std::int64_t tenths = (solvedGuesses_ * 20 + solved) / (solved * 2);
    const std::string text = IntToText(tenths / 10) + "." + IntToText(tenths % 10);
    if (static_cast<int>(text.size()) <= places) return text;
    return CountText((tenths + 5) / 10, places);
}

std::string GameStatistics::CountText(std::int64_t n, int places)
{
    const std::string digits = IntToText(n);
    if (static_cast<int>(digits.size()) <= places || n < 0) return digits;
    static const char kUnits[] = "kMGTPE";
    std::int64_t scaled = n;
    for (const char* unit = kUnits; *unit; ++unit) {
        scaled /= 1000;
        if (scaled == 0) break;
        const std::string text = IntToText(scaled) + *unit;
        if (static_cast<int>(text.size()) <= places) return text;
    }
    if (places < 2) return "+";
    return std::string(static_cast<std::size_t>(places - 1), '9') + "+";
}

std::string GameStatistics::ToText() const
{
    std::string text;
    for (std::int64_t n : solvedByGuesses_) text += IntToText(n) + ";";
    return text + IntToText(givenUp_) + ";" + IntToText(currentRun_) + ";" + IntToText(bestRun_) + ";" +
           IntToText(lastSolvedBucket_ + 1) + ";" + IntToText(solvedGuesses_);
}

bool GameStatistics::FromText(const std::string& text, GameStatistics& out, std::string& reason)
{
    out = GameStatistics();
    const std::string line = Trim(text);
    if (line.empty()) {
        reason = "no statistics stored";
        return false;
    }
    // A trailing ";" would add no piece to Split, so count the separators as well.
    const std::vector<std::string> pieces = Split(line, ";");
    if (pieces.size() != kStoredCounts || std::count(line.begin(), line.end(), ';') != kStoredCounts - 1) {
        reason = "damaged statistics: not " + IntToText(kStoredCounts) + " counts";
        return false;
    }
    std::array<std::int64_t, kStoredCounts> n{};
    for (int k = 0; k < kStoredCounts; ++k) {
        if (!ParseCount(pieces[k], n[k])) {
            reason = "damaged statistics: \"" + pieces[k] + "\" is not a count";
            return false;
        }
    }
    GameStatistics s;
    std::copy(n.begin(), n.begin() + kBuckets, s.solvedByGuesses_.begin());
    s.givenUp_ = n[kBuckets];
    s.currentRun_ = n[kBuckets + 1];
    s.bestRun_ = n[kBuckets + 2];
    s.solvedGuesses_ = n[kBuckets + 4];
    reason = Contradiction(s, n[kBuckets + 3], s.solvedGuesses_);
    if (!reason.empty()) {
        reason = "damaged statistics: " + reason;
        return false;
    }
    s.lastSolvedBucket_ = static_cast<int>(n[kBuckets + 3]) - 1;
    out = s;
    return true;
}
