#include "GameSession.h"
#include "StoredGame.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

#include "FileContents.h"
#include "WindowProbe.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(20);
constexpr const char* kClass = "Quorrel.exe";

// Grabs of a window that is not (or no longer) viewable fail with BadMatch; the
// waits treat that as "not there yet" instead of ending the test binary.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// The sanitizer settings of the suite, for a run of the test binary outside ctest;
// the suppressions sit beside this folder.
void DefaultSanitizerEnv(ProgramRunner& run)
{
    const std::filesystem::path here = std::filesystem::path(__FILE__).parent_path();
    const std::string supp = (here.parent_path() / "lsan.supp").string();
    if (!std::getenv("LSAN_OPTIONS")) run.SetEnv("LSAN_OPTIONS", "suppressions=" + supp + ":print_suppressions=0");
    if (!std::getenv("ASAN_OPTIONS")) run.SetEnv("ASAN_OPTIONS", "detect_leaks=1:abort_on_error=0");
    if (!std::getenv("UBSAN_OPTIONS")) run.SetEnv("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1");
}

}  // namespace

// ---------------------------------------------------------------- pixels

Pixels Pixels::Crop(int x, int y, int w, int h) const
{
    Pixels p;
    p.width = w;
    p.height = h;
    p.rgb.reserve(static_cast<size_t>(w) * h);
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) p.rgb.push_back(At(i, j));
    return p;
}

int Pixels::CountNot(uint32_t c) const
{
    int n = 0;
    for (uint32_t v : rgb)
        if (v != c) ++n;
    return n;
}

int Pixels::CountDifferent(const Pixels& o) const
{
    if (width != o.width || height != o.height) return static_cast<int>(std::max(rgb.size(), o.rgb.size()));
    int n = 0;
    for (size_t i = 0; i < rgb.size(); ++i)
        if (rgb[i] != o.rgb[i]) ++n;
    return n;
}

std::string Pixels::Difference(const Pixels& o) const
{
    if (width != o.width || height != o.height)
        return "sizes " + std::to_string(width) + "x" + std::to_string(height) + " and " + std::to_string(o.width) +
               "x" + std::to_string(o.height);
    int n = 0, x0 = width, y0 = height, x1 = -1, y1 = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (At(x, y) == o.At(x, y)) continue;
            ++n;
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    if (n == 0) return "";
    return std::to_string(n) + " pixels differ in x " + std::to_string(x0) + ".." + std::to_string(x1) + ", y " +
           std::to_string(y0) + ".." + std::to_string(y1);
}

bool Pixels::WritePpm(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << "P6\n" << width << " " << height << "\n255\n";
    for (uint32_t v : rgb) {
        const char px[3] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
        out.write(px, 3);
    }
    return static_cast<bool>(out.flush());
}

