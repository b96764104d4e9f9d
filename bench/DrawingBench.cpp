// What the toolkit's drawing costs next to plain Xlib doing the same work on the same
// server in the same run: converting the peg sheet, repainting a form of 80 image
// frames, filling rectangles and drawing a wrapped paragraph. Everything that talks
// to the server ends with XSync, so the server's share of the work is counted on
// both sides.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "XvfbServer.h"
#include "app/Application.h"
#include "app/ScreenConnection.h"
#include "controls/ImageFrame.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "image/DisplayImage.h"

namespace {
constexpr int kSheetW = 750, kSheetH = 40, kCellW = 50, kCellH = 40, kCells = kSheetW / kCellW;
constexpr int kFrameColumns = 16, kFrameRows = 5;  // 80 frames, a little more than the main form's 74
constexpr int kFormW = kFrameColumns * kCellW, kFormH = kFrameRows * kCellH + 240;
constexpr int kTextX = 10, kTextY = kFrameRows * kCellH + 10, kTextW = 300, kTextH = 200;
const std::string kParagraph =
    "Four pegs hide the code, each one of eight colours. Set the pegs of the input row, "
    "press GO and read the answer beside the row: P for the right colour in the right "
    "place, C for a right colour in a wrong place. Averylongwordwithoutanyblanksatall "
    "is broken between characters.";

// The display, a mapped form with 80 sheet frames, and the raw Xlib tools of the
// baselines.
struct Stage {
    ScreenConnection screen;
    std::unique_ptr<Form> form;
    std::vector<unsigned char> sheet;
    std::vector<std::unique_ptr<ImageFrame>> frames;
    DisplayImagePtr sheetImage;  // prepared once, for the baselines
    GC gc = nullptr;
    XFontStruct* font = nullptr;
    std::vector<std::pair<int, std::string>> lines;  // the paragraph as DrawText lays it out

    Stage()
    {
        Display* d = screen.GetDisplay();
        form = std::make_unique<Form>(nullptr);
        Application::SetMainForm(form.get());
        form->SetScreen(&screen);
        form->SetGeometry(0, 0, kFormW, kFormH);
        form->Create();
        XEvent ev;
        XWindowEvent(d, form->GetWindow(), ExposureMask, &ev);

        sheet.resize(static_cast<size_t>(kSheetW) * kSheetH * 3);
        for (size_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<unsigned char>(i * 7 + i / 2250);
        for (int r = 0; r < kFrameRows; ++r)
            for (int c = 0; c < kFrameColumns; ++c) {
                auto f = std::make_unique<ImageFrame>(form.get(), sheet.data(), 1, kSheetW, kSheetH,
                                                      (r * kFrameColumns + c) % kCells, 0);
                f->SetSize(kCellW, kCellH);
                f->SetPosition(c * kCellW, r * kCellH);
                f->Show();
                frames.push_back(std::move(f));
            }
        sheetImage.reset(MakeDisplayImage(form.get(), sheet.data(), kSheetW, kSheetH));
        gc = XCreateGC(d, form->GetWindow(), 0, nullptr);
        font = form->GetFont().Get(d);
        if (font) XSetFont(d, gc, font->fid);
        LayOutParagraph();
        XSync(d, False);
    }
    ~Stage()
    {
        if (gc) XFreeGC(screen.GetDisplay(), gc);
        frames.clear();
        form.reset();
    }

    Display* display() const { return screen.GetDisplay(); }
    Window window() const { return form->GetWindow(); }

    // The same lines at the same baselines as DrawText, worked out once, so that the
    // baseline pays only for the requests.
    void LayOutParagraph()
    {
        if (!font) return;
        const int L = font->ascent < 16 ? 15 : font->ascent + 1;
        std::string rest = kParagraph;
        for (int y = kTextY, h = kTextH; h > 9 && !rest.empty(); y += L, h -= L) {
            std::string line = rest;
            while (XTextWidth(font, line.data(), static_cast<int>(line.size())) > kTextW && !line.empty()) {
                const char dropped = line.back();
                line.pop_back();
                if (std::isalpha(static_cast<unsigned char>(dropped))) {
                    const size_t blank = line.rfind(' ');
                    if (blank != std::string::npos) line.erase(blank);
                }
            }
            lines.emplace_back(y + L - 1, line);
            rest = rest.substr(line.size());
            rest.erase(0, rest.find_first_not_of(' '));
        }
    }
};

Stage* stage = nullptr;

// The same sheet converted for a 16-bit (5-6-5) screen: a second private server and
// a form on it, beside the 24-bit stage.
struct ShallowStage {
    XvfbServer server{Options()};
    std::unique_ptr<ScreenConnection> screen;
    std::unique_ptr<Form> form;

