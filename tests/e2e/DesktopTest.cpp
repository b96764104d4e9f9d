// The game as a desktop window: the properties a window manager and a task bar read,
// one game per working directory, and the dialogs under a real window manager.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <csignal>
#include <sys/wait.h>
#include <string>
#include <vector>

#include "GameSession.h"
#include "ProgramRunner.h"
#include "TempDir.h"
#include "WindowProbe.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

std::vector<long> CardinalList(Display* d, Window w, const char* name, Atom type = XA_CARDINAL)
{
    std::vector<long> values;
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 1 << 20, False, type, &actual, &format, &count, &after,
                           &data) == Success &&
        data && format == 32)
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (data) XFree(data);
    return values;
}

// The sizes (width, height) of the icons in a _NET_WM_ICON value.
std::vector<std::pair<long, long>> IconSizes(const std::vector<long>& icons)
{
    std::vector<std::pair<long, long>> sizes;
    for (size_t at = 0; at + 2 <= icons.size();) {
        const long w = icons[at], h = icons[at + 1];
        sizes.emplace_back(w, h);
        at += 2 + static_cast<size_t>(w * h);
    }
    return sizes;
}

std::string Hostname()
{
    char name[HOST_NAME_MAX + 1] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

XWMHints Hints(Display* d, Window w)
{
    XWMHints result{};
    if (XWMHints* h = XGetWMHints(d, w)) {
        result = *h;
        XFree(h);
    }
    return result;
}

// The inside of `w` on the screen.
Rect Inside(Display* d, Window w)
{
    Window child, root;
    int x = 0, y = 0, gx, gy;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    XGetGeometry(d, w, &root, &gx, &gy, &width, &height, &border, &depth);
    return {x, y, static_cast<int>(width), static_cast<int>(height)};
}

void HumanClick(Display* d, Window w, Rect r) { G::Drag(d, w, r, r); }

// Polls `done` every 20 ms, at most `tries` times (30 s: only a fault waits that long).
template <class F>
bool Poll(F done, int tries = 1500)
{
    for (int i = 0; i < tries; ++i, usleep(20000))
        if (done()) return true;
    return false;
}

int MapState(Display* d, Window w)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(d, w, &a) ? a.map_state : -1;
}

Window Focus(Display* d)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    return focus;
}

// Whether a window manager holds the root's redirection (twm names itself nowhere).
bool WindowManagerUp(Display* d)
{
    XWindowAttributes a{};
    return XGetWindowAttributes(d, DefaultRootWindow(d), &a) && (a.all_event_masks & SubstructureRedirectMask);
}

}  // namespace

TEST(DesktopTest, TheWindowsCarryIconIdentityAndBelongToTheMainWindow)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    Display* d = game.GetDisplay();
    const Window w = game.MainWindow();

    EXPECT_EQ(CardinalList(d, w, "_NET_WM_PID"), std::vector<long>{game.Runner().Pid()});
    XTextProperty machine{};
    ASSERT_TRUE(XGetWMClientMachine(d, w, &machine));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(machine.value), machine.nitems), Hostname());
    XFree(machine.value);
    const std::vector<std::pair<long, long>> sizes = IconSizes(CardinalList(d, w, "_NET_WM_ICON"));
    for (long s : {16L, 32L, 48L})
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), std::make_pair(s, s)), sizes.end()) << s;
    const XWMHints mainHints = Hints(d, w);
    // The old hints' icon is a bitmap with a mask, as the conventions want.
    ASSERT_TRUE((mainHints.flags & IconPixmapHint) && (mainHints.flags & IconMaskHint));
    Window root;
    int x, y;
    unsigned iw, ih, border, depth = 0;
    ASSERT_TRUE(XGetGeometry(d, mainHints.icon_pixmap, &root, &x, &y, &iw, &ih, &border, &depth));
    EXPECT_EQ(depth, 1u);
    ASSERT_TRUE(mainHints.flags & WindowGroupHint);
    EXPECT_EQ(mainHints.window_group, w);

    // Both dialogs are transient for the main window and in its group.
    auto expectOwned = [&](Window dialog) {
        Window owner = 0;
        EXPECT_TRUE(XGetTransientForHint(d, dialog, &owner));
        EXPECT_EQ(owner, w);
        const XWMHints hints = Hints(d, dialog);
        EXPECT_TRUE(hints.flags & WindowGroupHint);
        EXPECT_EQ(hints.window_group, w);
        EXPECT_EQ(CardinalList(d, dialog, "_NET_WM_PID"), std::vector<long>{game.Runner().Pid()});
        EXPECT_FALSE(CardinalList(d, dialog, "_NET_WM_ICON").empty());
    };
    game.Click(w, G::InfoButton());
    const Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    expectOwned(about);
    game.PressKey(about, XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));
    game.Click(w, G::ExitButton());
    const Window question = game.WaitForPaintedDialog("Exit");
    ASSERT_NE(question, 0u);
    expectOwned(question);
    game.PressKey(question, XK_Escape);
    ASSERT_TRUE(game.WaitForDialogGone("Exit"));
    ASSERT_TRUE(game.Quit());
}

