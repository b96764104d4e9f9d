// The game played through its window, as a person plays it: pegs, guesses, the
// answers on the board, winning, abandoning, and the stored game behind it all.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <string>

#include "GameSession.h"

namespace {

using namespace std::chrono_literals;

TEST(GamePlayTest, EachPressOnAPegShowsTheNextColourAndStoresIt)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    EXPECT_EQ(game.InputValues(), "0000");
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(game.WaitForPeg(w, GameSession::InputPeg(k), 0)) << k;

    // Peg 2 goes once round the whole cycle; the others stay where they are.
    for (int step = 1; step <= 8; ++step) {
        const int colour = step % 8;
        game.Click(w, GameSession::InputPeg(2));
        ASSERT_TRUE(game.WaitForValue("col2", std::to_string(colour))) << "step " << step;
        EXPECT_TRUE(game.WaitForPeg(w, GameSession::InputPeg(2), colour)) << "colour " << colour;
        EXPECT_EQ(game.InputValues(), "0" + std::to_string(colour) + "00");
        EXPECT_TRUE(game.WaitForPeg(w, GameSession::InputPeg(1), 0));
    }
    ASSERT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

}  // namespace
