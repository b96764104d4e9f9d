// Whole-program measurements of the game next to the plain-Xlib floor, both run on a
// private Xvfb, one after the other, several times each, with the same observer:
//
//   start to paint  exec until the window's pixels first equal the image they settle on
//   click to paint  an XTest press on input peg 1 until the server reports drawing
//                   that changed the peg's pixels
//   memory          VmRSS once the window has settled
//   idle wakeups    context switches over five idle seconds
//
// Then, on a 4K screen, the game at scale 2 (the root window's resources carry
// Xft.dpi: 192) beside the same game at scale 1, alternating: start to paint and
// click to paint of the enlarged window against the 1x one.
//
// The observer reads pixels back with XShmGetImage from its own connection, so every
// figure includes the server's work; both programs pay the same observer.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "XvfbServer.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kWidth = 800, kHeight = 600;
constexpr int kPegX = 55, kPegY = 241, kPegW = 50, kPegH = 40;
constexpr auto kSettle = std::chrono::milliseconds(400);  // unchanged this long = settled
constexpr auto kPollGap = std::chrono::microseconds(500);
std::chrono::milliseconds idleTime = std::chrono::seconds(5);
constexpr int kClicksPerRun = 5;
int scale = 1;  // of the game being measured: the window and the peg are this many times larger
// A poll's time is when it was answered; set, when it was asked. Reading a window
// four times larger takes the server four times longer, and the scale runs must not
// count the observer's own reading as the program's drawing.
bool stampAtAsking = false;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Subject {
    std::string name;
    std::string program;
    std::string dataDir;    // copied to Data/ of the working directory when not empty
    std::string className;  // WM_CLASS class of its window
    bool stampsPhases = false;
    bool offTheBridge = false;  // started with NO_AT_BRIDGE=1
};

// The start by phase: the first from fork until main, the game's own stamps
// (QUORREL_START_PHASES) for the rest, and the last one running on until the observer
// sees the complete picture, so that the phases add up to start to paint.
constexpr int kPhaseCount = 8;
const char* const kPhaseNames[kPhaseCount] = {
    "process and libraries", "lock",     "display and atoms", "window mapped and exposed",
    "font and probe",        "pictures", "store read",        "first paint (until seen)"};

struct RunFigures {
    double mapMs = -1;  // exec until the window is mapped: where the start's time goes
    double startMs = -1;
    std::vector<double> phaseMs;  // kPhaseCount, when the subject stamps its phases
    std::vector<double> clickMs;
    long rssKiB = -1;
    double wakeupsPerSecond = -1;
};

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

uint64_t Hash(const XImage* image)
{
    // A word at a time over the bytes each row shows, so that row padding never tells
    // two images apart and hashing a whole window stays well under the cost of reading it.
    uint64_t h = 1469598103934665603ull;
    const size_t rowBytes = static_cast<size_t>(image->width) * static_cast<size_t>(image->bits_per_pixel) / 8;
    for (int y = 0; y < image->height; ++y) {
        const char* row = image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line);
        size_t i = 0;
        for (; i + 8 <= rowBytes; i += 8) {
            uint64_t word;
            std::memcpy(&word, row + i, 8);
            h = (h ^ word) * 0x9E3779B97F4A7C15ull;
            h ^= h >> 29;
        }
        for (; i < rowBytes; ++i) h = (h ^ static_cast<unsigned char>(row[i])) * 1099511628211ull;
    }
    return h;
}

