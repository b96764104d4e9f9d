#pragma once
// The real game, played from the outside the way a person plays it: the program runs
// in a working directory of its own (with a copy of the built Data/ folder unless a
// test asks otherwise, and optionally with a stored game under Settings/), and the
// test moves the pointer, presses buttons and keys through XTest, and looks at the
// result with XGetImage and in the value files the game writes.
//
//   GameSession game;
//   ASSERT_TRUE(game.Start()) << game.Stderr();
//   game.Click(game.MainWindow(), GameSession::InputPeg(1));
//   ASSERT_TRUE(game.WaitForValue("col1", "1"));
//   ASSERT_TRUE(game.Quit());          // EXIT, YES, exit status 0
//   EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
//
// There is no window manager on the test server: windows sit where the program puts
// them, and nothing gives the focus to a window, so PressKey gives it first.
// Every wait polls with a timeout; none of them sleeps for a fixed time.
#include <X11/Xlib.h>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ProgramRunner.h"
#include "ScoreOracle.h"

// A rectangle of 0xRRGGBB pixels, rows top to bottom.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;

    bool Empty() const { return rgb.empty(); }
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Pixels& o) const = default;
    // The part at (x, y) of size w x h.
    Pixels Crop(int x, int y, int w, int h) const;
    // Pixels whose colour is not `c`.
    int CountNot(uint32_t c) const;
    // Pixels that differ from `o` (same size expected; a size mismatch counts all).
    int CountDifferent(const Pixels& o) const;
    // "" when equal, else the count and the bounding box of the differing pixels,
    // for a failure message.
    std::string Difference(const Pixels& o) const;
    // Binary PPM (P6); true when written.
    bool WritePpm(const std::string& path) const;
    // A PNG through ImageMagick's `convert`; true when the PNG exists afterwards.
    bool WritePng(const std::string& path) const;
};

// Picture n of the peg sheet QUORREL_DATA_DIR/resources50x40.bin (50 x 40 at x = 50n).
Pixels SheetPicture(int n);
// The sheet picture that shows colour value c (0..7, 8 = covered).
int PictureOfColour(int c);

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

class GameSession {
public:
    using ms = std::chrono::milliseconds;

    struct Options {
        bool withData = true;  // copy the built Data/ folder into the working directory
        // Value files to store before the start, by key ("stato", "Quorrel_Code", ...),
        // written as given below Settings/Quorrel.exe/dati/.
        std::map<std::string, std::string> settings;
        // Run in this directory instead of a fresh one (to restart on the same game).
        std::string workDir;
    };