    ShallowStage()
    {
        if (!server.Ok()) return;
        ScopedDisplayEnv env(server.DisplayName());
        screen = std::make_unique<ScreenConnection>();
        form = std::make_unique<Form>(nullptr);
        form->SetScreen(screen.get());
        form->SetGeometry(0, 0, 64, 64);
        form->Create();
    }
    static XvfbServer::Options Options()
    {
        XvfbServer::Options o;
        o.width = 320;
        o.height = 240;
        o.depth = 16;
        return o;
    }
};

ShallowStage* shallow = nullptr;

// Runs the toolkit's way and the plain Xlib way of the same work in every iteration,
// taking turns at going first, and reports both mean times and their ratio: load on
// the machine then weighs on both sides alike.
template <typename Toolkit, typename Xlib>
void Paired(benchmark::State& state, Toolkit toolkit, Xlib xlib)
{
    using Clock = std::chrono::steady_clock;
    double toolkitSeconds = 0, xlibSeconds = 0;
    bool toolkitFirst = true;
    for (auto _ : state) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool runToolkit = (turn == 0) == toolkitFirst;
            const auto start = Clock::now();
            if (runToolkit)
                toolkit();
            else
                xlib();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            (runToolkit ? toolkitSeconds : xlibSeconds) += seconds;
        }
        toolkitFirst = !toolkitFirst;
    }
    state.counters["toolkit_us"] = benchmark::Counter(toolkitSeconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["xlib_us"] = benchmark::Counter(xlibSeconds * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = xlibSeconds > 0 ? toolkitSeconds / xlibSeconds : 0;
}

// ---------------------------------------------------------------- the sheet

void ConvertSheet()
{
    DisplayImagePtr image(MakeDisplayImage(stage->form.get(), stage->sheet.data(), kSheetW, kSheetH));
    benchmark::DoNotOptimize(image.get());
}

void ConvertSheetFor16Bits()
{
    DisplayImagePtr image(MakeDisplayImage(shallow->form.get(), stage->sheet.data(), kSheetW, kSheetH));
    benchmark::DoNotOptimize(image.get());
}

void PutPreparedSheet()
{
    XPutImage(stage->display(), stage->window(), stage->gc, stage->sheetImage.get(), 0, 0, 0, 0, kSheetW, kSheetH);
    XSync(stage->display(), False);
}

// ---------------------------------------------------------------- a full repaint

void RepaintForm()
{
    stage->form->Paint();
    XSync(stage->display(), False);
}

void PutEightyCells()
{
    for (int i = 0; i < kFrameColumns * kFrameRows; ++i) {
        XPutImage(stage->display(), stage->window(), stage->gc, stage->sheetImage.get(), (i % kCells) * kCellW, 0,
                  (i % kFrameColumns) * kCellW, (i / kFrameColumns) * kCellH, kCellW, kCellH);
    }
    XSync(stage->display(), False);
}

void SetAllTransparent(bool on)
{
    for (auto& f : stage->frames) f->SetTransparent(on);
}

// ---------------------------------------------------------------- fills

void FillThroughDrawContext()
{
    DrawContext dc(stage->form.get());
    for (int i = 0; i < 80; ++i) dc.FillRectangle((i % 16) * 50, (i / 16) * 40, 51, 41, 0, -1, 0x102030 * (i % 5));
    XSync(stage->display(), False);
}

void FillPlain()
{
    for (int i = 0; i < 80; ++i) {
        XSetForeground(stage->display(), stage->gc, 0x102030 * (i % 5));
        XFillRectangle(stage->display(), stage->window(), stage->gc, (i % 16) * 50, (i / 16) * 40, 50, 40);
    }
    XSync(stage->display(), False);
}

// ---------------------------------------------------------------- wrapped text

void WrappedText()
{
    DrawContext dc(stage->form.get());
    dc.DrawText(kTextX, kTextY, kTextW, kTextH, kParagraph, 0x000000, 0xFFFFFF, 0);
    XSync(stage->display(), False);
}

void WrappedTextPlain()
{
    Display* d = stage->display();
    XSetForeground(d, stage->gc, 0xFFFFFF);
    XFillRectangle(d, stage->window(), stage->gc, kTextX, kTextY, kTextW - 1, kTextH);
    XSetForeground(d, stage->gc, 0x000000);
    for (const auto& [baseline, line] : stage->lines)
        XDrawString(d, stage->window(), stage->gc, kTextX, baseline, line.data(), static_cast<int>(line.size()));
    XSync(d, False);
}

void RegisterBenchmarks()
{
    benchmark::RegisterBenchmark("Sheet/MakeDisplayImage_vs_one_XPutImage",
                                 [](benchmark::State& s) { Paired(s, ConvertSheet, PutPreparedSheet); });
    if (shallow && shallow->form)
        benchmark::RegisterBenchmark("Sheet/MakeDisplayImage_16bit_vs_24bit",
                                     [](benchmark::State& s) { Paired(s, ConvertSheetFor16Bits, ConvertSheet); });
    benchmark::RegisterBenchmark("Repaint/Form_80_frames_vs_80_XPutImage",
                                 [](benchmark::State& s) { Paired(s, RepaintForm, PutEightyCells); });
    benchmark::RegisterBenchmark("Repaint/Form_80_transparent_frames_vs_80_XPutImage", [](benchmark::State& s) {
        SetAllTransparent(true);
        Paired(s, RepaintForm, PutEightyCells);
        SetAllTransparent(false);
    });
    benchmark::RegisterBenchmark("Fill/DrawContext_80_vs_XFillRectangle_80",
                                 [](benchmark::State& s) { Paired(s, FillThroughDrawContext, FillPlain); });
    benchmark::RegisterBenchmark("Text/DrawText_wrapped_vs_XFillRectangle_XDrawString",
                                 [](benchmark::State& s) { Paired(s, WrappedText, WrappedTextPlain); });
}
}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    XvfbServer server;
    if (!server.Ok()) {
        std::fprintf(stderr, "could not start a private Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", server.DisplayName().c_str(), 1);
    // Anything the program logs lands in a scratch directory, not beside the sources.
    std::string dir = (std::filesystem::temp_directory_path() / "quorrel-bench-XXXXXX").string();
    if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0) return 1;

    stage = new Stage();
    if (!stage->screen.GetDisplay() || !stage->sheetImage) {
        std::fprintf(stderr, "no display or no sheet image\n");
        return 1;
    }
    shallow = new ShallowStage();
    RegisterBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    delete shallow;
    delete stage;
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);
    server.Stop();
    return 0;
}
