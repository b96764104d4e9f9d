// Pictures of the game as a player sees it, saved as PNG files into
// <build>/screenshots/: a new game, a game under way, the abandon question, an
// abandoned game, the win message, a solved game and the about box. The checks are
// light (the pictures are there to be looked at); the pixels are the real program's.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <filesystem>
#include <string>

#include "GameSession.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

const std::string kDir = std::string(QUORREL_BUILD_DIR) + "/screenshots";

// The main window with its border and whatever dialog sits on it, as on the screen.
Pixels AsOnScreen(GameSession& game) { return game.Grab(DefaultRootWindow(game.GetDisplay()), {100, 100, 802, 602}); }

void Save(const Pixels& p, const std::string& name)
{
    ASSERT_FALSE(p.Empty()) << name;
    EXPECT_TRUE(p.WritePng(kDir + "/" + name)) << name << ": is ImageMagick's convert installed?";
}

}  // namespace

TEST(ScreenshotTest, TheMainWindowInEveryStateAndBothDialogs)
{
    std::filesystem::create_directories(kDir);
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.Unfocus());
    Save(AsOnScreen(game), "main-window.png");

    // Under way: four guesses on the board, the next one half set.
    const std::string code = game.Value("Quorrel_Code");
    for (const char* guess : {"0123", "4567", "1032", "2301"}) {
        if (guess == code) continue;
        ASSERT_TRUE(game.SubmitGuess(guess)) << guess;
    }
    ASSERT_TRUE(game.SetPeg(1, 3));
    ASSERT_TRUE(game.SetPeg(2, 5));
    ASSERT_TRUE(game.Unfocus());
    Save(AsOnScreen(game), "mid-game.png");

    game.Click(w, G::CancelButton());
    const Window question = game.WaitForPaintedDialog("Question");
    ASSERT_NE(question, 0u);
    Save(AsOnScreen(game), "question.png");
    game.Click(question, G::YesButton());
    ASSERT_TRUE(game.WaitForDialogGone("Question"));
    ASSERT_TRUE(game.WaitForValue("stato", "1"));
    ASSERT_TRUE(game.Unfocus());
    Save(AsOnScreen(game), "abandoned.png");

    // A new game, won in two guesses.
    game.LookAtTheEnd();
    game.Click(w, G::GoButton());
    ASSERT_TRUE(game.WaitForValue("stato", "0"));
    ASSERT_TRUE(game.WaitForValue("col4", "0"));
    const std::string next = game.Value("Quorrel_Code");
    const std::string miss = next == "7777" ? "6666" : "7777";
    ASSERT_TRUE(game.SubmitGuess(miss));
    ASSERT_TRUE(game.SetGuess(next));
    game.Click(w, G::GoButton());
    const Window win = game.WaitForPaintedDialog("Quorrel - https://www.quorrel.example");
    ASSERT_NE(win, 0u);
    Save(AsOnScreen(game), "message-box.png");
    game.Click(win, G::OkButton());
    ASSERT_TRUE(game.WaitForDialogGone("Quorrel - https://www.quorrel.example"));
    ASSERT_TRUE(game.Unfocus());
    Save(AsOnScreen(game), "solved.png");

    game.Click(w, G::InfoButton());
    const Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    Save(game.Grab(about), "about.png");
    Save(AsOnScreen(game), "about-over-game.png");
    game.PressKey(about, 0xFF1B /* Escape */);
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));

    EXPECT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}