// A client image in shared memory: the server writes the window's pixels straight
// into it, so a poll costs the server a copy and no transfer over the socket, and
// the observer slows the program it watches as little as it can.
class ShmImage {
public:
    ShmImage(Display* d, int width, int height) : d_(d)
    {
        const int screen = DefaultScreen(d);
        image_ = XShmCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)), ZPixmap,
                                 nullptr, &info_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image_) return;
        info_.shmid =
            shmget(IPC_PRIVATE, static_cast<size_t>(image_->bytes_per_line) * image_->height, IPC_CREAT | 0600);
        if (info_.shmid < 0) return;
        info_.shmaddr = image_->data = static_cast<char*>(shmat(info_.shmid, nullptr, 0));
        info_.readOnly = False;
        attached_ = info_.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(d, &info_);
        XSync(d, False);
        shmctl(info_.shmid, IPC_RMID, nullptr);  // gone once both sides detach
    }
    ~ShmImage()
    {
        if (attached_) XShmDetach(d_, &info_);
        if (info_.shmaddr && info_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(info_.shmaddr);
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
    }
    ShmImage(const ShmImage&) = delete;
    ShmImage& operator=(const ShmImage&) = delete;

    bool Ok() const { return attached_; }
    // Hash of the window's pixels at (x, y), or nothing when they cannot be read
    // (the window is not mapped yet).
    std::optional<uint64_t> Read(Window w, int x, int y)
    {
        if (!XShmGetImage(d_, w, image_, x, y, AllPlanes)) return std::nullopt;
        return Hash(image_);
    }

private:
    Display* d_;
    XShmSegmentInfo info_{};
    XImage* image_ = nullptr;
    bool attached_ = false;
};

ShmImage* windowImage = nullptr;  // the whole 800 x 600 window, times the scale
ShmImage* pegImage = nullptr;     // the 50 x 40 peg, times the scale

std::string ClassOf(Display* d, Window w)
{
    XClassHint hint{};
    std::string result;
    if (!XGetClassHint(d, w, &hint)) return result;
    if (hint.res_class) result = hint.res_class;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return result;
}

// Context switches of all the process's threads.
long ContextSwitches(pid_t pid)
{
    long total = 0;
    const std::string taskDir = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator(taskDir, ec)) {
        std::ifstream in(task.path() / "status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::atol(line.substr(line.find(':') + 1).c_str());
        }
    }
    return total;
}

long RssKiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.substr(6).c_str());
    return -1;
}

pid_t Launch(const Subject& s, const std::string& dir)
{
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        if (s.stampsPhases) setenv("QUORREL_START_PHASES", (dir + "/start-phases").c_str(), 1);
        if (s.offTheBridge) setenv("NO_AT_BRIDGE", "1", 1);
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 0);
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execl(s.program.c_str(), s.program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// SIGTERM first, so that a wrapper such as a profiler can write its results.
void Stop(pid_t pid)
{
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Waits for the MapNotify of a top-level window of `className`, reading the root's
// substructure events; 0 on timeout.
Window WaitForMap(Display* d, const std::string& className, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == MapNotify && ClassOf(d, ev.xmap.window) == className) return ev.xmap.window;
        }
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 5);
    }
    return 0;
}

void WaitForUnmap(Display* d, Window w, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if ((ev.type == DestroyNotify && ev.xdestroywindow.window == w) ||
                (ev.type == UnmapNotify && ev.xunmap.window == w))
                return;
        }
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 5);
    }
}

// Polls the whole window until it has not changed for kSettle; the time of the first
// poll that already showed the final image is the start-to-paint figure.
double StartToPaint(Display* d, Window w, Clock::time_point started)
{
    struct Poll {
        Clock::time_point at;
        uint64_t hash;
    };
    std::vector<Poll> polls;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        const Clock::time_point asked = Clock::now();
        std::optional<uint64_t> h = windowImage->Read(w, 0, 0);
        const Clock::time_point now = Clock::now();
        if (h) {
            if (polls.empty() || polls.back().hash != *h) polls.push_back({stampAtAsking ? asked : now, *h});
            if (now - polls.back().at >= kSettle) break;
        }
        std::this_thread::sleep_for(kPollGap);
    }
    if (polls.empty()) return -1;
    return Ms(polls.back().at - started);
}

int damageEventBase = 0;

bool TouchesPeg(const XRectangle& r)
{
    const int x = kPegX * scale, y = kPegY * scale, w = kPegW * scale, h = kPegH * scale;
    return r.x < x + w && r.x + r.width > x && r.y < y + h && r.y + r.height > y;
}