TEST(DesktopTest, ASecondStartInTheSameDirectoryRaisesTheRunningGameAndTouchesNothing)
{
    GameSession game;
    ASSERT_TRUE(game.Start()) << game.Stderr();
    Display* d = game.GetDisplay();
    const Window w = game.MainWindow();
    ASSERT_TRUE(game.SetPeg(2, 3));
    const Pixels board = game.Grab(w);
    const std::string log = game.Runner().Log();
    const std::string settings = game.Value("Quorrel_Code") + game.Value("stato") + game.InputValues();

    // Another window covers the game.
    const Window cover = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1000, 800, 0, 0, 0x123456);
    XMapRaised(d, cover);
    XSync(d, False);

    ProgramRunner second(QUORREL_PROGRAM);
    second.SetWorkDir(game.WorkDir());
    ASSERT_TRUE(second.Start());
    const ProgramRunner::Outcome end = second.Wait(20s);
    ASSERT_TRUE(end.exited) << second.Stderr();
    EXPECT_EQ(end.exitCode, 0);

    // The running game's window is on top again, unchanged, with its files and log.
    XSync(d, False);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count));
    ASSERT_GT(count, 0u);
    EXPECT_EQ(children[count - 1], w);
    XFree(children);
    XDestroyWindow(d, cover);
    XSync(d, False);
    EXPECT_EQ(game.ProgramWindows().size(), 1u);
    EXPECT_EQ(game.WaitForSteady(w, {0, 0, 800, 600}).Difference(board), "");
    EXPECT_EQ(game.Runner().Log(), log);
    EXPECT_EQ(game.Value("Quorrel_Code") + game.Value("stato") + game.InputValues(), settings);
    EXPECT_TRUE(game.Running());
    ASSERT_TRUE(game.Quit());

    // With the game gone the directory is free again.
    ProgramRunner third(QUORREL_PROGRAM);
    third.SetWorkDir(game.WorkDir());
    ASSERT_TRUE(third.Start());
    ASSERT_NE(WaitForWindowOfClass(d, "Quorrel.exe", 10s), 0u) << third.Stderr();
    // A killed game leaves no lock behind: the next start plays.
    third.Kill();
    ASSERT_TRUE(WaitForNoWindowOfClass(d, "Quorrel.exe", 10s));
    ProgramRunner fourth(QUORREL_PROGRAM);
    fourth.SetWorkDir(game.WorkDir());
    ASSERT_TRUE(fourth.Start());
    ASSERT_NE(WaitForWindowOfClass(d, "Quorrel.exe", 10s), 0u) << fourth.Stderr();
    EXPECT_TRUE(fourth.Running());
    fourth.Kill();
    ASSERT_TRUE(WaitForNoWindowOfClass(d, "Quorrel.exe", 10s));

    // A directory where the lock file goes: the working directory itself is locked, so
    // a second start still finds the running game and plays no game of its own.
    std::filesystem::remove(game.WorkDir() + "/quorrel.lock");
    std::filesystem::create_directory(game.WorkDir() + "/quorrel.lock");
    ProgramRunner fifth(QUORREL_PROGRAM), sixth(QUORREL_PROGRAM);
    fifth.SetWorkDir(game.WorkDir());
    sixth.SetWorkDir(game.WorkDir());
    ASSERT_TRUE(fifth.Start());
    ASSERT_NE(WaitForWindowOfClass(d, "Quorrel.exe", 10s), 0u) << fifth.Stderr();
    ASSERT_TRUE(sixth.Start());
    EXPECT_EQ(sixth.Wait(20s).exitCode, 0) << "a second game runs: " << sixth.Stderr();
    EXPECT_TRUE(fifth.Running());
    fifth.Kill();
}

