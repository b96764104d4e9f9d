// The game's windows around the board: the exit question (from EXIT and from the
// window manager's close request), the about box and its keys, a start without
// the Data folder, and every window enlarged where the desktop's font resolution
// asks for it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <string>

#include "GameSession.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

// `small` with each pixel as an s x s block.
Pixels Magnified(const Pixels& small, int s)
{
    Pixels big{small.width * s, small.height * s, {}};
    big.rgb.resize(static_cast<size_t>(big.width) * big.height);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) big.rgb[static_cast<size_t>(y) * big.width + x] = small.At(x / s, y / s);
    return big;
}

Rect Scaled(Rect r, int s) { return {r.x * s, r.y * s, r.w * s, r.h * s}; }

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
    ASSERT_TRUE(game.Answer("Quorrel")) << "the missing pictures are not told";
    // The pegs have no pictures but still take clicks.
    game.Click(game.MainWindow(), G::InputPeg(2));
    EXPECT_TRUE(game.WaitForValue("col2", "1"));
    EXPECT_TRUE(game.Quit()) << game.Stderr();
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

TEST(GameWindowsTest, TheDesktopsFontResolutionEnlargesEveryWindowPixelForPixelWhereItFits)
{
    struct Case {
        const char* what;
        int screenWidth, screenHeight, dpi, scale;
    };
    const Case cases[] = {
        {"4K at 192 dpi", 3840, 2160, 192, 2},
        {"4K at 288 dpi", 3840, 2160, 288, 3},
        {"1080p at 192 dpi, where 2x does not fit", 1920, 1080, 192, 1},
    };
    GameSession::Options stored;
    stored.withData = false;  // copied by hand: Start looks for the board at 1x places
    stored.settings = {{"Quorrel_Bag", "567800;124322\n"},
                       {"Quorrel_Code", "1234\n"},
                       {"stato", "0\n"},
                       {"col1", "3\n"},
                       {"col2", "0\n"},
                       {"col3", "5\n"},
                       {"col4", "7\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XvfbServer::Options o;
        o.width = c.screenWidth;
        o.height = c.screenHeight;
        XvfbServer server(o);
        ASSERT_TRUE(server.Ok());
        ScopedDisplayEnv env(server.DisplayName());
        const int s = c.scale;

        // The same stored game at 1x, and its about box.
        Pixels main1, about1;
        {
            GameSession game(stored);
            ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
            ASSERT_TRUE(game.Start()) << game.Stderr();
            ASSERT_TRUE(game.WaitForPixels(game.MainWindow(), G::BottomLeftPiece(), SheetPicture(6)));
            main1 = game.Grab(game.MainWindow());
            game.Click(game.MainWindow(), G::InfoButton());
            const Window about = game.WaitForPaintedDialog("Info...");
            ASSERT_NE(about, 0u);
            about1 = game.Grab(about);
        }

        GameSession game(stored);
        // As xrdb leaves it; the property lasts while the test's connection is open.
        const std::string resources = "Xft.dpi:\t" + std::to_string(c.dpi) + "\n";
        XChangeProperty(game.GetDisplay(), DefaultRootWindow(game.GetDisplay()), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        static_cast<int>(resources.size()));
        ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
        ASSERT_TRUE(game.Start()) << game.Stderr();
        const Window w = game.MainWindow();
        ASSERT_TRUE(game.WaitForPixels(w, Scaled(G::BottomLeftPiece(), s), Magnified(SheetPicture(6), s)));
        const Rect mainGeometry = game.Geometry(w);
        EXPECT_EQ(mainGeometry.w, 800 * s);
        EXPECT_EQ(mainGeometry.h, 600 * s);
        EXPECT_EQ(game.WaitForSteady(w, {0, 0, 800 * s, 600 * s}).Difference(Magnified(main1, s)), "");
        EXPECT_EQ(game.Runner().Log().find("asks for scale 2, which does not fit") != std::string::npos, s == 1);

        // The last pixel of the enlarged peg is still that peg.
        const Rect peg = Scaled(G::InputPeg(1), s);
        game.Click(w, peg.x + peg.w - 1, peg.y + peg.h - 1);
        EXPECT_TRUE(game.WaitForValue("col1", "4"));
        EXPECT_TRUE(game.WaitForPixels(w, peg, Magnified(SheetPicture(PictureOfColour(4)), s)));

        game.Click(w, Scaled(G::InfoButton(), s));
        const Window about = game.WaitForPaintedDialog("Info...");
        ASSERT_NE(about, 0u);
        const Rect g = game.Geometry(about);
        EXPECT_EQ(g.w, 600 * s);
        EXPECT_EQ(g.h, 210 * s);
        // Centred on the inside of the main window (within its 1-pixel border), in screen pixels.
        EXPECT_EQ(g.x - mainGeometry.x, 1 + (800 - 600) * s / 2);
        EXPECT_EQ(g.y - mainGeometry.y, 1 + (600 - 210) * s / 2);
        EXPECT_EQ(game.Grab(about).Difference(Magnified(about1, s)), "");
        game.Click(about, Scaled(G::AboutOkButton(), s));
        EXPECT_TRUE(game.WaitForDialogGone("Info..."));
        // The exit question is enlarged too, and YES where it shows ends the game.
        ASSERT_TRUE(game.RequestClose(w));
        const Window box = game.WaitForPaintedDialog("Exit");
        ASSERT_NE(box, 0u);
        EXPECT_EQ(game.Geometry(box).w, 250 * s);
        game.Click(box, Scaled(G::YesButton(), s));
        EXPECT_TRUE(game.WaitForExit().exited);
        EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
    }
}