// Presses on (x, y) of the window and times until the peg's pixels have changed.
// The observer does not spin: it sleeps on its connection until the server reports
// drawing on the peg (Damage), the way a compositor learns of it, and then reads the
// peg once to confirm that its pixels changed. A spinning observer takes a whole
// CPU, so on a small machine any work the program does after sending its repaint
// (the game stores the record) delays the observer's next look, and that delay was
// counted as repaint time although the pixels were already on the screen.
double ClickToPaint(Display* d, Window w, int x, int y)
{
    int rx = 0, ry = 0;
    Window child;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), x, y, &rx, &ry, &child);
    XTestFakeMotionEvent(d, DefaultScreen(d), rx, ry, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::optional<uint64_t> before = pegImage->Read(w, kPegX * scale, kPegY * scale);
    if (!before) return -1;
    // Forget the drawing reported so far; only what follows the press counts.
    XSync(d, False);
    while (XPending(d)) {
        XEvent ev;
        XNextEvent(d, &ev);
    }

    const Clock::time_point pressed = Clock::now();
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XFlush(d);
    double result = -1;
    while (result < 0 && Clock::now() - pressed < std::chrono::seconds(2)) {
        if (!XPending(d)) {
            pollfd p{ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, 100);
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type != damageEventBase + XDamageNotify) continue;
        const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(ev);
        if (notify.drawable != w || !TouchesPeg(notify.area)) continue;
        const Clock::time_point seen = Clock::now();
        const std::optional<uint64_t> h = pegImage->Read(w, kPegX * scale, kPegY * scale);
        if (h && *h != *before) result = Ms(seen - pressed);
    }
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return result;
}

// A working directory for all the runs of one subject, with its Data/ copied in.
std::string MakeWorkDir(const Subject& s)
{
    std::string dir = (std::filesystem::temp_directory_path() / "quorrel-measure-XXXXXX").string();
    if (!mkdtemp(dir.data())) return "";
    if (!s.dataDir.empty()) {
        std::error_code ec;
        std::filesystem::copy(s.dataDir, std::filesystem::path(dir) / "Data", std::filesystem::copy_options::recursive,
                              ec);
    }
    return dir;
}

// The phases of one start from the file the game wrote: "main <monotonic ns>", then
// one "<phase> <ns>" line each; empty when it is missing or incomplete.
std::vector<double> ReadPhases(const std::string& path, Clock::time_point started, double startMs)
{
    std::ifstream in(path);
    std::string name;
    long long ns = 0;
    std::vector<double> phases;
    while (in >> name >> ns) {
        if (name == "main")
            phases.push_back(Ms(Clock::time_point(std::chrono::nanoseconds(ns)) - started));
        else
            phases.push_back(static_cast<double>(ns) / 1e6);
    }
    std::remove(path.c_str());
    if (phases.size() != kPhaseCount || startMs < 0) return {};
    double stamped = 0;
    for (double p : phases) stamped += p;
    phases.back() += startMs - stamped;
    return phases;
}

RunFigures RunOnce(Display* d, const Subject& s, const std::string& dir)
{
    RunFigures f;
    XSync(d, True);  // forget events of earlier runs

    const Clock::time_point started = Clock::now();
    const pid_t pid = Launch(s, dir);
    const Window w = WaitForMap(d, s.className, started + std::chrono::seconds(10));
    if (w) {
        f.mapMs = Ms(Clock::now() - started);
        f.startMs = StartToPaint(d, w, started);
        if (s.stampsPhases) f.phaseMs = ReadPhases(dir + "/start-phases", started, f.startMs);
        f.rssKiB = RssKiB(pid);
        const long before = ContextSwitches(pid);
        const Clock::time_point idleFrom = Clock::now();
        std::this_thread::sleep_for(idleTime);
        const long after = ContextSwitches(pid);
        f.wakeupsPerSecond = (after - before) / std::chrono::duration<double>(Clock::now() - idleFrom).count();
        // Every drawing on the window is reported as its own rectangle.
        const Damage damage = XDamageCreate(d, w, XDamageReportRawRectangles);
        for (int i = 0; i < kClicksPerRun; ++i)
            f.clickMs.push_back(ClickToPaint(d, w, (kPegX + 25) * scale, (kPegY + 20) * scale));
        XDamageDestroy(d, damage);
    } else {
        std::fprintf(stderr, "%s: no window within 10 s\n", s.name.c_str());
    }
    Stop(pid);
    if (w) WaitForUnmap(d, w, Clock::now() + std::chrono::seconds(2));
    return f;
}

double Median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return x < 0; }), v.end());
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Summary {
    double mapMs, startMs, clickMs, rssKiB, wakeups;
    std::vector<double> phaseMs;  // medians of each phase over the runs that stamped them
};

