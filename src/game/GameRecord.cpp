#include "game/GameRecord.h"

#include "util/StringUtil.h"

std::string GameRecord::CurrentGuessText() const
{
    std::string text;
    for (int colour : currentGuess) text += IntToText(colour);
    return text;
}

bool GameRecord::SubmitGuess()
{
    if (gameState != GameState::Playing) return false;
    const std::string guess = CurrentGuessText();
    // A colour out of range or a missing code would store a record that no later
    // load accepts; refuse instead of scoring nonsense.
    if (!IsValidSecretCode(guess) || !IsValidSecretCode(secretCode)) return false;
    int exact = 0;
    int colourOnly = 0;
    ScoreGuess(guess, secretCode, exact, colourOnly);
    if (!guessHistory.empty()) guessHistory += ";";
    guessHistory += MakeGuessRecord(guess, exact, colourOnly);
    if (exact == kCodeLength) {
        gameState = GameState::Solved;
    } else {
        currentGuess.fill(0);
    }
    return true;
}

bool GameRecord::StartNewGame()
{
    if (gameState == GameState::Playing) return false;
    guessHistory.clear();
    secretCode = DrawSecretCode();
    currentGuess.fill(0);
    gameState = GameState::Playing;
    return true;
}

bool GameRecord::AbandonGame()
{
    if (gameState != GameState::Playing) return false;
    currentGuess.fill(0);
    gameState = GameState::Abandoned;
    return true;
}

bool GameRecord::CyclePegColour(int position)
{
    if (gameState != GameState::Playing || position < 1 || position > kCodeLength) return false;
    int& colour = currentGuess[static_cast<std::size_t>(position - 1)];
    colour = NextPegColour(colour);
    return true;
}

bool GameRecord::StepPegColourBack(int position)
{
    if (gameState != GameState::Playing || position < 1 || position > kCodeLength) return false;
    int& colour = currentGuess[static_cast<std::size_t>(position - 1)];
    colour = PreviousPegColour(colour);
    return true;
}

bool GameRecord::SetPegColour(int position, int colour)
{
    if (gameState != GameState::Playing || position < 1 || position > kCodeLength) return false;
    if (colour < 0 || colour >= kColourCount) return false;
    currentGuess[static_cast<std::size_t>(position - 1)] = colour;
    return true;
}

bool GameRecord::Apply(Move move, int position, int colour)
{
    const bool wasOver = IsOver();
    const bool changed = ApplyMove(move, position, colour);
    if (changed && !wasOver && IsOver()) statistics.CountFinishedGame(gameState == GameState::Solved, Attempts());
    return changed;
}

bool GameRecord::ApplyMove(Move move, int position, int colour)
{
    switch (move) {
    case Move::CyclePeg:
        return CyclePegColour(position);
    case Move::StepPegBack:
        return StepPegColourBack(position);
    case Move::SetPeg:
        return SetPegColour(position, colour);
    case Move::Go:
        return IsOver() ? StartNewGame() : SubmitGuess();
    case Move::Abandon:
        return AbandonGame();
    case Move::Exit:
        return false;
    }
    return false;
}