bool Pixels::WritePng(const std::string& path) const
{
    const std::string ppm = path + ".ppm";
    if (!WritePpm(ppm)) return false;
    std::remove(path.c_str());
    const std::string command = "convert '" + ppm + "' '" + path + "' 2>/dev/null";
    const int rc = std::system(command.c_str());
    std::remove(ppm.c_str());
    struct stat st {};
    return rc == 0 && stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

Pixels SheetPicture(int n)
{
    static const std::string sheet = ReadWholeFile(std::string(QUORREL_DATA_DIR) + "/resources50x40.bin");
    constexpr int kSheetWidth = 750;
    Pixels p;
    if (sheet.size() != static_cast<size_t>(kSheetWidth) * 40 * 3 || n < 0 || n > 14) return p;
    p.width = 50;
    p.height = 40;
    for (int y = 0; y < 40; ++y) {
        for (int x = 50 * n; x < 50 * n + 50; ++x) {
            const size_t at = (static_cast<size_t>(y) * kSheetWidth + x) * 3;
            const auto r = static_cast<unsigned char>(sheet[at]);
            const auto g = static_cast<unsigned char>(sheet[at + 1]);
            const auto b = static_cast<unsigned char>(sheet[at + 2]);
            p.rgb.push_back((uint32_t{r} << 16) | (uint32_t{g} << 8) | b);
        }
    }
    return p;
}

int PictureOfColour(int c)
{
    static constexpr int kPicture[] = {0, 1, 7, 8, 9, 10, 11, 12, 13};
    return c >= 0 && c <= 8 ? kPicture[c] : -1;
}

// ---------------------------------------------------------------- lifetime

GameSession::GameSession() : GameSession(Options{}) {}

GameSession::GameSession(Options options)
    : options_(std::move(options)), run_(std::make_unique<ProgramRunner>(QUORREL_PROGRAM))
{
    XSetErrorHandler(IgnoreXErrors);
    display_ = XOpenDisplay(nullptr);
    serverPid_ = ServerPid(display_);
    if (!options_.workDir.empty()) run_->SetWorkDir(options_.workDir);
    DefaultSanitizerEnv(*run_);
}

GameSession::~GameSession()
{
    if (run_->Running()) run_->Kill();
    if (display_) {
        // The program's windows go with its connection; later tests start on a clean screen.
        WaitForNoWindowOfClass(display_, kClass, std::chrono::seconds(5));
        XCloseDisplay(display_);
    }
}

bool GameSession::Start(ms timeout)
{
    if (!display_) return false;
    const auto deadline = Clock::now() + timeout;
    if (!WaitForNoWindowOfClass(display_, kClass, std::chrono::seconds(5))) return false;
    if (options_.withData && !run_->FileExists("Data") && !run_->CopyDir(QUORREL_DATA_DIR, "Data")) return false;
    for (const auto& [key, contents] : options_.settings)
        if (!WriteWholeFile(WorkDir() + "/" + kValueDir + key, contents)) return false;
    if (!run_->Start()) return false;

    while (!main_) {
        if (Clock::now() >= deadline || !run_->Running()) {
            std::fprintf(stderr, "GameSession::Start: no main window\n");
            return false;
        }
        // A dialog may already be open over it (a notice at the first paint): the main
        // window is the one that is transient for no other.
        for (Window w : ProgramWindows()) {
            Window owner = 0;
            if (!XGetTransientForHint(display_, w, &owner)) main_ = w;
        }
        if (!main_) std::this_thread::sleep_for(kPoll);
    }
    auto left = [&] { return std::max(ms(0), std::chrono::duration_cast<ms>(deadline - Clock::now())); };
    // A start that fails says where it stopped.
    auto fail = [&](const std::string& what) {
        std::fprintf(stderr, "GameSession::Start: %s (program %s)\n", what.c_str(),
                     run_->Running() ? "running" : "ended");
        return false;
    };
    if (options_.withData && !WaitForPixels(main_, BottomLeftPiece(), SheetPicture(6), left()))
        return fail("the board's bottom-left piece never showed: " +
                    Grab(main_, BottomLeftPiece()).Difference(SheetPicture(6)));
    if (!WaitForIdle(left())) return fail("the program or its X server never came to rest");
    const Rect g = Geometry(main_);
    return !WaitForSteady(main_, {0, 0, g.w, g.h}, left()).Empty() || fail("the window never held still");
}

bool GameSession::WaitForIdle(ms timeout, std::vector<pid_t> others)
{
    if (serverPid_ > 0) others.push_back(serverPid_);
    return run_->WaitForIdle(timeout, others);
}

// ---------------------------------------------------------------- windows

std::string GameSession::Title(Window w) const
{
    char* name = nullptr;
    if (!XFetchName(display_, w, &name) || !name) return "";
    std::string title = name;
    XFree(name);
    return title;
}

std::vector<Window> GameSession::ProgramWindows() const
{
    std::vector<Window> mapped;
    XSync(display_, False);
    for (Window w : WindowsOfClass(display_, kClass)) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(display_, w, &a) && a.map_state == IsViewable) mapped.push_back(w);
    }
    return mapped;
}

Window GameSession::FindDialog(const std::string& title) const
{
    for (Window w : ProgramWindows())
        if (w != main_ && Title(w) == title) return w;
    return 0;
}