Summary Summarise(const std::vector<RunFigures>& runs)
{
    std::vector<double> map, start, click, rss, wake;
    for (const RunFigures& r : runs) {
        map.push_back(r.mapMs);
        start.push_back(r.startMs);
        click.insert(click.end(), r.clickMs.begin(), r.clickMs.end());
        rss.push_back(static_cast<double>(r.rssKiB));
        wake.push_back(r.wakeupsPerSecond);
    }
    std::vector<double> phases;
    for (int p = 0; p < kPhaseCount; ++p) {
        std::vector<double> one;
        for (const RunFigures& r : runs)
            if (!r.phaseMs.empty()) one.push_back(r.phaseMs[static_cast<size_t>(p)]);
        if (!one.empty()) phases.push_back(Median(one));
    }
    return {Median(map), Median(start), Median(click), Median(rss), Median(wake), phases};
}

// The game at scale 2 beside scale 1 on a 4K screen, `runs` alternating runs each,
// without the idle wait. The scale comes from the root window's resources, set and
// removed from this connection before each start; false when nothing could run.
bool MeasureScales(const Subject& game, int runs, Summary& one, Summary& two)
{
    XvfbServer::Options options;
    options.width = 3840;
    options.height = 2160;
    options.depth = 24;
    XvfbServer server(options);
    if (!server.Ok()) return false;
    setenv("DISPLAY", server.DisplayName().c_str(), 1);
    Display* d = XOpenDisplay(server.DisplayName().c_str());
    int damageErrorBase = 0;
    if (!d || !XDamageQueryExtension(d, &damageEventBase, &damageErrorBase)) return false;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    const std::string dir1 = MakeWorkDir(game), dir2 = MakeWorkDir(game);
    const std::chrono::milliseconds idle = idleTime;
    idleTime = std::chrono::milliseconds(0);
    stampAtAsking = true;
    std::vector<RunFigures> runs1, runs2;
    {
        ShmImage whole1(d, kWidth, kHeight), peg1(d, kPegW, kPegH);
        ShmImage whole2(d, 2 * kWidth, 2 * kHeight), peg2(d, 2 * kPegW, 2 * kPegH);
        const std::string resources = "Xft.dpi:\t192\n";
        auto run = [&](int s, const std::string& dir) {
            scale = s;
            windowImage = s == 1 ? &whole1 : &whole2;
            pegImage = s == 1 ? &peg1 : &peg2;
            if (s == 1)
                XDeleteProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER);
            else
                XChangeProperty(d, DefaultRootWindow(d), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(resources.data()),
                                static_cast<int>(resources.size()));
            XSync(d, False);
            return RunOnce(d, game, dir);
        };
        if (whole1.Ok() && whole2.Ok() && peg1.Ok() && peg2.Ok()) {
            run(1, dir1);
            run(2, dir2);
            for (int i = 0; i < runs; ++i) {
                runs1.push_back(run(1, dir1));
                runs2.push_back(run(2, dir2));
            }
        }
        windowImage = pegImage = nullptr;
        scale = 1;
    }
    idleTime = idle;
    stampAtAsking = false;
    XCloseDisplay(d);
    server.Stop();
    std::error_code ec;
    std::filesystem::remove_all(dir1, ec);
    std::filesystem::remove_all(dir2, ec);
    if (runs1.empty()) return false;
    one = Summarise(runs1);
    two = Summarise(runs2);
    return true;
}

std::string Join(const std::vector<double>& v, const char* format)
{
    std::string s;
    char buffer[32];
    for (double x : v) {
        std::snprintf(buffer, sizeof buffer, format, x);
        if (!s.empty()) s += ' ';
        s += buffer;
    }
    return s;
}
}  // namespace

// A private session bus for the runs, stopped at the end; none where dbus-daemon is missing.
class SessionBus {
public:
    SessionBus()
    {
        FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!out) return;
        char address[512] = "", pid[32] = "";
        if (std::fgets(address, sizeof address, out) && std::fgets(pid, sizeof pid, out)) {
            address[std::strcspn(address, "\n")] = '\0';
            pid_ = std::atoi(pid);
            if (pid_ > 0) setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
        }
        pclose(out);
    }
    ~SessionBus()
    {
        if (pid_ > 0) kill(pid_, SIGTERM);
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    bool Ok() const { return pid_ > 0; }

private:
    pid_t pid_ = 0;
};

