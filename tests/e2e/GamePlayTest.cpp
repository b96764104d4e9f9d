// The game played through its window, as a person plays it: pegs, guesses, the
// answers on the board, winning, abandoning, and the stored game behind it all.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <string>
#include <thread>
#include <vector>

#include "Colours.h"
#include "GameSession.h"
#include "StoredGame.h"
#include "game/HintFinder.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

constexpr int kHole = 14;

// A stored game in progress with a known code and the given history.
GameSession::Options StoredGame(const std::string& code, const std::string& history = "",
                                const std::string& state = "0")
{
    GameSession::Options o;
    o.settings = GameValues(code, history, state);
    return o;
}

std::string Record(const std::string& guess, const std::string& code)
{
    const auto [exact, colourOnly] = Score(guess, code);
    return guess + std::to_string(exact) + std::to_string(colourOnly);
}

// Board row `row` shows the four pegs of `guess`.
::testing::AssertionResult RowShows(GameSession& game, int row, const std::string& guess)
{
    for (int k = 1; k <= 4; ++k)
        if (!game.WaitForPeg(game.MainWindow(), G::BoardPeg(row, k), guess[k - 1] - '0', 2s))
            return ::testing::AssertionFailure() << "row " << row << " peg " << k << " is not colour " << guess[k - 1];
    return ::testing::AssertionSuccess();
}

// Board row `row` shows four holes and no answer.
::testing::AssertionResult RowEmpty(GameSession& game, int row)
{
    for (int k = 1; k <= 4; ++k)
        if (game.Grab(game.MainWindow(), G::BoardPeg(row, k)) != SheetPicture(kHole))
            return ::testing::AssertionFailure() << "row " << row << " peg " << k << " is not a hole";
    if (game.Grab(game.MainWindow(), G::AnswerCell(row)).CountNot(kWhite) != 0)
        return ::testing::AssertionFailure() << "row " << row << " has an answer";
    return ::testing::AssertionSuccess();
}

// Every click so far has been handled: the about box opens on top of them and
// Escape closes it again.
void RoundTrip(GameSession& game)
{
    game.Click(game.MainWindow(), G::InfoButton());
    const Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    game.PressKey(about, XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));
    ASSERT_TRUE(game.Unfocus());
}

void ExpectCleanQuit(GameSession& game)
{
    EXPECT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

}  // namespace

