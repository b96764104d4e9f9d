// The floor of the whole-program measurements: the least a program can do to show a
// window like the game's with plain Xlib. It maps an 800 x 600 window with the same
// fixed-size hints and a WM_CLASS, paints a board-like pattern of 70 rectangles and a
// line of text at the first Expose, and repaints one 50 x 40 peg on each button press.
// No toolkit, no files, no font of its own, no images: nothing of ours can be faster.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
constexpr int kWidth = 800, kHeight = 600;
constexpr int kPegX = 55, kPegY = 241, kPegW = 50, kPegH = 40;  // where the game's input peg 1 sits
constexpr unsigned long kColours[] = {0x2040C0, 0xC02020, 0x20A040, 0xE0C020, 0x8030A0, 0x20B0B0, 0xE07020, 0x606060};

// The game's start phases (QUORREL_START_PHASES), those the floor has: when main
// began, then the display, the window until its first Expose, and the first paint.
long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void WritePhases(long long entered, long long displayed, long long exposed)
{
    std::FILE* f = std::getenv("QUORREL_START_PHASES") ? std::fopen(std::getenv("QUORREL_START_PHASES"), "w") : nullptr;
    if (!f) return;
    std::fprintf(f, "main %lld\nlock 0\ndisplay %lld\nwindow %lld\nfont-and-probe 0\npictures 0\nstore-read 0\n",
                 entered, displayed - entered, exposed - displayed);
    std::fprintf(f, "first-paint %lld\n", Now() - exposed);
    std::fclose(f);
}

void SetHints(Display* d, Window w)
{
    XSizeHints* size = XAllocSizeHints();
    XClassHint* cls = XAllocClassHint();
    if (!size || !cls) return;
    size->flags = PPosition | PSize | PMinSize | PMaxSize;
    size->width = size->min_width = size->max_width = kWidth;
    size->height = size->min_height = size->max_height = kHeight;
    char name[] = "QuorrelFloor";
    cls->res_name = name;
    cls->res_class = name;
    XStoreName(d, w, "Quorrel floor");
    XSetWMNormalHints(d, w, size);
    XSetClassHint(d, w, cls);
    XFree(size);
    XFree(cls);
    Atom del = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &del, 1);
}

void FillPeg(Display* d, Window w, GC gc, int colour)
{
    XSetForeground(d, gc, kColours[colour % 8]);
    XFillRectangle(d, w, gc, kPegX, kPegY, kPegW, kPegH);
}

// Four input pegs and a board of 11 rows x 6 cells: 70 rectangles, then one line of text.
void PaintBoard(Display* d, Window w, GC gc, int pegColour)
{
    XSetForeground(d, gc, 0xFFFFFF);
    XFillRectangle(d, w, gc, 315, 0, kWidth - 315, kHeight);
    for (int k = 1; k < 4; ++k) {
        XSetForeground(d, gc, kColours[k]);
        XFillRectangle(d, w, gc, kPegX + 51 * k, kPegY, kPegW, kPegH);
    }
    FillPeg(d, w, gc, pegColour);
    for (int row = 1; row <= 11; ++row)
        for (int column = 1; column <= 6; ++column) {
            XSetForeground(d, gc, row == 11 || column == 1 || column == 6 ? 0x604020 : 0x302010);
            XFillRectangle(d, w, gc, 375 + 50 * column, 40 + 40 * row, 50, 40);
        }
    XSetForeground(d, gc, 0x000000);
    const char* text = "Attempts: 0";
    XDrawString(d, w, gc, 60, 373, text, static_cast<int>(std::strlen(text)));
}
}  // namespace

int main()
{
    const long long entered = Now();
    Display* d = XOpenDisplay(nullptr);
    const long long displayed = Now();
    if (!d) {
        std::fprintf(stderr, "quorrel_floor: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, kWidth, kHeight, 1, BlackPixel(d, screen), 0xFFFDE5);
    SetHints(d, w);
    XSelectInput(d, w, ExposureMask | ButtonPressMask | StructureNotifyMask);
    GC gc = XCreateGC(d, w, 0, nullptr);
    XMapWindow(d, w);

    int pegColour = 0;
    bool painted = false;
    for (;;) {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == Expose && ev.xexpose.count == 0) {
            const long long exposed = Now();
            PaintBoard(d, w, gc, pegColour);
            XFlush(d);
            if (!painted) WritePhases(entered, displayed, exposed);
            painted = true;
        } else if (ev.type == ButtonPress) {
            FillPeg(d, w, gc, ++pegColour);
        } else if (ev.type == ClientMessage || ev.type == DestroyNotify) {
            break;
        }
        XFlush(d);
    }
    XFreeGC(d, gc);
    XCloseDisplay(d);
    return 0;
}