int main(int argc, char** argv)
{
    // quorrel_measure [runs [game program [its Data folder [idle seconds [earlier
    // game program]]]]]: another build of the game can be set against the same floor,
    // and an earlier build (with the same Data folder) measured in the same turns
    // beside it.
    int runs = 7;
    if (argc > 1) runs = std::max(1, std::atoi(argv[1]));
    if (argc > 4) idleTime = std::chrono::milliseconds(static_cast<long>(1000 * std::atof(argv[4])));
    const Subject floor{"floor", QUORREL_FLOOR_PROGRAM, "", "QuorrelFloor", true};
    // Absolute, because each program starts in its own working directory.
    const Subject game{"quorrel", std::filesystem::absolute(argc > 2 ? argv[2] : QUORREL_GAME_PROGRAM).string(),
                       std::filesystem::absolute(argc > 3 ? argv[3] : QUORREL_GAME_DATA).string(), "Quorrel.exe", true};

    // The same build kept off the accessibility bus: the game as usual must cost the
    // player who runs no screen reader nothing beside it.
    Subject unbridged = game;
    unbridged.name = "NO_AT_BRIDGE=1";
    unbridged.offTheBridge = true;

    const bool withEarlier = argc > 5;
    const Subject earlier{"earlier", withEarlier ? std::filesystem::absolute(argv[5]).string() : "", game.dataDir,
                          "Quorrel.exe", true};

    XvfbServer::Options options;
    options.width = 1280;
    options.height = 1024;
    options.depth = 24;
    XvfbServer server(options);
    if (!server.Ok()) {
        std::fprintf(stderr, "could not start a private Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", server.DisplayName().c_str(), 1);
    // A session bus as a desktop has one, without assistive technology on it: the
    // game asks it whether a screen reader runs (after its first picture).
    const SessionBus bus;
    Display* d = XOpenDisplay(server.DisplayName().c_str());
    int ev, er, major, minor;
    int damageErrorBase = 0;
    if (!d || !XTestQueryExtension(d, &ev, &er, &major, &minor) ||
        !XDamageQueryExtension(d, &damageEventBase, &damageErrorBase)) {
        std::fprintf(stderr, "no display, XTest or Damage on %s\n", server.DisplayName().c_str());
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    // Each subject keeps its working directory over all its runs, so the game starts
    // the way it usually does: with the game it stored the time before. The warm-up
    // start of each stores that game and spares both the cold caches.
    const std::string floorDir = MakeWorkDir(floor), gameDir = MakeWorkDir(game), unbridgedDir = MakeWorkDir(unbridged);
    const std::string earlierDir = withEarlier ? MakeWorkDir(earlier) : "";
    if (floorDir.empty() || gameDir.empty() || (withEarlier && earlierDir.empty())) return 1;
    std::vector<RunFigures> floorRuns, gameRuns, earlierRuns, unbridgedRuns;
    {
        ShmImage whole(d, kWidth, kHeight), peg(d, kPegW, kPegH);
        if (!XShmQueryExtension(d) || !whole.Ok() || !peg.Ok()) {
            std::fprintf(stderr, "no MIT-SHM on %s\n", server.DisplayName().c_str());
            return 1;
        }
        windowImage = &whole;
        pegImage = &peg;
        RunOnce(d, floor, floorDir);
        RunOnce(d, game, gameDir);
        RunOnce(d, unbridged, unbridgedDir);
        if (withEarlier) RunOnce(d, earlier, earlierDir);
        for (int i = 0; i < runs; ++i) {
            floorRuns.push_back(RunOnce(d, floor, floorDir));
            gameRuns.push_back(RunOnce(d, game, gameDir));
            unbridgedRuns.push_back(RunOnce(d, unbridged, unbridgedDir));
            if (withEarlier) earlierRuns.push_back(RunOnce(d, earlier, earlierDir));
        }
        windowImage = pegImage = nullptr;
    }
    XCloseDisplay(d);
    server.Stop();
    Summary scaled1{}, scaled2{};
    const bool scaled = MeasureScales(game, runs, scaled1, scaled2);
    std::error_code ec;
    std::filesystem::remove_all(floorDir, ec);
    std::filesystem::remove_all(gameDir, ec);
    std::filesystem::remove_all(unbridgedDir, ec);
    if (withEarlier) std::filesystem::remove_all(earlierDir, ec);

    const Summary f = Summarise(floorRuns), g = Summarise(gameRuns);
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("Whole program against the plain-Xlib floor, %d alternating runs each (medians)\n\n", runs);
    std::printf("%-24s %12s %12s %8s  %-22s %s\n", "measure", "floor", "quorrel", "ratio", "goal", "met");
    std::printf("%-24s %9.1f ms %9.1f ms %7.2fx  %-22s %s\n", "start to paint", f.startMs, g.startMs,
                ratio(g.startMs, f.startMs), "<= 1.5x floor", ratio(g.startMs, f.startMs) <= 1.5 ? "yes" : "NO");
    std::printf("%-24s %9.1f ms %9.1f ms %7.2fx  %-22s\n", "  of which start to map", f.mapMs, g.mapMs,
                ratio(g.mapMs, f.mapMs), "(for reading)");
    std::printf("%-24s %9.2f ms %9.2f ms %7.2fx  %-22s %s\n", "click to repaint", f.clickMs, g.clickMs,
                ratio(g.clickMs, f.clickMs), "<= 1.3x floor", ratio(g.clickMs, f.clickMs) <= 1.3 ? "yes" : "NO");
    std::printf("%-24s %8.0f KiB %8.0f KiB %7.2fx  %-22s %s (+%.0f KiB)\n", "resident memory", f.rssKiB, g.rssKiB,
                ratio(g.rssKiB, f.rssKiB), "<= floor + 2048 KiB", g.rssKiB <= f.rssKiB + 2048 ? "yes" : "NO",
                g.rssKiB - f.rssKiB);
    std::printf("%-24s %10.2f/s %10.2f/s %8s  %-22s %s\n", "idle wakeups (5 s)", f.wakeups, g.wakeups, "", "0 /s",
                g.wakeups == 0 ? "yes" : "NO");

    if (g.phaseMs.size() == kPhaseCount) {
        // An earlier build that stamps its phases too gets a column of its own.
        const Summary e = Summarise(earlierRuns);
        const bool both = e.phaseMs.size() == kPhaseCount;
        std::printf("\nStart to first complete paint by phase (medians; the game stamps its own phases):\n");
        const bool floorToo = f.phaseMs.size() == kPhaseCount;
        std::printf("%-28s %10s %8s %10s%s\n", "phase", "quorrel", "share", "floor", both ? "    earlier" : "");
        double sum = 0, floorSum = 0, earlierSum = 0;
        for (size_t p = 0; p < kPhaseCount; ++p) {
            sum += g.phaseMs[p];
            std::printf("%-28s %7.2f ms %7.0f%%", kPhaseNames[p], g.phaseMs[p], 100 * ratio(g.phaseMs[p], g.startMs));
            if (floorToo) std::printf(" %7.2f ms", f.phaseMs[p]), floorSum += f.phaseMs[p];
            if (both) std::printf(" %7.2f ms", e.phaseMs[p]), earlierSum += e.phaseMs[p];
            std::printf("\n");
        }
        std::printf("%-28s %7.2f ms %8s %7.2f ms", "sum of the medians", sum, "", floorSum);
        if (both) std::printf(" %7.2f ms", earlierSum);
        std::printf("\n");
    }

    {
        const Summary u = Summarise(unbridgedRuns);
        std::printf("\nThe screen-reader bridge off (%s) against the same build with NO_AT_BRIDGE=1, same turns:\n",
                    bus.Ok() ? "a session bus without assistive technology" : "no session bus");
        std::printf("%-24s %12s %12s %8s  %-22s %s\n", "measure", "NO_AT_BRIDGE", "quorrel", "ratio", "goal", "met");
        std::printf("%-24s %9.1f ms %9.1f ms %7.2fx  %-22s %s\n", "start to paint", u.startMs, g.startMs,
                    ratio(g.startMs, u.startMs), "<= 1.1x", ratio(g.startMs, u.startMs) <= 1.1 ? "yes" : "NO");
        std::printf("%-24s %9.2f ms %9.2f ms %7.2fx\n", "click to repaint", u.clickMs, g.clickMs,
                    ratio(g.clickMs, u.clickMs));
        std::printf("%-24s %8.0f KiB %8.0f KiB %7.2fx\n", "resident memory", u.rssKiB, g.rssKiB,
                    ratio(g.rssKiB, u.rssKiB));
        std::printf("%-24s %10.2f/s %10.2f/s\n", "idle wakeups (5 s)", u.wakeups, g.wakeups);
    }

    if (withEarlier) {
        const Summary e = Summarise(earlierRuns);
        std::printf("\nThe earlier build %s in the same turns:\n", earlier.program.c_str());
        std::printf("%-24s %12s %12s %8s\n", "measure", "floor", "earlier", "ratio");
        std::printf("%-24s %9.1f ms %9.1f ms %7.2fx\n", "start to paint", f.startMs, e.startMs,
                    ratio(e.startMs, f.startMs));
        std::printf("%-24s %9.1f ms %9.1f ms %7.2fx\n", "  of which start to map", f.mapMs, e.mapMs,
                    ratio(e.mapMs, f.mapMs));
        std::printf("%-24s %9.2f ms %9.2f ms %7.2fx\n", "click to repaint", f.clickMs, e.clickMs,
                    ratio(e.clickMs, f.clickMs));
        std::printf("%-24s %8.0f KiB %8.0f KiB %7.2fx (+%.0f KiB)\n", "resident memory", f.rssKiB, e.rssKiB,
                    ratio(e.rssKiB, f.rssKiB), e.rssKiB - f.rssKiB);
        std::printf("%-24s %10.2f/s %10.2f/s\n", "idle wakeups (5 s)", f.wakeups, e.wakeups);
    }

    if (scaled) {
        std::printf("\nOn a 3840 x 2160 screen, the game at scale 2 (Xft.dpi 192) beside scale 1, %d runs each:\n",
                    runs);
        std::printf("%-24s %12s %12s %8s  %-22s %s\n", "measure", "scale 1", "scale 2", "ratio", "goal", "met");
        std::printf("%-24s %9.1f ms %9.1f ms %7.2fx  %-22s %s\n", "start to paint", scaled1.startMs, scaled2.startMs,
                    ratio(scaled2.startMs, scaled1.startMs), "<= 1.5x scale 1",
                    ratio(scaled2.startMs, scaled1.startMs) <= 1.5 ? "yes" : "NO");
        std::printf("%-24s %9.1f ms %9.1f ms %7.2fx  %-22s\n", "  of which start to map", scaled1.mapMs, scaled2.mapMs,
                    ratio(scaled2.mapMs, scaled1.mapMs), "(for reading)");
        std::printf("%-24s %9.2f ms %9.2f ms %7.2fx  %-22s %s\n", "click to repaint", scaled1.clickMs, scaled2.clickMs,
                    ratio(scaled2.clickMs, scaled1.clickMs), "<= 1.5x scale 1",
                    ratio(scaled2.clickMs, scaled1.clickMs) <= 1.5 ? "yes" : "NO");
    } else {
        std::printf("\nThe scale 2 runs could not be made (no 4K Xvfb, Damage or MIT-SHM).\n");
    }

    auto clickMedians = [](const std::vector<RunFigures>& list) {
        std::vector<double> v;
        for (const RunFigures& r : list) v.push_back(Median(r.clickMs));
        return v;
    };
    std::printf("\nper run, median click to repaint (ms): floor %s | quorrel %s%s%s\n",
                Join(clickMedians(floorRuns), "%.2f").c_str(), Join(clickMedians(gameRuns), "%.2f").c_str(),
                withEarlier ? " | earlier " : "", withEarlier ? Join(clickMedians(earlierRuns), "%.2f").c_str() : "");
    std::printf("per run, start to paint (ms): floor %s | quorrel %s\n",
                Join(
                    [&] {
                        std::vector<double> v;
                        for (auto& r : floorRuns) v.push_back(r.startMs);
                        return v;
                    }(),
                    "%.1f")
                    .c_str(),
                Join(
                    [&] {
                        std::vector<double> v;
                        for (auto& r : gameRuns) v.push_back(r.startMs);
                        return v;
                    }(),
                    "%.1f")
                    .c_str());
    return 0;
}