Window GameSession::WaitForDialog(const std::string& title, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (Window w = FindDialog(title)) return w;
        if (Clock::now() >= deadline) return 0;
        std::this_thread::sleep_for(kPoll);
    }
}

bool GameSession::Answer(const std::string& title, Rect button)
{
    const Window box = WaitForPaintedDialog(title);
    if (box == 0) return false;
    Click(box, button);
    return WaitForDialogGone(title);
}

void GameSession::LookAtTheEnd() { std::this_thread::sleep_for(ms(500)); }

Window GameSession::WaitForPaintedDialog(const std::string& title, ms timeout)
{
    // Looked up afresh on every poll: a box that replaces an earlier one with the
    // same title is a new window, and the old one may vanish between two grabs.
    const auto deadline = Clock::now() + timeout;
    auto left = [&] { return std::max(ms(0), std::chrono::duration_cast<ms>(deadline - Clock::now())); };
    for (;;) {
        if (Window w = FindDialog(title); w && WaitForIdle(left())) {
            const Rect g = Geometry(w);
            const Pixels first = Grab(w, {0, 0, g.w, g.h});
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            const Pixels second = Grab(w, {0, 0, g.w, g.h});
            if (!first.Empty() && first == second && first.CountNot(first.rgb.front()) > 0 && FindDialog(title) == w)
                return w;
        }
        if (Clock::now() >= deadline) return 0;
        std::this_thread::sleep_for(kPoll);
    }
}

bool GameSession::WaitForDialogGone(const std::string& title, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (!FindDialog(title)) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

Rect GameSession::Geometry(Window w) const
{
    Window root;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display_, w, &root, &x, &y, &width, &height, &border, &depth)) return {};
    return {x, y, static_cast<int>(width), static_cast<int>(height)};
}

// ---------------------------------------------------------------- input

