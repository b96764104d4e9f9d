#pragma once
// The score of a guess by the textbook definition, independent of the game's code:
// exact matches by position, and colour-only matches as the per-colour minimum over
// the two texts less the exact ones. Reads four digits at most, never past a text.
#include <string>
#include <utility>

// Exact and colour-only matches of `guess` against `code`.
std::pair<int, int> Score(const std::string& guess, const std::string& code);