TEST(GamePlayTest, ANewGameIsEmptyAndEachPressOnAPegShowsAndStoresTheNextColour)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();

    // The first start stores a fresh game.
    EXPECT_EQ(game.RawValue("Quorrel_Bag"), "\n");
    const std::string code = game.Value("Quorrel_Code");
    ASSERT_EQ(code.size(), 4u);
    for (char c : code) EXPECT_TRUE(c >= '0' && c <= '7') << code;
    EXPECT_EQ(game.Value("stato"), "0");
    EXPECT_EQ(game.InputValues(), "0000");
    for (int row = 1; row <= 10; ++row) EXPECT_TRUE(RowEmpty(game, row));
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), 0)) << k;
        EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), 8)) << k;
    }
    EXPECT_GT(game.Grab(w, G::AttemptsCell()).CountNot(kCream), 0);

    // Peg 2 goes once round the whole cycle; the others stay where they are.
    for (int step = 1; step <= 8; ++step) {
        const int colour = step % 8;
        game.Click(w, G::InputPeg(2));
        ASSERT_TRUE(game.WaitForValue("col2", std::to_string(colour))) << "step " << step;
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(2), colour)) << "colour " << colour;
        EXPECT_EQ(game.InputValues(), "0" + std::to_string(colour) + "00");
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(1), 0));
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(3), 0));
    }
    // The right button steps a peg back; the middle one does nothing.
    game.Click(w, G::InputPeg(4), 3);
    ASSERT_TRUE(game.WaitForValue("col4", "7"));
    game.Click(w, G::InputPeg(4), 2);
    RoundTrip(game);
    EXPECT_EQ(game.Value("col4"), "7");
    EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(4), 7, 0ms));
    EXPECT_EQ(game.Value("Quorrel_Code"), code);
    EXPECT_EQ(game.Value("stato"), "0");
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, AScoredGuessGoesToTheBottomRowWithItsAnswerAndClearsTheInputRow)
{
    GameSession game(StoredGame("6147"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    const Pixels counterBefore = game.Grab(w, G::AttemptsCell());

    ASSERT_TRUE(game.SubmitGuess("0123"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), "012310");
    EXPECT_TRUE(RowShows(game, 10, "0123"));
    const Pixels answer10 = game.Grab(w, G::AnswerCell(10));
    EXPECT_GT(answer10.CountNot(kWhite), 10) << "no text in the answer cell";
    for (int row = 1; row <= 9; ++row) EXPECT_TRUE(RowEmpty(game, row));
    EXPECT_EQ(game.InputValues(), "0000");
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), 0)) << k;
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), 8)) << "code peg " << k;
    EXPECT_NE(game.Grab(w, G::AttemptsCell()), counterBefore);

    // The second guess goes above the first; the third has the first one's answer.
    ASSERT_TRUE(game.SubmitGuess("4556"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), "012310;455602");
    ASSERT_TRUE(game.SubmitGuess("0133"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), "012310;455602;013310");
    EXPECT_TRUE(RowShows(game, 10, "0123"));
    EXPECT_TRUE(RowShows(game, 9, "4556"));
    EXPECT_TRUE(RowShows(game, 8, "0133"));
    EXPECT_TRUE(RowEmpty(game, 7));
    EXPECT_EQ(game.Grab(w, G::AnswerCell(10)), answer10) << "the first answer changed when others came";
    EXPECT_EQ(game.Grab(w, G::AnswerCell(8)), answer10) << "P 1 C 0 looks different in another row";
    EXPECT_NE(game.Grab(w, G::AnswerCell(9)), answer10) << "P 0 C 2 looks like P 1 C 0";
    EXPECT_EQ(game.Value("stato"), "0");
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, TheRightCodeWinsRevealsTheCodeAndOffersANewGame)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    const Pixels goCaption = game.Grab(w, G::GoButton());
    const Pixels cancelEnabled = game.Grab(w, G::CancelButton());
    const std::string code = game.Value("Quorrel_Code");
    ASSERT_EQ(code.size(), 4u);

    ASSERT_TRUE(game.SetGuess(code));
    game.Click(w, G::GoButton());
    const Window box = game.WaitForPaintedDialog("Quorrel - https://www.quorrel.example");
    ASSERT_NE(box, 0u) << "no win message";
    EXPECT_EQ(game.Value("Quorrel_Bag"), code + "40");
    EXPECT_EQ(game.Value("stato"), "2");
    // The board was complete before the box came: last row, revealed code, NEW GAME.
    EXPECT_TRUE(RowShows(game, 10, code));
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), code[k - 1] - '0', 1s)) << "code peg " << k;
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), code[k - 1] - '0', 1s)) << "input peg " << k;
    }
    EXPECT_NE(game.Grab(w, G::GoButton()), goCaption);
    EXPECT_NE(game.Grab(w, G::CancelButton()), cancelEnabled);
    EXPECT_EQ(game.Geometry(box).x, 101 + (800 - 250) / 2);
    EXPECT_EQ(game.Geometry(box).y, 101 + (600 - 150) / 2);
    // OK box: a single button, the message on a grey label.
    EXPECT_GT(game.Grab(box, G::MessageLabel()).CountNot(0xB7B7B7), 10);
    EXPECT_EQ(game.Grab(box, G::NoButton()).CountNot(0xAAAAAA), 0) << "an OK box shows a second button";

    game.Click(box, G::OkButton());
    ASSERT_TRUE(game.WaitForDialogGone("Quorrel - https://www.quorrel.example"));
    ASSERT_TRUE(game.Unfocus());
    const Pixels solved = game.Grab(w, {0, 0, 800, 600});

    // A solved game ignores the pegs and the disabled CANCEL.
    game.Click(w, G::InputPeg(1));
    game.Click(w, G::CancelButton());
    RoundTrip(game);
    EXPECT_FALSE(game.WaitForDialog("Question", 0ms));
    EXPECT_EQ(game.InputValues(), code);
    EXPECT_EQ(game.Grab(w, {0, 0, 800, 600}).Difference(solved), "");

    // NEW GAME: a fresh code, an empty board, GO and CANCEL as at the start.
    GameSession::LookAtTheEnd();
    game.Click(w, G::GoButton());
    ASSERT_TRUE(game.WaitForValue("stato", "0"));
    EXPECT_TRUE(game.WaitForValue("Quorrel_Bag", ""));
    EXPECT_TRUE(game.WaitForValue("col4", "0"));
    ASSERT_TRUE(game.Unfocus());
    EXPECT_TRUE(game.WaitForPixels(w, G::GoButton(), goCaption));
    EXPECT_TRUE(game.WaitForPixels(w, G::CancelButton(), cancelEnabled));
    EXPECT_EQ(game.InputValues(), "0000");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), 8)) << k;
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), 0)) << k;
    }
    for (int row = 1; row <= 10; ++row) EXPECT_TRUE(RowEmpty(game, row));
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, AbandoningAsksFirstAndTheBlockedBoardIgnoresClicksMeanwhile)
{
    GameSession game(StoredGame("3355", "012300"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.SetPeg(1, 2));
    ASSERT_TRUE(game.Unfocus());
    const Pixels before = game.Grab(w, {0, 0, 800, 600});
    const Pixels cancelEnabled = game.Grab(w, G::CancelButton());

    // NO: the question goes and nothing has changed, also not from the peg clicked
    // while the question was open.
    game.Click(w, G::CancelButton());
    Window question = game.WaitForPaintedDialog("Question");
    ASSERT_NE(question, 0u);
    EXPECT_EQ(game.Geometry(question).x, 376);
    EXPECT_EQ(game.Geometry(question).y, 326);
    game.Click(w, G::InputPeg(1));
    game.Click(w, G::GoButton());
    EXPECT_NE(game.WaitForDialog("Question", 1s), 0u) << "a click on the blocked board closed the question";
    EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(1), 2, 0ms));
    game.Click(question, G::NoButton());
    ASSERT_TRUE(game.WaitForDialogGone("Question"));
    ASSERT_TRUE(game.Unfocus());
    EXPECT_TRUE(game.WaitForPixels(w, {0, 0, 800, 600}, before)) << "the board changed after NO";
    EXPECT_EQ(game.InputValues(), "2000");
    EXPECT_EQ(game.Value("Quorrel_Bag"), "012300");
    EXPECT_EQ(game.Value("stato"), "0");

    // YES: the input row goes, the code shows, CANCEL is disabled; the guesses stay.
    game.Click(w, G::CancelButton());
    question = game.WaitForPaintedDialog("Question");
    ASSERT_NE(question, 0u);
    game.Click(question, G::YesButton());
    ASSERT_TRUE(game.WaitForValue("stato", "1"));
    ASSERT_TRUE(game.WaitForValue("col1", "0"));
    ASSERT_TRUE(game.WaitForDialogGone("Question"));
    EXPECT_EQ(game.InputValues(), "0000");
    EXPECT_EQ(game.Value("Quorrel_Code"), "3355");
    EXPECT_EQ(game.Value("Quorrel_Bag"), "012300");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), "3355"[k - 1] - '0')) << "code peg " << k;
        EXPECT_TRUE(game.WaitForPixels(w, G::InputPeg(k), Pixels{50, 40, std::vector<uint32_t>(2000, kCream)}))
            << "input peg " << k << " still shows";
    }
    EXPECT_TRUE(RowShows(game, 10, "0123"));
    EXPECT_NE(game.Grab(w, G::CancelButton()), cancelEnabled);

    // The hidden pegs and the disabled CANCEL do nothing.
    game.Click(w, G::InputPeg(2));
    game.Click(w, G::CancelButton());
    RoundTrip(game);
    EXPECT_FALSE(game.WaitForDialog("Question", 0ms));
    EXPECT_EQ(game.InputValues(), "0000");
    EXPECT_EQ(game.Value("stato"), "1");
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, TwelveGuessesShowTheNewestTenAndARestartRestoresTheWindowExactly)
{
    GameSession::Options options = StoredGame("7777");
    GameSession game(options);
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    // Guesses that never contain the code's colour, each one different.
    std::vector<std::string> guesses;
    for (int i = 1; i <= 12; ++i) guesses.push_back(std::to_string(i % 7) + std::to_string(i / 7) + "00");
    Pixels counter11;
    for (size_t i = 0; i < guesses.size(); ++i) {
        ASSERT_TRUE(game.SubmitGuess(guesses[i])) << "guess " << i + 1;
        if (i == 10) counter11 = game.Grab(w, G::AttemptsCell());
    }
    const std::vector<std::string> records = Records(game.Value("Quorrel_Bag"));
    ASSERT_EQ(records.size(), 12u) << game.Value("Quorrel_Bag");
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i], Record(guesses[i], "7777"));
    // Row 1 the newest (12th), row 10 the 3rd.
    for (int row = 1; row <= 10; ++row) EXPECT_TRUE(RowShows(game, row, guesses[static_cast<size_t>(12 - row)]));
    EXPECT_NE(game.Grab(w, G::AttemptsCell()), counter11);
    ASSERT_TRUE(game.SetPeg(3, 5));

    ASSERT_TRUE(game.Unfocus());
    const Pixels before = game.Grab(w, {0, 0, 800, 600});
    ASSERT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();

    // Again in the same folder: the same board, pixel for pixel, the input peg included.
    GameSession::Options again;
    again.workDir = game.WorkDir();
    GameSession restarted(again);
    ASSERT_TRUE(restarted.Start()) << restarted.Stderr();
    const Pixels after = restarted.WaitForSteady(restarted.MainWindow(), {0, 0, 800, 600});
    EXPECT_EQ(after.Difference(before), "");
    EXPECT_EQ(restarted.InputValues(), "0050");
    ExpectCleanQuit(restarted);
}

