#pragma once
// The hint: from the answers a game has had so far, how many codes can still be the
// secret and which guess narrows them down best.
#include <string>

struct HintResult {
    int codesLeft = 0;  // codes of the 4096 that agree with every answer so far
    std::string guess;  // four digits 0..7; empty when no code agrees
    int worstLeft = 0;  // the most codes the guess can leave, whatever its answer
};

class HintFinder {
public:
    // The codes that score every guess of history (guess records joined by ";") with
    // that guess's recorded answer. Records that are not six valid digits are passed
    // over, as answers the game never gave.
    static int CountFittingCodes(const std::string& history);

    // The guess whose worst answer leaves the fewest fitting codes, over all 4096
    // guesses; among equals a guess that can still be the secret, then the lowest.
    // An answer's share counts every fitting code that gives it, the four-exact one
    // included, so with one code left that code is the guess and leaves at most 1.
    static HintResult Find(const std::string& history);

    // What the hint box tells the player about `hint`, in lines that fit the message
    // box (its own wrapping would put a full stop at the start of a line).
    static std::string Message(const HintResult& hint);
};
