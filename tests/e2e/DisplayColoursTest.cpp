// The real program on screens of 8, 15, 16, 24 and 30 bits: every colour must reach
// the screen as the nearest colour that screen can show. The window is read back and
// each pixel decoded the way the server shows it: through the visual's masks on
// TrueColor, through the colormap on PseudoColor. The flat colours of the main
// window and the message box, and every peg picture set through the input row, are
// checked pixel by pixel.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <bit>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Colours.h"
#include "GameSession.h"
#include "ProgramRunner.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;
using G = GameSession;

unsigned Channel(uint32_t rgb, int i) { return rgb >> (16 - 8 * i) & 0xFF; }

// How the server turns pixel values of window w into colours.
class ScreenModel {
public:
    ScreenModel(Display* d, Window w) : display_(d)
    {
        XWindowAttributes a{};
        XGetWindowAttributes(d, w, &a);
        Visual* v = a.visual;
        masks_ = v->c_class == TrueColor || v->c_class == DirectColor;
        if (masks_) {
            mask_[0] = v->red_mask;
            mask_[1] = v->green_mask;
            mask_[2] = v->blue_mask;
            direct_ = v->c_class == DirectColor ? a.colormap : None;
            return;
        }
        // The colormap as the program left it, read after its cells were allocated.
        // Free cells hold leftovers that anyone may overwrite: the test takes them
        // all for a moment to learn which they are, and leaves them out.
        const Colormap cmap = a.colormap;
        std::vector<XColor> colours(static_cast<size_t>(v->map_entries));
        for (size_t i = 0; i < colours.size(); ++i) colours[i].pixel = i;
        XQueryColors(d, cmap, colours.data(), static_cast<int>(colours.size()));
        std::vector<unsigned long> free;
        unsigned long cell;
        while (XAllocColorCells(d, cmap, False, nullptr, 0, &cell, 1)) free.push_back(cell);
        if (!free.empty()) XFreeColors(d, cmap, free.data(), static_cast<int>(free.size()), 0);
        for (const XColor& c : colours) {
            entries_.push_back(static_cast<uint32_t>((c.red >> 8) << 16 | (c.green >> 8) << 8 | (c.blue >> 8)));
            inUse_.push_back(std::find(free.begin(), free.end(), c.pixel) == free.end());
        }
    }

    // The colour pixel p shows, 8 bits a channel (rounded down on deeper channels).
    uint32_t Decode(unsigned long p) const
    {
        if (!masks_) return p < entries_.size() ? entries_[p] : 0xFFFFFFFFu;
        if (direct_ != None) {  // each channel through its own colormap ramp
            XColor c{p, 0, 0, 0, 0, 0};
            XQueryColor(display_, direct_, &c);
            return static_cast<uint32_t>((c.red >> 8) << 16 | (c.green >> 8) << 8 | (c.blue >> 8));
        }
        uint32_t rgb = 0;
        for (int i = 0; i < 3; ++i) {
            const unsigned long max = mask_[i] >> std::countr_zero(mask_[i]);
            rgb = rgb << 8 | static_cast<uint32_t>(((p & mask_[i]) >> std::countr_zero(mask_[i])) * 255 / max);
        }
        return rgb;
    }

    // True when p is the screen's nearest colour to `want`: on TrueColor each channel
    // is `want`'s channel scaled to the mask's width and rounded; on a colormap no
    // entry lies nearer to `want` than the one p shows.
    bool IsNearest(unsigned long p, uint32_t want) const
    {
        if (direct_ != None) return Decode(p) == want;
        if (masks_) {
            for (int i = 0; i < 3; ++i) {
                const int shift = std::countr_zero(mask_[i]);
                const unsigned long max = mask_[i] >> shift;
                if (((p & mask_[i]) >> shift) != (Channel(want, i) * max + 127) / 255) return false;
            }
            return true;
        }
        if (p >= entries_.size()) return false;
        const long shown = Distance(entries_[p], want);
        for (size_t i = 0; i < entries_.size(); ++i)
            if (inUse_[i] && Distance(entries_[i], want) < shown) return false;
        return true;
    }

    // The raw pixel values of r in w.
    std::vector<unsigned long> Grab(Window w, Rect r) const
    {
        std::vector<unsigned long> out;
        XSync(display_, False);
        XImage* image = XGetImage(display_, w, r.x, r.y, static_cast<unsigned>(r.w), static_cast<unsigned>(r.h),
                                  AllPlanes, ZPixmap);
        if (!image) return out;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) out.push_back(XGetPixel(image, x, y));
        XDestroyImage(image);
        return out;
    }

    // "" when every pixel of r shows the nearest colour to the same pixel of
    // `expected` (r's size), else the first pixels that do not.
    std::string Mismatch(Window w, Rect r, const Pixels& expected) const
    {
        const std::vector<unsigned long> got = Grab(w, r);
        if (got.size() != static_cast<size_t>(r.w) * r.h) return "no pixels";
        std::ostringstream out;
        int bad = 0;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                const unsigned long p = got[static_cast<size_t>(y) * r.w + x];
                const uint32_t want = expected.At(x, y);
                if (IsNearest(p, want)) continue;
                if (bad++ < 3)
                    out << std::hex << " (" << std::dec << x << "," << y << std::hex << ") shows #" << Decode(p)
                        << " for #" << want;
            }
        if (bad == 0) return "";
        return std::to_string(bad) + " pixels off:" + out.str();
    }

    // Polls until r shows `expected`; the last mismatch on timeout.
    std::string WaitFor(Window w, Rect r, const Pixels& expected, std::chrono::milliseconds timeout = 10s) const
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            std::string m = Mismatch(w, r, expected);
            if (m.empty() || std::chrono::steady_clock::now() >= deadline) return m;
            std::this_thread::sleep_for(20ms);
        }
    }