TEST(DesktopTest, AGameThatCannotBeReachedIsNamedInAMessageBox)
{
    // The directory is locked by a process with no window on this display.
    ProgramRunner run(QUORREL_PROGRAM);
    const int fd = open((run.WorkDir() + "/quorrel.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(run.WriteFile("log.txt", "the running game's log\n"));
    const pid_t holder = fork();
    if (holder == 0) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (fcntl(fd, F_SETLK, &lock) != 0) _exit(1);
        pause();
        _exit(0);
    }
    ASSERT_GT(holder, 0);
    close(fd);
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    // Wait for the holder to take the lock before the start.
    ASSERT_TRUE(Poll([&] {
        const int probe = open((run.WorkDir() + "/quorrel.lock").c_str(), O_RDWR);
        struct flock test {};
        test.l_type = F_WRLCK;
        test.l_whence = SEEK_SET;
        const bool held = fcntl(probe, F_GETLK, &test) == 0 && test.l_type != F_UNLCK;
        close(probe);
        return held;
    }));

    ASSERT_TRUE(run.Start());
    const Window box = WaitForWindowOfClass(d, "Quorrel.exe", 60s);
    ASSERT_NE(box, 0u) << run.Stderr();
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(d, box, &name));
    EXPECT_STREQ(name, "Quorrel");
    XFree(name);
    // A window of its own in the task bar, it carries the game's icon.
    ASSERT_TRUE(run.WaitForIdle(60s, {ServerPid(d)}));
    EXPECT_FALSE(IconSizes(CardinalList(d, box, "_NET_WM_ICON")).empty());
    EXPECT_EQ(run.Log(), "the running game's log\n");
    EXPECT_FALSE(run.FileExists("Settings"));
    // Closed through the window manager's close request, the start ends with 0.
    SendDeleteWindow(d, box);
    const ProgramRunner::Outcome end = run.Wait(20s);
    EXPECT_TRUE(end.exited);
    EXPECT_EQ(end.exitCode, 0);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    XCloseDisplay(d);
}

// ---------------------------------------------------------------- under a window manager