TEST(GamePlayTest, AStoredSolvedGameWithCarriageReturnsIsShownSolved)
{
    GameSession::Options o = StoredGame("2461", "000000;246140", "2");
    o.settings["stato"] = " 2\r\n";
    o.settings["Quorrel_Code"] = "2461\r\n";
    o.settings["col1"] = "2\r\n";
    o.settings["col2"] = "4\r\n";
    o.settings["col3"] = "6\r\n";
    o.settings["col4"] = "1\r\n";
    GameSession game(o);
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_TRUE(game.WaitForPeg(w, G::CodePeg(k), "2461"[k - 1] - '0')) << "code peg " << k;
        EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), "2461"[k - 1] - '0')) << "input peg " << k;
    }
    EXPECT_TRUE(RowShows(game, 10, "0000"));
    EXPECT_TRUE(RowShows(game, 9, "2461"));
    EXPECT_TRUE(RowEmpty(game, 8));
    // Loading alone stores nothing: the files are as they were written.
    EXPECT_EQ(game.RawValue("stato"), " 2\r\n");
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, ALongStoredGameComesBackWhole)
{
    // 40 guesses make a history of 279 characters, longer than a line of 255.
    std::string history;
    std::vector<std::string> guesses;
    for (int i = 0; i < 40; ++i) {
        guesses.push_back(std::to_string(i % 7) + std::to_string(i / 7) + "00");
        history += (history.empty() ? "" : ";") + Record(guesses.back(), "7777");
    }
    ASSERT_GT(history.size(), 255u);
    GameSession game(StoredGame("7777", history));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    EXPECT_TRUE(RowShows(game, 1, guesses[39]));
    EXPECT_TRUE(RowShows(game, 10, guesses[30]));
    ASSERT_TRUE(game.SubmitGuess("6600"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), history + ";" + Record("6600", "7777"));
    EXPECT_TRUE(RowShows(game, 1, "6600"));
    EXPECT_TRUE(RowShows(game, 10, guesses[31]));
    ExpectCleanQuit(game);
}