private:
    static long Distance(uint32_t a, uint32_t b)
    {
        long d = 0;
        for (int i = 0; i < 3; ++i) {
            const long c = static_cast<long>(Channel(a, i)) - Channel(b, i);
            d += c * c;
        }
        return d;
    }

    Display* display_;
    bool masks_ = false;
    unsigned long mask_[3] = {};
    Colormap direct_ = None;
    std::vector<uint32_t> entries_;
    std::vector<bool> inUse_;
};

Pixels Flat(Rect r, uint32_t colour)
{
    Pixels p;
    p.width = r.w;
    p.height = r.h;
    p.rgb.assign(static_cast<size_t>(r.w) * r.h, colour);
    return p;
}

struct FlatColour {
    const char* what;
    Rect where;
    uint32_t colour;
};

// Patches of the main window that show one colour only, away from captions and art.
const FlatColour kMainWindowColours[] = {
    {"cream band", {20, 170, 30, 15}, kCream},
    {"white side", {700, 560, 90, 30}, kWhite},
    {"white strip on the left", {2, 200, 12, 100}, kWhite},
    {"GO face", {57, 318, 8, 20}, kGreen},
    {"CANCEL face", {164, 318, 8, 20}, kRed},
};
// The exit question's grey and its message label.
const FlatColour kMessageBoxColours[] = {
    {"message box", {2, 102, 240, 6}, 0xAAAAAA},
    {"message label", {12, 12, 20, 8}, 0xB7B7B7},
};

struct Screen {
    int depth;
    int visualClass;  // -1: the server's default for the depth
    const char* name;
};

class DisplayColours : public testing::TestWithParam<Screen> {};

TEST_P(DisplayColours, FlatColoursAndEveryPegShowAsTheNearestColourTheScreenHas)
{
    XvfbServer::Options o;
    o.depth = GetParam().depth;
    o.visualClass = GetParam().visualClass;
    XvfbServer server(o);
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    // GameSession waits for exact sheet pixels, which only a 24-bit screen shows: the
    // Data folder is copied by hand and the board is waited for here.
    GameSession::Options options;
    options.withData = false;
    GameSession game(options);
    ASSERT_TRUE(game.Runner().CopyDir(QUORREL_DATA_DIR, "Data"));
    ASSERT_TRUE(game.Start()) << game.Stderr();
    const Window w = game.MainWindow();
    const ScreenModel screen(game.GetDisplay(), w);

    EXPECT_EQ(screen.WaitFor(w, G::BottomLeftPiece(), SheetPicture(6)), "") << "bottom-left board piece";
    for (const FlatColour& f : kMainWindowColours)
        EXPECT_EQ(screen.Mismatch(w, f.where, Flat(f.where, f.colour)), "") << f.what;

    // Every colour in turn on input peg 1, ending where it began.
    for (int step = 1; step <= 8; ++step) {
        const int colour = step % 8;
        game.Click(w, G::InputPeg(1));
        ASSERT_TRUE(game.WaitForValue("col1", std::to_string(colour)));
        EXPECT_EQ(screen.WaitFor(w, G::InputPeg(1), SheetPicture(PictureOfColour(colour))), "") << "colour " << colour;
    }
    EXPECT_EQ(screen.Mismatch(w, G::CodePeg(1), SheetPicture(PictureOfColour(8))), "") << "covered code peg";

    // A second start on this screen leaves the running game's log as it is, warnings
    // about the screen included.
    const std::string log = game.Runner().Log();
    if (GetParam().depth != 24) {
        EXPECT_NE(log.find("WARNING img->depth: " + std::to_string(GetParam().depth)), std::string::npos) << log;
    }
    ProgramRunner second(QUORREL_PROGRAM);
    second.SetWorkDir(game.WorkDir());
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(second.Wait(20s).exited) << second.Stderr();
    EXPECT_EQ(game.Runner().Log(), log);

    game.Click(w, G::ExitButton());
    const Window box = game.WaitForDialog("Exit");
    ASSERT_NE(box, 0u);
    for (const FlatColour& f : kMessageBoxColours)
        EXPECT_EQ(screen.WaitFor(box, f.where, Flat(f.where, f.colour)), "") << f.what;
    game.Click(box, G::YesButton());
    EXPECT_TRUE(game.WaitForExit().exited);
    EXPECT_TRUE(game.SanitizerClean()) << game.Stderr();
}

INSTANTIATE_TEST_SUITE_P(Depths, DisplayColours,
                         testing::Values(Screen{8, -1, "8Bit"}, Screen{15, -1, "15Bit"}, Screen{16, -1, "16Bit"},
                                         Screen{24, -1, "24Bit"}, Screen{30, -1, "30Bit"},
                                         Screen{24, DirectColor, "24BitDirectColor"}),
                         [](const testing::TestParamInfo<Screen>& i) { return i.param.name; });

}  // namespace