TEST(DesktopTest, UnderAWindowManagerDialogsStayAboveTheirOwnerAndCloseThroughIt)
{
    XvfbServer server;
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    ProgramRunner wm("/usr/bin/openbox", {"--sm-disable"});
    ASSERT_TRUE(wm.Start()) << "openbox is missing: scripts/install-deps installs it";
    std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
    Display* d = connection.get();
    ASSERT_NE(d, nullptr);
    // The window manager is up once it holds the root, names itself there and has
    // finished starting (asleep, as is the server): a game mapped earlier races it.
    ASSERT_TRUE(Poll([&] {
        return WindowManagerUp(d) &&
               !CardinalList(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
    })) << wm.Stderr();
    ASSERT_TRUE(wm.WaitForIdle(60s, {ServerPid(d)})) << wm.Stderr();

    {
        GameSession game;
        ASSERT_TRUE(game.Start()) << game.Stderr();
        const Window w = game.MainWindow();
        ASSERT_TRUE(game.SetPeg(1, 1));

        // A question opens centred on the main window's inside, frame or no frame.
        ASSERT_TRUE(game.RequestClose(w));
        const Window question = game.WaitForPaintedDialog("Exit");
        ASSERT_NE(question, 0u);
        // One border width in from where each window is placed, as without a frame.
        const Rect main = Inside(d, w), box = Inside(d, question);
        EXPECT_EQ(box.x, main.x + (800 - 250) / 2 + 1);
        EXPECT_EQ(box.y, main.y + (600 - 150) / 2 + 1);
        game.PressKey(question, XK_Escape);
        ASSERT_TRUE(game.WaitForDialogGone("Exit"));

        // The about box stays above the main window when the main window is clicked.
        HumanClick(d, w, G::InfoButton());
        const Window about = game.WaitForPaintedDialog("Info...");
        ASSERT_NE(about, 0u);
        HumanClick(d, w, {30, 560, 1, 1});
        ASSERT_TRUE(game.WaitForIdle(60s, {wm.Pid()}));
        const std::vector<long> stacking =
            CardinalList(d, DefaultRootWindow(d), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
        const auto mainAt = std::find(stacking.begin(), stacking.end(), static_cast<long>(w));
        const auto aboutAt = std::find(stacking.begin(), stacking.end(), static_cast<long>(about));
        ASSERT_NE(mainAt, stacking.end());
        ASSERT_NE(aboutAt, stacking.end());
        EXPECT_GT(aboutAt, mainAt) << "the about box fell behind the main window";

        // Brought to the front by a second start, the game has the keyboard in the open
        // dialog, not in the blocked main window, which ignores keys.
        ProgramRunner second(QUORREL_PROGRAM);
        second.SetWorkDir(game.WorkDir());
        ASSERT_TRUE(second.Start());
        EXPECT_TRUE(second.Wait(20s).exited) << second.Stderr();
        ASSERT_TRUE(game.WaitForIdle(60s, {wm.Pid()}));
        EXPECT_EQ(Focus(d), about) << "the keyboard went to the blocked main window";

        // The window manager's close (as from the title bar) closes the box and frees the board.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = about;
        ev.xclient.message_type = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[1] = 2;
        XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        XFlush(d);
        ASSERT_TRUE(game.WaitForDialogGone("Info..."));
        HumanClick(d, w, G::InputPeg(1));
        EXPECT_TRUE(game.WaitForValue("col1", "2")) << "the board stayed blocked";
        ASSERT_TRUE(game.RequestClose(w));
        const Window exit = game.WaitForPaintedDialog("Exit");
        ASSERT_NE(exit, 0u);
        HumanClick(d, exit, G::YesButton());
        const ProgramRunner::Outcome end = game.WaitForExit();
        EXPECT_TRUE(end.exited);
        EXPECT_EQ(end.exitCode, 0);
        EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
    }
    connection.reset();
    wm.Kill(15);
    wm.Wait(5s);
}

// The keyboard-only game and the blocked window under window managers of every kind
// besides openbox (above): none, click to focus (icewm) and focus following the
// pointer (twm, with the pointer resting on the main window).
TEST(DesktopTest, UnderEveryWindowManagerTheKeyboardPlaysAndFollowsTheOpenDialog)
{
    TempDir config;
    ASSERT_TRUE(config.WriteFile("twmrc", "UsePPosition \"on\"\nRandomPlacement\n"));
    const std::vector<std::vector<std::string>> managers = {
        {}, {"/usr/bin/twm", "-f", config.File("twmrc")}, {"/usr/bin/icewm"}};
    for (const auto& command : managers) {
        SCOPED_TRACE(command.empty() ? "no window manager" : command[0]);
        XvfbServer server;
        ASSERT_TRUE(server.Ok());
        ScopedDisplayEnv env(server.DisplayName());
        std::unique_ptr<ProgramRunner> wm;
        std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
        Display* d = connection.get();
        ASSERT_NE(d, nullptr);
        if (!command.empty()) {
            wm = std::make_unique<ProgramRunner>(command[0],
                                                 std::vector<std::string>(command.begin() + 1, command.end()));
            ASSERT_TRUE(wm->Start()) << "scripts/install-deps installs " << command[0];
            // Ready once it holds the root and, where it names itself there, has done so.
            const bool named = command[0].find("twm") == std::string::npos;
            ASSERT_TRUE(Poll([&] {
                return WindowManagerUp(d) &&
                       (!named ||
                        !CardinalList(d, DefaultRootWindow(d), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty());
            })) << wm->Stderr();
        }
        GameSession game;
        ASSERT_TRUE(game.Start()) << game.Stderr();
        const Window w = game.MainWindow();
        HumanClick(d, w, {600, 560, 1, 1});  // the pointer rests on the board
        ASSERT_TRUE(Poll([&] { return Focus(d) == w; }));

        // Digits and Return play a guess.
        for (KeySym k : {XK_1, XK_1, XK_2, XK_2, XK_Return}) G::Type(d, k);
        const auto [exact, colourOnly] = Score("0011", game.Value("Quorrel_Code"));
        EXPECT_TRUE(game.WaitForValue("Quorrel_Bag", "0011" + std::to_string(exact) + std::to_string(colourOnly)));

        // A question from the close box has the keyboard.
        ASSERT_TRUE(game.RequestClose(w));
        ASSERT_NE(game.WaitForPaintedDialog("Exit"), 0u);
        G::Type(d, XK_Escape);
        EXPECT_TRUE(game.WaitForDialogGone("Exit")) << "the question did not get the keyboard";

        // The about box, minimised, comes back with the keyboard at a click on the board.
        G::Type(d, XK_Tab);
        G::Type(d, XK_Return);
        const Window about = game.WaitForPaintedDialog("Info...");
        ASSERT_NE(about, 0u);
        if (wm) {
            XIconifyWindow(d, about, DefaultScreen(d));
            Poll([&] { return MapState(d, about) == IsUnmapped; }, 250);  // a window manager may refuse
        }
        HumanClick(d, w, {600, 560, 1, 1});
        EXPECT_TRUE(Poll([&] { return MapState(d, about) == IsViewable && Focus(d) == about; }));
        G::Type(d, XK_Escape);
        EXPECT_TRUE(game.WaitForDialogGone("Info...")) << "the about box did not get the keyboard back";

        // A second start while a question is open leaves the keyboard with the question.
        ASSERT_TRUE(game.RequestClose(w));
        const Window question = game.WaitForPaintedDialog("Exit");
        ASSERT_NE(question, 0u);
        ProgramRunner second(QUORREL_PROGRAM);
        second.SetWorkDir(game.WorkDir());
        ASSERT_TRUE(second.Start());
        EXPECT_TRUE(second.Wait(20s).exited) << second.Stderr();
        // A window manager with a clock of its own never comes to rest: wait for the
        // game to have handled what the second start caused, and the focus to be back.
        ASSERT_TRUE(game.WaitForIdle());
        EXPECT_TRUE(Poll([&] { return Focus(d) == question; }));
        G::Type(d, XK_Tab);  // from NO to YES
        G::Type(d, XK_Return);
        const ProgramRunner::Outcome end = game.WaitForExit();
        EXPECT_TRUE(end.exited) << "the question lost the keyboard";
        EXPECT_EQ(end.exitCode, 0);
        EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
        connection.reset();
        if (wm) wm->Kill(15);
    }
}
