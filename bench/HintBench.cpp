// What a hint costs, next to a baseline in the same run: one guess scored against all
// 4096 codes with ScoreGuess, the least work any count of fitting codes does. Each
// iteration runs both, taking turns at going first; each reports `hint_us`,
// `baseline_us` (mean per iteration) and `ratio` = hint / baseline.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "game/GameRules.h"
#include "game/HintFinder.h"

namespace {

void ScoreAgainstAllCodes()
{
    int sum = 0;
    std::string code = "0000";
    for (int c = 0; c < 4096; ++c) {
        for (int p = 0; p < kCodeLength; ++p) code[p] = static_cast<char>('0' + (c >> (9 - 3 * p) & 7));
        int exact = 0;
        int colourOnly = 0;
        ScoreGuess("0123", code, exact, colourOnly);
        sum += exact + colourOnly;
    }
    benchmark::DoNotOptimize(sum);
}

void HintAgainstBaseline(benchmark::State& state, const std::string& history)
{
    using Clock = std::chrono::steady_clock;
    double hintSeconds = 0, baselineSeconds = 0;
    bool hintFirst = true;
    HintFinder::Find(history);  // the answer tables are made once per process
    for (auto _ : state) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool runHint = (turn == 0) == hintFirst;
            const auto start = Clock::now();
            if (runHint)
                benchmark::DoNotOptimize(HintFinder::Find(history));
            else
                ScoreAgainstAllCodes();
            (runHint ? hintSeconds : baselineSeconds) += std::chrono::duration<double>(Clock::now() - start).count();
        }
        hintFirst = !hintFirst;
    }
    state.counters["hint_us"] = benchmark::Counter(hintSeconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["baseline_us"] = benchmark::Counter(baselineSeconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = baselineSeconds > 0 ? hintSeconds / baselineSeconds : 0;
}

// Before the first guess: all 4096 codes fit.
BENCHMARK_CAPTURE(HintAgainstBaseline, first_guess_vs_4096_ScoreGuess, std::string());
// After two guesses against 6147: 0011 (P 0 C 1), 2345 (P 1 C 0).
BENCHMARK_CAPTURE(HintAgainstBaseline, after_two_guesses_vs_4096_ScoreGuess, std::string("001101;234510"));
// The most codes one answer can leave: 0000 answered P 0 C 0 leaves 2401.
BENCHMARK_CAPTURE(HintAgainstBaseline, after_0000_none_vs_4096_ScoreGuess, std::string("000000"));
// The most two answers can leave: 0000 and 1111 both P 0 C 0 leave 1296.
BENCHMARK_CAPTURE(HintAgainstBaseline, after_0000_1111_none_vs_4096_ScoreGuess, std::string("000000;111100"));

}  // namespace
