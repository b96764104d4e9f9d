// The real program under hostile conditions: its X server killed under it, a few
// thousand random clicks and keys, screens of 16 and 8 bits, a server with only its
// built-in fonts, a store that cannot be written, no Data folder, a damaged peg
// sheet, no beep player, and a whole session checked for leaks. In every case the
// program must not die by a signal, and what it stores must be a valid game that
// matches what its window shows.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "GameSession.h"
#include "StoredGame.h"
#include "TempDir.h"
#include "XvfbServer.h"
#include "game/GameRules.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

constexpr int kHole = 14;
const char* const kKeys[7] = {"Quorrel_Bag", "Quorrel_Code", "stato", "col1", "col2", "col3", "col4"};
const std::string kWinTitle = "Quorrel - https://www.quorrel.example";

GameSession::Options StoredGame(const std::string& code, const std::string& history = "",
                                const std::string& state = "0", const std::string& colours = "0000")
{
    GameSession::Options o;
    o.settings = {{"Quorrel_Bag", history + "\n"}, {"Quorrel_Code", code + "\n"}, {"stato", state + "\n"}};
    for (int k = 1; k <= 4; ++k) o.settings["col" + std::to_string(k)] = std::string(1, colours[k - 1]) + "\n";
    return o;
}

std::string Record(const std::string& guess, const std::string& code)
{
    const auto [exact, colourOnly] = Score(guess, code);
    return guess + std::to_string(exact) + std::to_string(colourOnly);
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The seven value files form a game the program can show: one line each, a code of
// four colours, a state 0..2, colours 0..7 and a history of well-formed records.
::testing::AssertionResult StoredGameIsValid(GameSession& game)
{
    for (const char* key : kKeys) {
        const std::string raw = game.RawValue(key);
        if (raw.empty() || raw.back() != '\n' || raw.find('\n') != raw.size() - 1)
            return ::testing::AssertionFailure() << key << " is not one line: \"" << raw << "\"";
    }
    if (!IsValidSecretCode(game.Value("Quorrel_Code")))
        return ::testing::AssertionFailure() << "code \"" << game.Value("Quorrel_Code") << "\"";
    const std::string state = game.Value("stato");
    if (state != "0" && state != "1" && state != "2") return ::testing::AssertionFailure() << "state " << state;
    for (int k = 1; k <= 4; ++k) {
        const std::string c = game.Value("col" + std::to_string(k));
        if (c.size() != 1 || c[0] < '0' || c[0] > '7') return ::testing::AssertionFailure() << "col" << k << " " << c;
    }
    for (const std::string& r : HistoryRecords(game.Value("Quorrel_Bag")))
        if (!IsValidGuessRecord(r)) return ::testing::AssertionFailure() << "history record " << r;
    return ::testing::AssertionSuccess();
}

// The window shows the stored game: the input row (unless abandoned, when it is
// hidden), the code covered or revealed, and every board row's pegs. Looked at once
// the program has handled every event, so that neither the store nor the board moves.
::testing::AssertionResult BoardShowsStoredGame(GameSession& game)
{
    if (!game.WaitForIdle()) return ::testing::AssertionFailure() << "the program never comes to rest";
    const Window w = game.MainWindow();
    const std::string state = game.Value("stato");
    const std::string code = game.Value("Quorrel_Code");
    if (state != "1")
        for (int k = 1; k <= 4; ++k)
            if (!game.WaitForPeg(w, G::InputPeg(k), game.Value("col" + std::to_string(k))[0] - '0'))
                return ::testing::AssertionFailure() << "input peg " << k << " is not colour col" << k;
    for (int k = 1; k <= 4; ++k) {
        const int shown = state == "0" ? kCoveredColour : code[k - 1] - '0';
        if (!game.WaitForPeg(w, G::CodePeg(k), shown))
            return ::testing::AssertionFailure() << "code peg " << k << " is not colour " << shown;
    }
    const std::array<std::string, kBoardRows> rows = BoardRows(game.Value("Quorrel_Bag"));
    for (int row = 1; row <= kBoardRows; ++row) {
        for (int k = 1; k <= 4; ++k) {
            const std::string& r = rows[row - 1];
            const Pixels want = r.empty() ? SheetPicture(kHole) : SheetPicture(PictureOfColour(r[k - 1] - '0'));
            if (!game.WaitForPixels(w, G::BoardPeg(row, k), want))
                return ::testing::AssertionFailure() << "board row " << row << " peg " << k << " for \"" << r << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

// The sanitizer's part of a program's standard error, without the beep player's
// complaints about a machine with no sound card.
std::string Reports(const std::string& err)
{
    const std::size_t at = err.find("==");
    const std::size_t ub = err.find("runtime error");
    const std::size_t from = std::min(at, ub);
    return from == std::string::npos ? std::string() : err.substr(from, 4000);
}

// The parts of the main window that show the game, in one list of grabs.
std::vector<Pixels> GameArea(GameSession& game)
{
    std::vector<Rect> rects{G::AttemptsCell(), G::GoButton(), G::CancelButton()};
    for (int k = 1; k <= 4; ++k) {
        rects.push_back(G::InputPeg(k));
        rects.push_back(G::CodePeg(k));
    }
    for (int row = 1; row <= kBoardRows; ++row) {
        rects.push_back(G::BoardRow(row));
        rects.push_back(G::AnswerCell(row));
    }
    std::vector<Pixels> grabs;
    for (const Rect& r : rects) grabs.push_back(game.Grab(game.MainWindow(), r));
    return grabs;
}

// The test's own connection to a server that is about to die must not take the test
// binary with it: Xlib calls the exit handler instead of exit(), and this one returns.
int QuietIOError(Display*) { return 0; }
void StayAlive(Display*, void*) {}

// Keeps the quiet handler for the whole scope: the session's destructor still talks
// to the dead connection.
struct QuietIOErrors {
    XIOErrorHandler old = XSetIOErrorHandler(QuietIOError);
    ~QuietIOErrors() { XSetIOErrorHandler(old); }
};

}  // namespace

// ---------------------------------------------------------------- the X server goes away

TEST(HostileServer, AKilledServerEndsTheGameWithOneLineAndARestartRestoresTheBoard)
{
    std::string workDir;
    std::vector<Pixels> before;
    std::string storedBefore[7];
    {
        XvfbServer server;
        ASSERT_TRUE(server.Ok());
        ScopedDisplayEnv env(server.DisplayName());
        QuietIOErrors quiet;
        GameSession game(StoredGame("6147", "012310"));
        ASSERT_TRUE(game.Start()) << game.Stderr();
        ASSERT_TRUE(game.SubmitGuess("4556"));
        ASSERT_TRUE(game.SetPeg(2, 5));
        ASSERT_TRUE(game.Unfocus());  // a restart shows no focus frame on GO
        before = GameArea(game);
        for (int k = 0; k < 7; ++k) storedBefore[k] = game.RawValue(kKeys[k]);
        workDir = game.WorkDir();

        XSetIOErrorExitHandler(game.GetDisplay(), StayAlive, nullptr);
        server.Kill();
        const ProgramRunner::Outcome end = game.WaitForExit(10s);
        ASSERT_FALSE(end.timedOut) << "the game hangs without its server";
        EXPECT_FALSE(end.signaled) << "signal " << end.signal << "\n" << game.Stderr();
        EXPECT_TRUE(end.exited);
        EXPECT_EQ(Count(game.Stdout(), "\n"), 1) << game.Stdout();
        EXPECT_EQ(game.Runner().Log(), "Connection to the X server lost.\n");
        EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
        // The working directory belongs to this session's runner: keep a copy.
        workDir += "-kept";
        ASSERT_EQ(std::system(("cp -a '" + game.WorkDir() + "' '" + workDir + "'").c_str()), 0);
    }

    XvfbServer again;
    ASSERT_TRUE(again.Ok());
    ScopedDisplayEnv env(again.DisplayName());
    GameSession::Options same;
    same.workDir = workDir;
    GameSession game(same);
    ASSERT_TRUE(game.Start()) << game.Stderr();
    for (int k = 0; k < 7; ++k) EXPECT_EQ(game.RawValue(kKeys[k]), storedBefore[k]) << kKeys[k];
    EXPECT_TRUE(BoardShowsStoredGame(game));
    const std::vector<Pixels> after = GameArea(game);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].CountDifferent(before[i]), 0) << "area " << i;
    EXPECT_TRUE(game.Quit());
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
    std::system(("rm -rf '" + workDir + "'").c_str());
}

// ---------------------------------------------------------------- random input

TEST(HostileInput, ThousandsOfRandomClicksAndKeysNeverKillTheGameAndTheStoreMatchesTheBoard)
{
    constexpr int kEvents = 3000;
    constexpr auto kHang = 600s;  // only a program that stops taking input gets near it
    const KeySym keys[] = {XK_Tab, XK_Return, XK_Escape, XK_Delete, XK_a,  XK_q,         XK_z, XK_space,
                           XK_F1,  XK_F4,     XK_F10,    XK_Left,   XK_Up, XK_BackSpace, XK_h, XK_s};
    std::mt19937 rng(4242);
    const auto start = std::chrono::steady_clock::now();

    GameSession game(StoredGame("3170"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    int sent = 0, restarts = 0, clicks = 0, presses = 0, dialogsSeen = 0, boardChecks = 0;
    std::unique_ptr<GameSession> restarted;
    std::vector<std::string> copies;  // the working directories of the restarts
    GameSession* g = &game;

    // YES in the exit box (a click or Return) is a proper way out: the program must
    // have ended well, and the next one carries on with the same game.
    auto restartIfEnded = [&]() -> ::testing::AssertionResult {
        if (g->Running()) return ::testing::AssertionSuccess();
        const ProgramRunner::Outcome end = g->WaitForExit(5s);
        if (!end.exited || end.exitCode != 0)
            return ::testing::AssertionFailure()
                   << "after " << sent << " events: signal " << end.signal << " exit " << end.exitCode << "\n"
                   << Reports(g->Stderr());
        if (!g->SanitizerClean()) return ::testing::AssertionFailure() << Reports(g->Stderr());
        if (::testing::AssertionResult valid = StoredGameIsValid(*g); !valid) return valid;
        GameSession::Options same;
        same.workDir = game.WorkDir() + "-" + std::to_string(restarts + 1);
        copies.push_back(same.workDir);
        if (std::system(("cp -a '" + g->WorkDir() + "' '" + same.workDir + "'").c_str()) != 0)
            return ::testing::AssertionFailure() << "cannot copy the working directory";
        restarted = std::make_unique<GameSession>(same);
        g = restarted.get();
        ++restarts;
        if (!g->Start()) return ::testing::AssertionFailure() << "restart " << restarts << Reports(g->Stderr());
        return ::testing::AssertionSuccess();
    };

    while (sent < kEvents) {
        ASSERT_LT(std::chrono::steady_clock::now() - start, kHang) << "after " << sent << " events";
        ASSERT_TRUE(restartIfEnded());
        const std::vector<Window> windows = g->ProgramWindows();
        if (windows.empty()) continue;
        dialogsSeen = std::max(dialogsSeen, static_cast<int>(windows.size()) - 1);
        // Dialogs get as many events as the main window: they are where the trouble is.
        const Window w = windows.size() > 1 && rng() % 2 ? windows[1 + rng() % (windows.size() - 1)] : g->MainWindow();
        const Rect geo = g->Geometry(w);
        if (geo.w <= 0 || geo.h <= 0) continue;
        if (rng() % 4 == 0) {
            g->PressKey(w, keys[rng() % std::size(keys)]);
            ++presses;
        } else {
            g->Click(w, static_cast<int>(rng() % geo.w), static_cast<int>(rng() % geo.h), 1 + rng() % 3);
            ++clicks;
        }
        ++sent;
        // Keep the program about level with the input, so that dialogs open and close
        // and later events land on them.
        std::this_thread::sleep_for(2ms);
        if (sent % 40 == 0 && g->Running()) g->WaitForIdle();
        // Now and then, with no box over the window, the store and the board must agree.
        if (sent % 500 == 0 && g->WaitForIdle() && g->ProgramWindows().size() == 1) {
            ASSERT_TRUE(StoredGameIsValid(*g)) << "after " << sent << " events";
            ASSERT_TRUE(BoardShowsStoredGame(*g)) << "after " << sent << " events";
            ++boardChecks;
        }
    }
    std::printf(
        "[ random ] %d events (%d clicks, %d keys), %d restarts after YES, up to %d dialogs, "
        "%d board checks, %d guesses stored, %.1f s\n",
        sent, clicks, presses, restarts, dialogsSeen, boardChecks, CountAttempts(g->Value("Quorrel_Bag")),
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

    // Settle: once the program has handled every event, close whatever box is open,
    // until none is; then compare the store with the window.
    ASSERT_TRUE(restartIfEnded());
    for (int round = 0; round < 20 && g->WaitForIdle() && g->ProgramWindows().size() > 1; ++round) {
        for (Window box : g->ProgramWindows()) {
            const std::string title = g->Title(box);
            if (title == "Info...")
                g->Click(box, G::AboutOkButton());
            else if (title == "Exit" || title == "Question")
                g->Click(box, G::NoButton());
            else if (title == "Statistics")
                g->PressKey(box, XK_Escape);
            else if (box != g->MainWindow())
                g->Click(box, G::OkButton());  // the win box, Keys, Hint
        }
    }
    ASSERT_TRUE(g->Running()) << "a NO or OK of the settling ended the program";
    ASSERT_EQ(g->ProgramWindows().size(), 1u) << "a box stays open";
    EXPECT_TRUE(StoredGameIsValid(*g));
    EXPECT_TRUE(BoardShowsStoredGame(*g));
    EXPECT_TRUE(g->Quit()) << Reports(g->Stderr());
    EXPECT_TRUE(g->SanitizerClean()) << Reports(g->Stderr());
    for (const std::string& dir : copies) std::system(("rm -rf '" + dir + "'").c_str());
}

// ---------------------------------------------------------------- odd displays

namespace {

// Clicks input peg 1 once and GO, and waits for the store to show both.
::testing::AssertionResult PlayOneGuess(GameSession& game)
{
    game.Click(game.MainWindow(), G::InputPeg(1));
    if (!game.WaitForValue("col1", "1")) return ::testing::AssertionFailure() << "col1 stays " << game.Value("col1");
    game.Click(game.MainWindow(), G::GoButton());
    const std::string want = Record("1000", game.Value("Quorrel_Code"));
    if (!game.WaitForValue("Quorrel_Bag", want))
        return ::testing::AssertionFailure() << "history \"" << game.Value("Quorrel_Bag") << "\", not " << want;
    return ::testing::AssertionSuccess();
}

}  // namespace

class HostileDisplay : public testing::TestWithParam<int> {};

TEST_P(HostileDisplay, AShallowScreenIsWarnedAboutAndAGuessCanStillBePlayed)
{
    XvfbServer::Options o;
    o.depth = GetParam();
    XvfbServer server(o);
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    // The pegs cannot be compared on such a screen: wait for a steady window only.
    GameSession::Options options = StoredGame("2345");
    options.withData = false;
    GameSession game(options);
    ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    EXPECT_TRUE(PlayOneGuess(game));
    const std::string log = game.Runner().Log();
    EXPECT_NE(log.find("This app requires 24-bit depth."), std::string::npos) << log;
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
}

INSTANTIATE_TEST_SUITE_P(Depths, HostileDisplay, testing::Values(16, 8),
                         [](const testing::TestParamInfo<int>& i) { return std::to_string(i.param) + "Bit"; });

TEST(HostileFonts, WithOnlyTheServersBuiltInFontsTheCaptionsAreStillDrawn)
{
    XvfbServer::Options o;
    o.builtinFontsOnly = true;
    XvfbServer server(o);
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    GameSession game;
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    // Inside its border the GO button is green but for the caption.
    const Rect go = G::GoButton();
    const Pixels inner = game.Grab(game.MainWindow(), {go.x + 4, go.y + 4, go.w - 8, go.h - 8});
    ASSERT_FALSE(inner.Empty());
    EXPECT_GT(inner.CountNot(inner.At(0, 0)), 20);
    EXPECT_TRUE(PlayOneGuess(game));
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
}

// ---------------------------------------------------------------- missing pieces

namespace {

// A directory that nobody, root included, can write to: a tmpfs mounted read-only
// over a temporary directory, filled while it was still writable.
class ReadOnlyDir {
public:
    explicit ReadOnlyDir(const std::string& path) : path_(path)
    {
        mounted_ = std::system(("mount -t tmpfs -o size=8m tmpfs '" + path + "' 2>/dev/null").c_str()) == 0;
    }
    ~ReadOnlyDir()
    {
        if (mounted_) std::system(("umount '" + path_ + "'").c_str());
    }
    bool Mounted() const { return mounted_; }
    bool MakeReadOnly() { return std::system(("mount -o remount,ro '" + path_ + "'").c_str()) == 0; }

private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace

TEST(HostileFiles, InAReadOnlyWorkingDirectoryTheGamePlaysOnAndThePlayerIsToldOnce)
{
    TempDir dir;
    ASSERT_TRUE(dir.Ok());
    ReadOnlyDir readOnly(dir.Path());
    GameSession::Options options;
    options.workDir = dir.Path();
    if (readOnly.Mounted()) {
        ASSERT_EQ(std::system(("cp -r '" QUORREL_DATA_DIR "' '" + dir.Path() + "/Data'").c_str()), 0);
        ASSERT_TRUE(readOnly.MakeReadOnly());
    } else {
        // No mounting here: a file named Settings keeps the store's directories from
        // being made, which root's permissions cannot get round.
        ASSERT_TRUE(dir.WriteFile("Settings", "not a directory\n"));
    }
    GameSession game(options);
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    // The fresh game of the first start cannot be stored: said at once.
    ASSERT_TRUE(game.Answer("Quorrel")) << "no message that the game cannot be stored";
    game.Click(game.MainWindow(), G::InputPeg(1));
    game.Click(game.MainWindow(), G::InputPeg(1));
    EXPECT_TRUE(game.WaitForPeg(game.MainWindow(), G::InputPeg(1), 2));
    const Pixels counter = game.Grab(game.MainWindow(), G::AttemptsCell());
    game.Click(game.MainWindow(), G::GoButton());
    EXPECT_TRUE(game.WaitForChange(game.MainWindow(), G::AttemptsCell(), counter)) << "GO did not count";
    // Once per run: no second box for the clicks that could not be stored either.
    EXPECT_EQ(game.WaitForDialog("Quorrel", 500ms), 0u);
    EXPECT_FALSE(game.HasValue("stato"));
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
    const std::string log = game.Runner().Log();
    if (readOnly.Mounted()) {
        // The log cannot be written either; standard output has every line.
        EXPECT_EQ(Count(game.Stdout(), "The game cannot be stored: "), 1) << game.Stdout();
        EXPECT_NE(game.Stdout().find("Read-only file system"), std::string::npos) << game.Stdout();
    } else {
        EXPECT_EQ(Count(log, "The game cannot be stored: "), 1) << log;
        EXPECT_NE(log.find("Not a directory"), std::string::npos) << log;
    }
    std::printf("[ read-only ] %s\n", readOnly.Mounted() ? "read-only tmpfs mount" : "Settings made a file");
}

TEST(HostileFiles, OnAFullDiskTheGamePlaysOnTellsOnceAndStoresEverythingOnceThereIsRoom)
{
    GameSession game(StoredGame("5555"));
    const std::string settings = game.WorkDir() + "/Settings";
    std::filesystem::create_directories(settings);
    if (std::system(("mount -t tmpfs -o size=256k tmpfs '" + settings + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?): the full disk is not tried";
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("umount '" + path + "'").c_str()); }
    } unmount{settings};
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    ASSERT_TRUE(game.SetPeg(1, 1));
    const std::string stored[7] = {game.RawValue(kKeys[0]), game.RawValue(kKeys[1]), game.RawValue(kKeys[2]),
                                   game.RawValue(kKeys[3]), game.RawValue(kKeys[4]), game.RawValue(kKeys[5]),
                                   game.RawValue(kKeys[6])};
    ASSERT_EQ(stored[3], "1\n");
    {
        std::FILE* filler = std::fopen((settings + "/filler").c_str(), "w");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {}
        std::fclose(filler);
    }

    // The disk is full: the next click shows, but is not stored, and the player is told.
    game.Click(game.MainWindow(), G::InputPeg(1));
    ASSERT_TRUE(game.Answer("Quorrel")) << "no message that the game cannot be stored";
    EXPECT_TRUE(game.WaitForPeg(game.MainWindow(), G::InputPeg(1), 2));
    const Pixels counter = game.Grab(game.MainWindow(), G::AttemptsCell());
    game.Click(game.MainWindow(), G::GoButton());
    EXPECT_TRUE(game.WaitForChange(game.MainWindow(), G::AttemptsCell(), counter)) << "GO did not count";
    game.Click(game.MainWindow(), G::InputPeg(3));
    EXPECT_TRUE(game.WaitForPeg(game.MainWindow(), G::InputPeg(3), 1));
    EXPECT_EQ(game.WaitForDialog("Quorrel", 500ms), 0u) << "told twice";
    for (int k = 0; k < 7; ++k) EXPECT_EQ(game.RawValue(kKeys[k]), stored[k]) << kKeys[k];

    // Room again: the next change stores the whole record, the guess included.
    std::filesystem::remove(settings + "/filler");
    game.Click(game.MainWindow(), G::InputPeg(4));
    EXPECT_TRUE(game.WaitForValue("col4", "1"));
    EXPECT_EQ(game.Value("Quorrel_Bag"), Record("2000", "5555"));
    EXPECT_EQ(game.InputValues(), "0011");
    EXPECT_TRUE(game.WaitForIdle());  // the log line follows the last file
    const std::string log = game.Runner().Log();
    EXPECT_EQ(Count(log, "The game cannot be stored: "), 1) << log;
    EXPECT_EQ(Count(log, "No space left on device"), 1) << log;
    EXPECT_EQ(Count(log, "The game is stored again."), 1) << log;
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
}

TEST(HostileFiles, AFifoInPlaceOfTheSheetAndOfAStoredValueNeitherHangsNorStopsTheGame)
{
    for (const char* value : {"Quorrel_Code", "stato"}) {
        GameSession::Options options = StoredGame("4321", "012300");
        options.withData = false;
        options.settings.erase(value);
        GameSession game(options);
        ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
        const std::string dir = game.WorkDir();
        ASSERT_EQ(std::remove((dir + "/Data/resources50x40.bin").c_str()), 0);
        ASSERT_EQ(mkfifo((dir + "/Data/resources50x40.bin").c_str(), 0600), 0);
        std::filesystem::create_directories(dir + "/" + kValueDir);
        ASSERT_EQ(mkfifo((dir + "/" + kValueDir + value).c_str(), 0600), 0);
        ASSERT_TRUE(game.Start(10s)) << value << Reports(game.Stderr());
        ASSERT_TRUE(game.Answer("Quorrel")) << "the missing pictures are not told";
        game.Click(game.MainWindow(), G::InputPeg(1));
        EXPECT_TRUE(game.WaitForValue("col1", "1")) << value;
        game.Click(game.MainWindow(), G::GoButton());
        // A state that is no file costs nothing but the state; a code that is none
        // costs the stored game.
        const bool kept = std::string(value) == "stato";
        const std::string code = game.Value("Quorrel_Code");
        EXPECT_EQ(code == "4321", kept) << value;
        EXPECT_TRUE(game.WaitForValue("Quorrel_Bag", (kept ? "012300;" : "") + Record("1000", code)))
            << value << ": " << game.Value("Quorrel_Bag");
        const std::string log = game.Runner().Log();
        EXPECT_EQ(Count(log, "Errore loading Data/resources50x40.bin"), 1) << log;
        EXPECT_EQ(Count(log, std::string(value) + ": not a regular file"), 1) << log;
        EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
        EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
    }
}

TEST(HostileFiles, WithoutADataFolderTheGameStartsAndPlays)
{
    GameSession::Options options = StoredGame("7007");
    options.withData = false;
    GameSession game(options);
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    ASSERT_TRUE(game.Answer("Quorrel")) << "the missing pictures are not told";
    EXPECT_TRUE(PlayOneGuess(game));
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
}

TEST(HostileFiles, AShortPegSheetIsSetAsideAndALongOneIsUsedWithOneLogLine)
{
    for (const std::size_t size : {45001u, 90000u + 4096u}) {
        GameSession::Options options = StoredGame("1111");
        options.withData = false;
        GameSession game(options);
        ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
        const std::string sheet = game.Runner().ReadFile("Data/resources50x40.bin");
        ASSERT_EQ(sheet.size(), 90000u);
        std::string changed = sheet.substr(0, std::min<std::size_t>(size, 90000));
        changed.resize(size, '\x7f');
        ASSERT_TRUE(game.Runner().WriteFile("Data/resources50x40.bin", changed));
        ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
        ASSERT_TRUE(size >= 90000 || game.Answer("Quorrel")) << "the unreadable pictures are not told";
        EXPECT_TRUE(PlayOneGuess(game));
        const std::string log = game.Runner().Log();
        const Pixels corner = game.Grab(game.MainWindow(), G::BottomLeftPiece());
        if (size < 90000) {
            EXPECT_EQ(Count(log, "Data/resources50x40.bin: wrong size 45001"), 1) << log;
            // Not a picture of the sheet anywhere: the board's corner piece is not drawn.
            EXPECT_NE(corner, SheetPicture(6));
        } else {
            EXPECT_EQ(Count(log, "Data/resources50x40.bin: 94096 bytes, using the first 90000"), 1) << log;
            EXPECT_EQ(corner, SheetPicture(6));
        }
        EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
        EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
    }
}

TEST(HostileFiles, WithoutABeepPlayerClicksOnTheBlockedWindowOnlyRaiseTheBox)
{
    TempDir emptyBin;
    GameSession game;
    // The shell finds nothing to run for the beep; the program itself needs no PATH.
    game.Runner().SetEnv("PATH", emptyBin.Path());
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    game.Click(game.MainWindow(), G::InfoButton());
    Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    for (int i = 0; i < 5; ++i) game.Click(game.MainWindow(), G::InputPeg(2));
    game.Click(game.MainWindow(), G::GoButton());
    ASSERT_TRUE(game.WaitForIdle()) << "the program ended or never came to rest";
    EXPECT_EQ(game.InputValues(), "0000") << "the blocked window took the clicks";
    EXPECT_NE(game.WaitForDialog("Info..."), 0u);
    game.Click(game.WaitForDialog("Info..."), G::AboutOkButton());
    EXPECT_TRUE(game.WaitForDialogGone("Info..."));
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
}

// ---------------------------------------------------------------- leaks

TEST(HostileLeaks, AWholeSessionEndsWithStatusZeroAndNoLeakReport)
{
    GameSession game(StoredGame("5126"));
    ASSERT_TRUE(game.Start()) << Reports(game.Stderr());
    // Won.
    ASSERT_TRUE(game.SubmitGuess("5126"));
    Window won = game.WaitForPaintedDialog(kWinTitle);
    ASSERT_NE(won, 0u);
    game.Click(won, G::OkButton());
    ASSERT_TRUE(game.WaitForDialogGone(kWinTitle));
    ASSERT_EQ(game.Value("stato"), "2");
    // A new game, one guess, abandoned.
    GameSession::LookAtTheEnd();
    game.Click(game.MainWindow(), G::GoButton());
    ASSERT_TRUE(game.WaitForValue("stato", "0"));
    // The input row is stored after the state: wait for the whole new record.
    ASSERT_TRUE(game.WaitForValue("col4", "0"));
    ASSERT_TRUE(game.SubmitGuess("0123"));
    game.Click(game.MainWindow(), G::CancelButton());
    Window ask = game.WaitForPaintedDialog("Question");
    ASSERT_NE(ask, 0u);
    game.Click(ask, G::YesButton());
    ASSERT_TRUE(game.WaitForValue("stato", "1"));
    // The about box, opened and closed.
    game.Click(game.MainWindow(), G::InfoButton());
    Window about = game.WaitForPaintedDialog("Info...");
    ASSERT_NE(about, 0u);
    game.Click(about, G::AboutOkButton());
    ASSERT_TRUE(game.WaitForDialogGone("Info..."));
    // Out by YES.
    EXPECT_TRUE(game.Quit()) << Reports(game.Stderr());
    EXPECT_TRUE(game.SanitizerClean()) << Reports(game.Stderr());
    EXPECT_EQ(game.Stderr().find("LeakSanitizer"), std::string::npos) << Reports(game.Stderr());
}
