#include "ScoreOracle.h"

#include <algorithm>

std::pair<int, int> Score(const std::string& guess, const std::string& code)
{
    const std::size_t length = std::min({guess.size(), code.size(), std::size_t{4}});
    int exact = 0;
    int inGuess[10] = {}, inCode[10] = {};
    for (std::size_t p = 0; p < length; ++p) {
        exact += guess[p] == code[p];
        ++inGuess[(guess[p] - '0') % 10];
        ++inCode[(code[p] - '0') % 10];
    }
    int common = 0;
    for (int c = 0; c < 10; ++c) common += std::min(inGuess[c], inCode[c]);
    return {exact, common - exact};
}