void GameSession::Click(Window w, int x, int y, unsigned button)
{
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(display_, w, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(display_, -1, rx, ry, CurrentTime);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    // The main window sits at (100, 100): the screen's corner is outside every window.
    XTestFakeMotionEvent(display_, -1, 0, 0, CurrentTime);
    XSync(display_, False);
}

bool GameSession::Unfocus()
{
    Click(main_, 5, 595);
    return !WaitForSteady(main_, {0, 0, 800, 600}).Empty();
}

void GameSession::PressKey(Window w, unsigned long keysym)
{
    XSetInputFocus(display_, w, RevertToPointerRoot, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void GameSession::Drag(Display* d, Window w, Rect from, Rect to, ms held)
{
    bool press = true;
    for (Rect r : {from, to}) {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(d, w, DefaultRootWindow(d), r.x + r.w / 2, r.y + r.h / 2, &x, &y, &child);
        XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(d, 1, press, press ? CurrentTime : static_cast<unsigned long>(held.count()));
        press = false;
    }
    XSync(d, False);
}

void GameSession::Type(Display* d, unsigned long keysym, ms held)
{
    const KeyCode code = XKeysymToKeycode(d, keysym);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, static_cast<unsigned long>(held.count()));
    XSync(d, False);
}

bool GameSession::RequestClose(Window w) { return SendDeleteWindow(display_, w); }

// ---------------------------------------------------------------- pixels of a window

Pixels GameSession::Grab(Window w, Rect r) const
{
    Pixels p;
    if (r.w <= 0 || r.h <= 0) return p;
    XSync(display_, False);
    XImage* image =
        XGetImage(display_, w, r.x, r.y, static_cast<unsigned>(r.w), static_cast<unsigned>(r.h), AllPlanes, ZPixmap);
    if (!image) return p;
    p.width = r.w;
    p.height = r.h;
    p.rgb.resize(static_cast<size_t>(r.w) * r.h);
    for (int y = 0; y < r.h; ++y) {
        for (int x = 0; x < r.w; ++x) {
            unsigned long v;
            if (image->bits_per_pixel == 32)
                v = reinterpret_cast<const uint32_t*>(image->data + static_cast<size_t>(y) * image->bytes_per_line)[x];
            else
                v = XGetPixel(image, x, y);
            p.rgb[static_cast<size_t>(y) * r.w + x] = static_cast<uint32_t>(v & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return p;
}

Pixels GameSession::Grab(Window w) const
{
    const Rect g = Geometry(w);
    return Grab(w, {0, 0, g.w, g.h});
}

bool GameSession::WaitForChange(Window w, Rect r, const Pixels& before, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        Pixels now = Grab(w, r);
        if (!now.Empty() && now != before) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

bool GameSession::WaitForPixels(Window w, Rect r, const Pixels& expected, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (Grab(w, r) == expected) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

Pixels GameSession::WaitForSteady(Window w, Rect r, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    // A program that has ended leaves nothing to wait for; its window may still be read.
    if (run_->Running() && !WaitForIdle(timeout)) return {};
    Pixels last = Grab(w, r);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        Pixels now = Grab(w, r);
        if (!now.Empty() && now == last) return now;
        if (Clock::now() >= deadline) return {};
        last = std::move(now);
    }
}

bool GameSession::WaitForPeg(Window w, Rect r, int colour, ms timeout)
{
    return WaitForPixels(w, r, SheetPicture(PictureOfColour(colour)), timeout);
}

// ---------------------------------------------------------------- the stored game

std::string GameSession::RawValue(const std::string& key) const
{
    return ReadWholeFile(WorkDir() + "/" + kValueDir + key);
}

bool GameSession::HasValue(const std::string& key) const
{
    struct stat st {};
    return stat((WorkDir() + "/" + kValueDir + key).c_str(), &st) == 0;
}

std::string GameSession::Value(const std::string& key) const
{
    std::string v = RawValue(key);
    if (!v.empty() && v.back() == '\n') v.pop_back();
    return v;
}

bool GameSession::WaitForValue(const std::string& key, const std::string& expected, ms timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (Value(key) == expected) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
}

std::string GameSession::InputValues() const { return Value("col1") + Value("col2") + Value("col3") + Value("col4"); }

// ---------------------------------------------------------------- the end

ProgramRunner::Outcome GameSession::WaitForExit(ms timeout) { return run_->Wait(timeout); }

bool GameSession::Quit(ms timeout)
{
    Click(main_, ExitButton());
    Window box = WaitForPaintedDialog("Exit", timeout);
    if (!box) return false;
    Click(box, YesButton());
    ProgramRunner::Outcome s = WaitForExit(timeout);
    return !s.timedOut && s.exited && s.exitCode == 0;
}

bool GameSession::SanitizerClean()
{
    const std::string& err = Stderr();
    return err.find("ERROR: AddressSanitizer") == std::string::npos && err.find("runtime error") == std::string::npos &&
           err.find("LeakSanitizer") == std::string::npos;
}

// ---------------------------------------------------------------- playing

bool GameSession::SetPeg(int k, int colour)
{
    const std::string key = "col" + std::to_string(k);
    int current = std::atoi(Value(key).c_str());
    while (current != colour) {
        const int next = (current + 1) % 8;
        Click(main_, InputPeg(k));
        if (!WaitForValue(key, std::to_string(next))) return false;
        current = next;
    }
    return WaitForPeg(main_, InputPeg(k), colour);
}

bool GameSession::SetGuess(const std::string& guess)
{
    for (int k = 1; k <= 4; ++k)
        if (!SetPeg(k, guess[static_cast<size_t>(k - 1)] - '0')) return false;
    return true;
}

bool GameSession::SubmitGuess(const std::string& guess)
{
    if (!SetGuess(guess)) return false;
    const std::size_t before = Records(Value("Quorrel_Bag")).size();
    const Pixels counter = Grab(main_, AttemptsCell());
    Click(main_, GoButton());
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Records(Value("Quorrel_Bag")).size() != before + 1) {
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPoll);
    }
    // The counter is the last thing the board redraw paints.
    return WaitForChange(main_, AttemptsCell(), counter);
}