TEST(GamePlayTest, DamagedValueFilesNeitherCrashNorSpoilTheGame)
{
    {
        // A code that is no code: a fresh game instead.
        GameSession game(StoredGame("9x", "012300", "1"));
        ASSERT_TRUE(game.Start()) << game.Stderr();
        EXPECT_TRUE(game.WaitForValue("stato", "0"));
        const std::string code = game.Value("Quorrel_Code");
        ASSERT_EQ(code.size(), 4u);
        for (char c : code) EXPECT_TRUE(c >= '0' && c <= '7') << code;
        for (int row = 1; row <= 10; ++row) EXPECT_TRUE(RowEmpty(game, row));
        ExpectCleanQuit(game);
    }
    {
        // Broken records and colours around good ones: the good ones stay and play on.
        GameSession::Options o = StoredGame("1234", "1234;99999999;abcdef;012303;5;", "0");
        o.settings["col1"] = "42\n";
        o.settings["col2"] = "-3\n";
        GameSession game(o);
        ASSERT_TRUE(game.Start()) << game.Stderr();
        EXPECT_TRUE(RowShows(game, 10, "0123"));
        EXPECT_TRUE(RowEmpty(game, 9));
        for (int k = 1; k <= 4; ++k) EXPECT_TRUE(game.WaitForPeg(game.MainWindow(), G::InputPeg(k), 0)) << k;
        ASSERT_TRUE(game.SubmitGuess("5555"));
        EXPECT_EQ(game.Value("Quorrel_Bag"), "012303;555500");
        EXPECT_TRUE(RowShows(game, 9, "5555"));
        ExpectCleanQuit(game);
    }
}

