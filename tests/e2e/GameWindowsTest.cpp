// The game's windows around the board: the exit question (from EXIT and from the
// window manager's close request), the about box and its keys, and a start without
// the Data folder.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <string>

#include "GameSession.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

}  // namespace

TEST(GameWindowsTest, ExitAndTheCloseRequestAskFirstAndOnlyYesEndsTheProgram)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.Unfocus());
    const Pixels start = game.Grab(w, {0, 0, 800, 600});

    // The window manager's close box asks the exit question; NO keeps the game.
    ASSERT_TRUE(game.RequestClose(w));
    Window box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u) << "no exit question after the close request";
    // Centred on the main window's inside, which starts one border width in from
    // (100, 100): 101 + (800 - 250) / 2, 101 + (600 - 150) / 2.
    EXPECT_EQ(game.Geometry(box).x, 376);
    EXPECT_EQ(game.Geometry(box).y, 326);
    EXPECT_EQ(game.Geometry(box).w, 250);
    EXPECT_EQ(game.Geometry(box).h, 150);
    EXPECT_EQ(game.ProgramWindows().size(), 2u);
    game.Click(box, G::NoButton());
    ASSERT_TRUE(game.WaitForDialogGone("Exit"));
    EXPECT_TRUE(game.Running());
    ASSERT_TRUE(game.Unfocus());
    EXPECT_EQ(game.Grab(w, {0, 0, 800, 600}).Difference(start), "");

    // EXIT asks the same; NO again keeps it, and the board still plays.
    game.Click(w, G::ExitButton());
    box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u);
    game.Click(box, G::NoButton());
    ASSERT_TRUE(game.WaitForDialogGone("Exit"));
    EXPECT_TRUE(game.Running());
    game.Click(w, G::InputPeg(3));
    EXPECT_TRUE(game.WaitForValue("col3", "1"));

    // The close box of the question itself dismisses it like NO.
    game.Click(w, G::ExitButton());
    box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u);
    ASSERT_TRUE(game.RequestClose(box));
    ASSERT_TRUE(game.WaitForDialogGone("Exit"));
    EXPECT_TRUE(game.Running());
    game.Click(w, G::InputPeg(3));
    EXPECT_TRUE(game.WaitForValue("col3", "2")) << "the board stayed blocked";

    // A second close request while the question is open does not stack a second one.
    ASSERT_TRUE(game.RequestClose(w));
    box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u);
    ASSERT_TRUE(game.RequestClose(w));
    box = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(box, 0u);
    EXPECT_EQ(game.ProgramWindows().size(), 2u);

    // YES: the program ends with status 0 and its windows go.
    game.Click(box, G::YesButton());
    const ProgramRunner::Outcome end = game.WaitForExit();
    ASSERT_FALSE(end.timedOut);
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.exitCode, 0);
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
    EXPECT_EQ(game.Value("col3"), "2");
}

TEST(GameWindowsTest, InfoOpensTheAboutBoxCentredAndEscapeEnterDeleteAndOkCloseIt)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.Unfocus());
    const Pixels start = game.Grab(w, {0, 0, 800, 600});
    Pixels firstLook;

    for (const unsigned long key : {0xFF1Bul /* Escape */, 0xFF0Dul /* Return */, 0xFFFFul /* Delete */, 0ul}) {
        SCOPED_TRACE(key ? XKeysymToString(key) : "OK button");
        game.Click(w, G::InfoButton());
        const Window about = game.WaitForPaintedDialog("Info...");
        ASSERT_NE(about, 0u);
        const Rect g = game.Geometry(about);
        // 101 + (800 - 600) / 2, 101 + (600 - 210) / 2: centred on the main window's inside.
        EXPECT_EQ(g.x, 201);
        EXPECT_EQ(g.y, 296);
        EXPECT_EQ(g.w, 600);
        EXPECT_EQ(g.h, 210);
        EXPECT_EQ(game.ProgramWindows().size(), 2u);
        // Each opening shows the same box.
        const Pixels look = game.Grab(about);
        if (firstLook.Empty())
            firstLook = look;
        else
            EXPECT_EQ(look.Difference(firstLook), "");

        // The blocked board ignores a peg meanwhile (peg 1 sits left of the box).
        game.Click(w, G::InputPeg(1).x + 10, G::InputPeg(1).y + 20);

        if (key)
            game.PressKey(about, key);
        else
            game.Click(about, G::AboutOkButton());
        ASSERT_TRUE(game.WaitForDialogGone("Info...")) << "the about box stayed open";
        EXPECT_EQ(game.ProgramWindows().size(), 1u);
        EXPECT_EQ(game.Value("col1"), "0");
        ASSERT_TRUE(game.Unfocus());
        EXPECT_EQ(game.Grab(w, {0, 0, 800, 600}).Difference(start), "");
    }
    // The about box's own close box closes it too.
    game.Click(w, G::InfoButton());
    const Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    ASSERT_TRUE(game.RequestClose(about));
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));

    // The board takes clicks again.
    game.Click(w, G::InputPeg(1));
    EXPECT_TRUE(game.WaitForValue("col1", "1"));
    EXPECT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

TEST(GameWindowsTest, WithoutTheDataFolderTheGameStillStartsPlaysAndEnds)
{
    GameSession::Options o;
    o.withData = false;
    GameSession game(o);
    ASSERT_TRUE(game.Start()) << game.Stderr();
    EXPECT_TRUE(game.WaitForValue("stato", "0"));
    EXPECT_NE(game.Runner().Log().find("Data/resources50x40.bin: non trovato"), std::string::npos)
        << game.Runner().Log();
    // The pegs have no pictures but still take clicks.
    game.Click(game.MainWindow(), G::InputPeg(2));
    EXPECT_TRUE(game.WaitForValue("col2", "1"));
    EXPECT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}
