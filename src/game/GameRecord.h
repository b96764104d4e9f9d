#pragma once
// One game: the hidden code, the scored guesses, the state and the input row. The
// main form owns one record, changes it only through the transitions below and
// stores it with SaveGame (GameStore.h) after every transition that returned true.
#include "game/GameRules.h"
#include "game/GameStatistics.h"
#include "game/Move.h"

#include <array>
#include <string>

class GameRecord {
public:
    std::string secretCode;    // four digits 0..7
    std::string guessHistory;  // guess records joined by ";", oldest first
    GameState gameState = GameState::Playing;
    std::array<int, kCodeLength> currentGuess{};  // input row, position 1 at index 0
    // The player's finished games: every game that Apply ends, solved or given up,
    // counts once, with its guesses.
    GameStatistics statistics;

    // The input row as four digits, the guess that SubmitGuess would score.
    std::string CurrentGuessText() const;
    int Attempts() const { return CountAttempts(guessHistory); }
    bool IsOver() const { return gameState != GameState::Playing; }

    // While playing: scores the input row against the code, appends its record to
    // the history and either solves the game (four exact) or clears the input row.
    // False, and nothing changes, in any other state, or when the input row or the
    // code is not four colours 0..7.
    bool SubmitGuess();

    // From a solved or abandoned game: a fresh code, no guesses, a cleared input row,
    // playing again. False, and nothing changes, while playing.
    bool StartNewGame();

    // While playing: clears the input row and gives the game up; the code and the
    // guesses stay so that the board can show them. False in any other state.
    bool AbandonGame();

    // Applies a move of the player through the transitions below: a peg move to
    // input peg 1..4 (SetPeg with `colour`), Go as SubmitGuess while playing and
    // StartNewGame when the game is over, Abandon as AbandonGame. Exit is no change
    // of the record. A move that ends the game counts it in statistics. True when
    // the record changed.
    bool Apply(Move move, int position, int colour = 0);

    // While playing: advances the input peg at position 1..4 to its next colour.
    // False, and nothing changes, in another state or for another position.
    bool CyclePegColour(int position);
    // While playing: moves the input peg at position 1..4 back one colour (0 to 7).
    bool StepPegColourBack(int position);
    // While playing: gives the input peg at position 1..4 the colour 0..7.
    bool SetPegColour(int position, int colour);

private:
    // The transition of a move, without counting a game it ends.
    bool ApplyMove(Move move, int position, int colour);
};