    GameSession();
    explicit GameSession(Options options);
    // Kills a program that is still running and closes the test's connection.
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Starts the program and waits until its main window is mapped and painted (the
    // board's bottom-left piece shows, and the window stays the same for a moment).
    bool Start(ms timeout = ms(30000));

    Display* GetDisplay() const { return display_; }
    ProgramRunner& Runner() { return *run_; }
    const std::string& WorkDir() const { return run_->WorkDir(); }
    Window MainWindow() const { return main_; }

    // A mapped top-level window of the program other than the main window whose title
    // is `title` ("Exit", "Question", "Info...", the win box's title); 0 on timeout.
    Window WaitForDialog(const std::string& title, ms timeout = ms(10000));
    // The same, but painted: the program is idle, the dialog's pixels stay the same
    // for a moment and are not all one colour.
    Window WaitForPaintedDialog(const std::string& title, ms timeout = ms(30000));
    // Polls until no window titled `title` is mapped.
    bool WaitForDialogGone(const std::string& title, ms timeout = ms(10000));
    // Clicks `button` (OK by default) on the painted dialog `title` and waits until it is gone.
    bool Answer(const std::string& title, Rect button = OkButton());
    // What a player does before NEW GAME: looks at the end for longer than a double
    // click, the time in which the game takes a press for the tail of the one that ended it.
    static void LookAtTheEnd();
    // The title of `w`, or "".
    std::string Title(Window w) const;
    // Mapped top-level windows of the program, main window included.
    std::vector<Window> ProgramWindows() const;

    // Position of the window's outer corner on the screen and its inner size.
    Rect Geometry(Window w) const;

    // Moves the pointer to (x, y) inside `w` (window coordinates), presses and releases
    // `button`, then parks the pointer outside all windows so that no hover look stays.
    void Click(Window w, int x, int y, unsigned button = 1);
    void Click(Window w, Rect r, unsigned button = 1) { Click(w, r.x + r.w / 2, r.y + r.h / 2, button); }
    // Clicks a bare spot of the main window, which takes the keyboard focus from the
    // control that has it (a focused button shows a dotted frame), and waits until
    // the window is steady again.
    bool Unfocus();
    // Gives `w` the input focus and presses and releases the key.
    void PressKey(Window w, unsigned long keysym);
    // At a person's pace, so that a window manager sees the press before the release:
    // presses the left button over `from` in `w` and lets go over `to` after `held`;
    // or presses `keysym` wherever the keyboard is and lets go after `held`.
    static void Drag(Display* d, Window w, Rect from, Rect to, ms held = ms(60));
    static void Type(Display* d, unsigned long keysym, ms held = ms(30));
    // Sends the window manager's close request (WM_PROTOCOLS / WM_DELETE_WINDOW).
    bool RequestClose(Window w);

    // The window's pixels in `r` (window coordinates), or the whole window.
    Pixels Grab(Window w, Rect r) const;
    Pixels Grab(Window w) const;
    // Polls until the pixels of `r` differ from `before`; false on timeout.
    bool WaitForChange(Window w, Rect r, const Pixels& before, ms timeout = ms(10000));
    // Polls until the pixels of `r` equal `expected`; false on timeout.
    bool WaitForPixels(Window w, Rect r, const Pixels& expected, ms timeout = ms(10000));
    // Waits until the program is idle (ProgramRunner::WaitForIdle) and two grabs of `r`
    // one poll apart are equal; the last grab, or empty on timeout.
    Pixels WaitForSteady(Window w, Rect r, ms timeout = ms(30000));
    // Polls until peg rectangle `r` shows the sheet picture of colour c.
    bool WaitForPeg(Window w, Rect r, int colour, ms timeout = ms(10000));

    // A value file of the stored game without its final line feed; "" when missing.
    std::string Value(const std::string& key) const;
    // Raw contents of a value file.
    std::string RawValue(const std::string& key) const;
    bool HasValue(const std::string& key) const;
    // Polls until Value(key) == expected.
    bool WaitForValue(const std::string& key, const std::string& expected, ms timeout = ms(10000));
    // col1..col4 joined, e.g. "0312".
    std::string InputValues() const;

    // Waits for the program to end.
    ProgramRunner::Outcome WaitForExit(ms timeout = ms(20000));
    bool Running() { return run_->Running(); }
    // Waits until the program, the X server and `others` (a window manager) have
    // handled all input so far: what the program stores and shows then stays as it
    // is. False on timeout or exit.
    bool WaitForIdle(ms timeout = ms(60000), std::vector<pid_t> others = {});
    // Presses EXIT, answers YES and expects exit status 0.
    bool Quit(ms timeout = ms(20000));
    const std::string& Stderr() { return run_->Stderr(); }
    const std::string& Stdout() { return run_->Stdout(); }
    // No sanitizer report on standard error.
    bool SanitizerClean();

    // ---- where things are on the main window (window coordinates)
    static Rect InputPeg(int k) { return {55 + 51 * (k - 1), 241, 50, 40}; }
    static Rect CodePeg(int k) { return {55 + 51 * (k - 1), 190, 50, 40}; }
    static Rect BoardPeg(int row, int k) { return {475 + 50 * (k - 1), 40 + 40 * row, 50, 40}; }
    static Rect BoardRow(int row) { return {475, 40 + 40 * row, 200, 40}; }
    static Rect AnswerCell(int row) { return {700, 40 * row + 45, 70, 15}; }
    static Rect AttemptsCell() { return {55, 356, 204, 25}; }
    static Rect GoButton() { return {55, 316, 97, 28}; }
    static Rect CancelButton() { return {162, 316, 97, 28}; }
    static Rect InfoButton() { return {473, 40, 97, 28}; }
    static Rect ExitButton() { return {580, 40, 97, 28}; }
    static Rect BottomLeftPiece() { return {425, 480, 50, 40}; }
    // On a message box: YES or OK, and NO.
    static Rect YesButton() { return {130, 110, 110, 28}; }
    static Rect OkButton() { return YesButton(); }
    static Rect NoButton() { return {10, 110, 110, 28}; }
    static Rect MessageLabel() { return {10, 10, 230, 90}; }
    // On the about box.
    static Rect AboutOkButton() { return {468, 173, 80, 28}; }

    // ---- playing
    // Clicks input peg k until it shows colour c (col file and pixels agree).
    bool SetPeg(int k, int colour);
    // Sets the four input pegs to `guess` (four digits).
    bool SetGuess(const std::string& guess);
    // Sets `guess`, presses GO and waits until the history holds one more record.
    bool SubmitGuess(const std::string& guess);

private:
    Window FindDialog(const std::string& title) const;

    Options options_;
    std::unique_ptr<ProgramRunner> run_;
    Display* display_ = nullptr;
    Window main_ = 0;
    pid_t serverPid_ = 0;  // the X server at the other end of the test's connection
};