TEST(GamePlayTest, ReturnOnTheFocusedGoButtonSubmitsTheNextGuessAndCanWin)
{
    GameSession game(StoredGame("0000"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.SubmitGuess("1000"));  // GO now has the keyboard focus
    EXPECT_EQ(game.Value("Quorrel_Bag"), "100030");
    game.PressKey(w, XK_Return);
    const Window box = game.WaitForPaintedDialog("Quorrel - https://www.quorrel.example");
    ASSERT_NE(box, 0u) << "Return did not submit the cleared row, which is the code";
    EXPECT_EQ(game.Value("Quorrel_Bag"), "100030;000040");
    EXPECT_EQ(game.Value("stato"), "2");
    game.Click(box, G::OkButton());
    ASSERT_TRUE(game.WaitForDialogGone("Quorrel - https://www.quorrel.example"));
    EXPECT_EQ(game.Value("stato"), "2");
    ExpectCleanQuit(game);
}

// ---------------------------------------------------------------- keys and the right button

namespace {

constexpr const char* kWinTitle = "Quorrel - https://www.quorrel.example";

// The digit key for colour c (key "1" is colour 0).
unsigned long DigitKey(char colour) { return XK_1 + static_cast<unsigned long>(colour - '0'); }

void TypeGuess(GameSession& game, const std::string& guess)
{
    for (char c : guess) game.PressKey(game.MainWindow(), DigitKey(c));
}

// The mark under input peg k (1..4): waits until it is drawn (or, with `shown`
// false, until the band under the peg is bare cream).
bool MarkUnder(GameSession& game, int k, bool shown = true)
{
    Pixels expected;
    expected.width = 40;
    expected.height = 5;
    expected.rgb.assign(200, shown ? kBlack : kCream);
    return game.WaitForPixels(game.MainWindow(), {55 + 51 * (k - 1) + 5, 285, 40, 5}, expected, 3s);
}

}  // namespace

TEST(GamePlayTest, AWholeGameWithKeysAloneWinsConfirmsAndStartsAnew)
{
    GameSession game(StoredGame("1234"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    const Pixels board = game.Grab(w, {0, 0, 800, 600});

    // A wrong guess first: digits set the pegs in turn, Return plays it.
    TypeGuess(game, "0011");
    EXPECT_TRUE(game.WaitForValue("col4", "1"));
    EXPECT_EQ(game.InputValues(), "0011");
    EXPECT_TRUE(MarkUnder(game, 1)) << "after the fourth digit the first peg is current again";
    game.PressKey(w, XK_Return);
    ASSERT_TRUE(game.WaitForValue("Quorrel_Bag", Record("0011", "1234")));
    EXPECT_TRUE(RowShows(game, 10, "0011"));

    // The keypad's Enter plays as well; the right code wins.
    TypeGuess(game, "1234");
    game.PressKey(w, XK_KP_Enter);
    const Window box = game.WaitForPaintedDialog(kWinTitle);
    ASSERT_NE(box, 0u) << "no win message";
    EXPECT_EQ(game.Value("stato"), "2");

    // Return answers with the box's focused OK; Return on the board then starts anew.
    game.PressKey(box, XK_Return);
    ASSERT_TRUE(game.WaitForDialogGone(kWinTitle));
    GameSession::LookAtTheEnd();
    game.PressKey(w, XK_Return);
    ASSERT_TRUE(game.WaitForValue("stato", "0"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), "");
    EXPECT_TRUE(MarkUnder(game, 1));  // painted after the board
    EXPECT_TRUE(RowEmpty(game, 10));

    // A mouse press takes the mark away: the window is as a mouse player sees it.
    ASSERT_TRUE(game.Unfocus());
    EXPECT_TRUE(MarkUnder(game, 1, false));
    EXPECT_EQ(game.Grab(w, {0, 270, 315, 40}), board.Crop(0, 270, 315, 40));
    ASSERT_TRUE(game.Quit());
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

TEST(GamePlayTest, ArrowsMoveAndChangeTheCurrentPegAndTheRightButtonStepsBack)
{
    GameSession game(StoredGame("1234"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();

    game.PressKey(w, XK_Left);  // from peg 1 round to peg 4
    EXPECT_TRUE(MarkUnder(game, 4));
    game.PressKey(w, XK_Up);
    EXPECT_TRUE(game.WaitForValue("col4", "1"));
    game.PressKey(w, XK_Right);  // round to peg 1
    game.PressKey(w, XK_Down);
    EXPECT_TRUE(game.WaitForValue("col1", "7"));
    game.PressKey(w, XK_Right);
    game.PressKey(w, XK_Down);
    game.PressKey(w, XK_Down);
    EXPECT_TRUE(game.WaitForValue("col2", "6"));
    EXPECT_TRUE(MarkUnder(game, 2));
    EXPECT_TRUE(MarkUnder(game, 1, false));

    // The right button on a peg goes back one colour and takes the mark away.
    game.Click(w, G::InputPeg(3), 3);
    EXPECT_TRUE(game.WaitForValue("col3", "7"));
    EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(3), 7));
    EXPECT_TRUE(MarkUnder(game, 2, false));
    game.Click(w, G::InputPeg(3), 3);
    EXPECT_TRUE(game.WaitForValue("col3", "6"));
    EXPECT_EQ(game.InputValues(), "7661");
    ASSERT_TRUE(game.Quit());
}

TEST(GamePlayTest, ADoubleClickOnGoPlaysOneGuessAndReturnOnAQuestionAnswersNo)
{
    GameSession game(StoredGame("1234"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();

    ASSERT_TRUE(game.SetPeg(1, 1));
    game.Click(w, G::GoButton());
    game.Click(w, G::GoButton());
    ASSERT_TRUE(game.WaitForValue("Quorrel_Bag", Record("1000", "1234")));
    // A guess with a peg changed in between is never dropped, however fast.
    game.Click(w, G::InputPeg(2));
    game.Click(w, G::GoButton());
    EXPECT_TRUE(game.WaitForValue("Quorrel_Bag", Record("1000", "1234") + ";" + Record("0100", "1234")));
    game.Click(w, G::GoButton());  // the second half of a double click again
    RoundTrip(game);
    EXPECT_EQ(Records(game.Value("Quorrel_Bag")).size(), 2u);

    // A question opens on NO: Return keeps the game.
    game.Click(w, G::CancelButton());
    const Window box = game.WaitForPaintedDialog("Question");
    ASSERT_NE(box, 0u);
    game.PressKey(box, XK_Return);
    ASSERT_TRUE(game.WaitForDialogGone("Question"));
    EXPECT_EQ(game.Value("stato"), "0");
    // Escape closes it like its close box.
    game.Click(w, G::CancelButton());
    ASSERT_NE(game.WaitForPaintedDialog("Question"), 0u);
    game.PressKey(game.WaitForDialog("Question"), XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Question"));
    EXPECT_EQ(game.Value("stato"), "0");
    ASSERT_TRUE(game.Quit());
}

TEST(GamePlayTest, TheFocusComesBackToTheButtonThatOpenedADialog)
{
    GameSession game(StoredGame("1234"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();

    // Tab to EXIT (INFO comes first), Return asks; Return again answers NO.
    game.PressKey(w, XK_Tab);
    game.PressKey(w, XK_Tab);
    game.PressKey(w, XK_Return);
    Window box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u);
    // Each Return after a look longer than a double tap: a quick second one is swallowed.
    G::LookAtTheEnd();
    game.PressKey(box, XK_Return);
    ASSERT_TRUE(game.WaitForDialogGone("Exit"));
    // EXIT has the focus again: Return asks once more instead of playing GO.
    G::LookAtTheEnd();
    game.PressKey(w, XK_Return);
    box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u) << "the focus did not come back to EXIT";
    EXPECT_EQ(game.Value("Quorrel_Bag"), "");
    // Tab goes from the safe NO to YES, and Space presses it.
    game.PressKey(box, XK_Tab);
    game.PressKey(box, XK_space);
    const ProgramRunner::Outcome end = game.WaitForExit();
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.exitCode, 0);
}

TEST(GamePlayTest, ACloseRequestOnTheBlockedWindowOnlyRaisesTheDialog)
{
    GameSession game(StoredGame("1234"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    game.Click(w, G::InfoButton());
    const Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);

    ASSERT_TRUE(game.RequestClose(w));
    EXPECT_EQ(game.WaitForDialog("Exit", 500ms), 0u) << "a second question opened over the about box";
    EXPECT_NE(game.WaitForDialog("Info...", 0ms), 0u);
    // The board stays blocked until the about box is closed.
    game.Click(w, G::InputPeg(1));
    EXPECT_FALSE(game.WaitForValue("col1", "1", 300ms));
    game.PressKey(about, XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));
    game.Click(w, G::InputPeg(1));
    EXPECT_TRUE(game.WaitForValue("col1", "1"));
    ASSERT_TRUE(game.Quit());
}

// ---------------------------------------------------------------- hint, keys and statistics

namespace {
// S opens the statistics; their pixels, once the window is steady. The key closes
// it, or without one the close box.
Pixels StatisticsWindow(GameSession& game, unsigned long closeKey = XK_Escape)
{
    game.PressKey(game.MainWindow(), XK_s);
    const Window stats = game.WaitForPaintedDialog("Statistics");
    if (!stats) return {};
    const Pixels shown = game.Grab(stats);
    if (closeKey)
        game.PressKey(stats, closeKey);
    else
        game.RequestClose(stats);
    return game.WaitForDialogGone("Statistics") ? shown : Pixels{};
}
}  // namespace

TEST(GamePlayTest, HintKeysAndStatisticsCountEveryFinishedGameOnceThroughRestartsAndAKill)
{
    GameSession game(StoredGame("0123", "000010"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.Unfocus());
    const Pixels board = game.Grab(w);

    // F1 and S leave the window as it was; H stores and shows the hint's guess.
    game.PressKey(w, XK_F1);
    ASSERT_NE(game.WaitForPaintedDialog("Keys"), 0u);
    game.PressKey(game.WaitForDialog("Keys"), XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Keys"));
    ASSERT_FALSE(StatisticsWindow(game).Empty());
    // Polled: the window repaints what the dialogs covered.
    EXPECT_TRUE(game.WaitForPixels(w, {0, 0, 800, 600}, board)) << game.Grab(w).Difference(board);
    const std::string hint = HintFinder::Find("000010").guess;
    game.PressKey(w, XK_h);
    ASSERT_NE(game.WaitForPaintedDialog("Hint"), 0u);
    EXPECT_EQ(game.InputValues(), hint);
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(game.WaitForPeg(w, G::InputPeg(k), hint[k - 1] - '0')) << k;
    game.PressKey(game.WaitForDialog("Hint"), XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Hint"));

    // Won in two guesses, then a game given up.
    ASSERT_TRUE(game.SubmitGuess("0123"));
    game.PressKey(game.WaitForPaintedDialog(kWinTitle), XK_Return);
    ASSERT_TRUE(game.WaitForDialogGone(kWinTitle));
    game.LookAtTheEnd();
    game.PressKey(w, XK_Return);
    ASSERT_TRUE(game.WaitForValue("stato", "0"));
    game.Click(w, G::CancelButton());
    game.Click(game.WaitForPaintedDialog("Question"), G::YesButton());
    ASSERT_TRUE(game.WaitForValue("stato", "1"));
    const Pixels stats = StatisticsWindow(game);
    ASSERT_FALSE(stats.Empty());
    ExpectCleanQuit(game);

    // The same statistics after a restart; then a win killed at once counts once.
    GameSession::Options again;
    again.workDir = game.WorkDir();
    GameSession restarted(again);
    ASSERT_TRUE(restarted.Start()) << restarted.Stderr();
    EXPECT_EQ(StatisticsWindow(restarted, XK_Return).Difference(stats), "");
    restarted.LookAtTheEnd();
    restarted.PressKey(restarted.MainWindow(), XK_Return);
    ASSERT_TRUE(restarted.WaitForValue("stato", "0"));
    TypeGuess(restarted, restarted.Value("Quorrel_Code"));
    restarted.PressKey(restarted.MainWindow(), XK_Return);
    ASSERT_TRUE(restarted.WaitForValue("stato", "2"));
    restarted.Runner().Kill();

    GameSession afterKill(again);
    ASSERT_TRUE(afterKill.Start()) << afterKill.Stderr();
    // Solved in 1 and in 2 guesses, one given up; a run of one; 3 guesses in all.
    EXPECT_EQ(afterKill.Value("Quorrel_Stats"), "1;1;0;0;0;0;0;0;0;0;1;1;1;1;3");
    EXPECT_NE(StatisticsWindow(afterKill, 0).Difference(stats), "");
    ExpectCleanQuit(afterKill);
}

// ---------------------------------------------------------------- habits

namespace {

// Holds `k` down on `w` for `held` while the server repeats it quickly.
void HoldKey(Display* d, Window w, KeySym k, std::chrono::milliseconds held)
{
    XkbSetAutoRepeatRate(d, XkbUseCoreKbd, 100, 30);
    XAutoRepeatOn(d);
    XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    G::Type(d, k, held);
}

void ClickTimes(GameSession& game, Rect r, int times)
{
    for (int i = 0; i < times; ++i, std::this_thread::sleep_for(200ms)) game.Click(game.MainWindow(), r);
}

struct Habit {
    const char* what;
    std::string history, state;
    void (*act)(GameSession&);
    void (*check)(GameSession&);  // after every input has been handled
};

}  // namespace

// Ordinary habits with keys and the mouse each give exactly the one intended action.
TEST(GamePlayTest, HeldKeysQuickClicksAndMouseThenKeysActOnce)
{
    const Habit habits[] = {
        {"held Return wins once and leaves the win notice up", "", "0",
         [](G& g) {
             TypeGuess(g, "1234");
             ASSERT_TRUE(g.WaitForValue("col4", "4"));
             HoldKey(g.GetDisplay(), g.MainWindow(), XK_Return, 1500ms);
             ASSERT_NE(g.WaitForPaintedDialog(kWinTitle), 0u);
         },
         [](G& g) {
             EXPECT_NE(g.WaitForDialog(kWinTitle), 0u);
             EXPECT_EQ(g.Value("Quorrel_Bag"), Record("1234", "1234"));
         }},
        {"triple click on GO plays one guess", "", "0", [](G& g) { ClickTimes(g, G::GoButton(), 3); },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), Record("0000", "1234")); }},
        {"Return tapped twice plays one guess", "", "0",
         [](G& g) {
             for (int i = 0; i < 2; ++i) g.PressKey(g.MainWindow(), XK_Return);
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), Record("0000", "1234")); }},
        {"triple click on NEW GAME starts a game without a guess", Record("1234", "1234"), "2",
         [](G& g) { ClickTimes(g, G::GoButton(), 3); },
         [](G& g) {
             EXPECT_EQ(g.Value("stato"), "0");
             EXPECT_EQ(g.Value("Quorrel_Bag"), "");
         }},
        {"Return twice on YES, 150 ms apart, gives up and leaves the code on show", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::CancelButton());
             const Window box = g.WaitForPaintedDialog("Question");
             ASSERT_NE(box, 0u);
             g.PressKey(box, XK_Tab);  // from NO to YES
             g.PressKey(box, XK_Return);
             std::this_thread::sleep_for(150ms);
             g.PressKey(g.MainWindow(), XK_Return);
         },
         [](G& g) { EXPECT_EQ(g.Value("stato"), "1"); }},
        {"Up after a click on peg 3 steps peg 3", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::InputPeg(3));
             g.PressKey(g.MainWindow(), XK_Up);
         },
         [](G& g) { EXPECT_EQ(g.InputValues(), "0020"); }},
        {"Tab after a click on a peg reaches INFO", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::InputPeg(3));
             g.PressKey(g.MainWindow(), XK_Tab);
             g.PressKey(g.MainWindow(), XK_Return);
             const Window about = g.WaitForPaintedDialog("Info...");
             ASSERT_NE(about, 0u) << "Tab did not move the focus";
             g.PressKey(about, XK_Escape);
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), ""); }},
        {"Return tapped twice on a win leaves the win notice up", "", "0",
         [](G& g) {
             TypeGuess(g, "1234");
             ASSERT_TRUE(g.WaitForValue("col4", "4"));
             for (int i = 0; i < 2; ++i) g.PressKey(g.MainWindow(), XK_Return);
             ASSERT_NE(g.WaitForPaintedDialog(kWinTitle), 0u) << "the second tap closed it";
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), Record("1234", "1234")); }},
        {"Return tapped twice on EXIT leaves the question up", "", "0",
         [](G& g) {
             for (KeySym k : {XK_Tab, XK_Tab, XK_Return, XK_Return}) g.PressKey(g.MainWindow(), k);  // to EXIT
             ASSERT_NE(g.WaitForPaintedDialog("Exit"), 0u) << "the second tap answered NO";
             g.PressKey(g.WaitForDialog("Exit"), XK_Escape);
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), ""); }},
        {"Return tapped twice to close S plays no guess", "", "0",
         [](G& g) {
             g.PressKey(g.MainWindow(), XK_s);
             for (Window w : {g.WaitForPaintedDialog("Statistics"), g.MainWindow()}) g.PressKey(w, XK_Return);
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), ""); }},
        {"a peg clicked after CANCEL's box was closed makes Return GO", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::CancelButton());
             g.PressKey(g.WaitForPaintedDialog("Question"), XK_Escape);
             g.Click(g.MainWindow(), G::InputPeg(1));
             g.PressKey(g.MainWindow(), XK_Return);
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), Record("1000", "1234")); }},
        {"a click on a link leaves Return to close the about box", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::InfoButton());
             const Window about = g.WaitForPaintedDialog("Info...");
             g.Click(about, Rect{208, 68, 200, 12});  // the web link
             g.PressKey(about, XK_Return);
             EXPECT_TRUE(g.WaitForDialogGone("Info..."));
         },
         [](G& g) { EXPECT_EQ(g.Value("Quorrel_Bag"), ""); }},
        {"a press on NO let go over YES keeps NO for Return", "", "0",
         [](G& g) {
             g.Click(g.MainWindow(), G::CancelButton());
             const Window box = g.WaitForPaintedDialog("Question");
             ASSERT_NE(box, 0u);
             G::Drag(g.GetDisplay(), box, G::NoButton(), G::YesButton(), 0ms);
             g.PressKey(box, XK_Return);
             EXPECT_TRUE(g.WaitForDialogGone("Question"));
         },
         [](G& g) { EXPECT_EQ(g.Value("stato"), "0"); }},
    };
    for (const Habit& h : habits) {
        SCOPED_TRACE(h.what);
        GameSession game(StoredGame("1234", h.history, h.state));
        ASSERT_TRUE(game.Start()) << game.Stderr();
        h.act(game);
        if (game.WaitForDialog(kWinTitle, 0ms) == 0) RoundTrip(game);
        h.check(game);
        EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
    }
}
