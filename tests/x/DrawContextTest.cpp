// The drawing surface, judged by the pixels the server ends up with.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <string>

#include "FormWorld.h"
#include "XvfbServer.h"
#include "gui/DrawContext.h"
#include "image/DisplayImage.h"

namespace {

// Text as the core request draws it with the program's font, at a baseline chosen by
// the test: what DrawText must reproduce.
class ReferenceText {
public:
    ReferenceText(Form* form) : form_(form), d_(form->GetDisplay())
    {
        font_ = form->GetFont().Get(d_);
        XGCValues values{};
        values.foreground = kBlack;
        gc_ = XCreateGC(d_, form->GetWindow(), GCForeground, &values);
        if (font_) XSetFont(d_, gc_, font_->fid);
    }
    ~ReferenceText() { XFreeGC(d_, gc_); }
    ReferenceText(const ReferenceText&) = delete;
    ReferenceText& operator=(const ReferenceText&) = delete;

    void Draw(int x, int baseline, const std::string& s)
    {
        XDrawString(d_, form_->GetWindow(), gc_, x, baseline, s.data(), static_cast<int>(s.size()));
    }
    int Width(const std::string& s) const { return XTextWidth(font_, s.data(), static_cast<int>(s.size())); }
    // The line height DrawText steps by.
    int L() const { return font_->ascent < 16 ? 15 : font_->ascent + 1; }
    bool Ok() const { return font_ != nullptr; }

private:
    Form* form_;
    Display* d_;
    XFontStruct* font_ = nullptr;
    GC gc_;
};

class DrawContextTest : public FormTest {
protected:
    Form* form = MakeForm(400, 300, kWhite);
};

TEST_F(DrawContextTest, FillRectangleCoversOneLessThanAskedEachWay)
{
    DrawContext dc(form);
    dc.FillRectangle(10, 10, 20, 20, 0, 0, kRed);
    dc.FillRectangle(50, 10, 20, 20, 1, kBlue, kRed);
    WindowPixels px = Read(form);

    const WindowPixels::Box red = px.Bounds(0, 0, 45, 45, kRed);
    EXPECT_EQ(red.x, 10);
    EXPECT_EQ(red.y, 10);
    EXPECT_EQ(red.w, 19);
    EXPECT_EQ(red.h, 19);
    EXPECT_TRUE(px.AllOf(10, 10, 19, 19, kRed));

    // The border lies over the same 19 x 19 area, round its edge.
    const WindowPixels::Box border = px.Bounds(45, 0, 45, 45, kBlue);
    EXPECT_EQ(border.x, 50);
    EXPECT_EQ(border.w, 19);
    EXPECT_EQ(border.h, 19);
    EXPECT_TRUE(px.AllOf(51, 11, 17, 17, kRed));
    EXPECT_TRUE(px.AllOf(69, 10, 1, 20, kWhite));
}

TEST_F(DrawContextTest, TextNeedsABoxOfTenPixels)
{
    DrawContext dc(form);
    dc.DrawText(20, 20, 100, 9, "Hi", kBlack, kRed, 0);
    dc.DrawText(20, 60, 100, 10, "Hi", kBlack, kRed, 0);
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(0, 0, 200, 50, kWhite)) << "a box 9 pixels high shows neither text nor background";
    EXPECT_GT(px.CountOther(20, 55, 100, 20, kWhite), 0);
    EXPECT_GT(px.Bounds(20, 50, 100, 30, kBlack).w, 0);
}

TEST_F(DrawContextTest, SingleLineIsCentredVerticallyAndPlacedByAlignment)
{
    ReferenceText ref(form);
    ASSERT_TRUE(ref.Ok());
    const std::string text = "Hg";
    const int w = 120, h = 30, W = ref.Width(text), L = ref.L();
    const int baseline = L + (h - L) / 2 - 1;
    const int left[] = {0, w - W, (w - W) / 2};
    {
        DrawContext dc(form);
        for (int align = 0; align < 3; ++align) dc.DrawText(10, 10 + align * 40, w, h, text, kBlack, -1, align);
    }
    for (int align = 0; align < 3; ++align) ref.Draw(200 + left[align], 10 + align * 40 + baseline, text);

    WindowPixels px = Read(form);
    for (int align = 0; align < 3; ++align) {
        const int y = 10 + align * 40;
        EXPECT_GT(px.CountOther(10, y, w, h, kWhite), 0) << "align " << align;
        EXPECT_EQ(px.Differences(10, y, 200, y, w, h), 0) << "align " << align;
    }
}

TEST_F(DrawContextTest, NewlineStartsASecondLineWithTheSameAlignment)
{
    ReferenceText ref(form);
    ASSERT_TRUE(ref.Ok());
    const int w = 120, h = 60, L = ref.L();
    {
        DrawContext dc(form);
        dc.DrawText(10, 10, w, h, "AB\nCDE", kBlack, -1, 1);
    }
    ref.Draw(200 + w - ref.Width("AB"), 10 + L - 1, "AB");
    ref.Draw(200 + w - ref.Width("CDE"), 10 + 2 * L - 1, "CDE");
    WindowPixels px = Read(form);
    EXPECT_EQ(px.Differences(10, 10, 200, 10, w, h), 0);
}

TEST_F(DrawContextTest, LongLineBreaksAtTheLastBlankThatFitsAndStartsLeft)
{
    ReferenceText ref(form);
    ASSERT_TRUE(ref.Ok());
    const int L = ref.L();
    const int w = ref.Width("aaa bbb") + 3, h = 60;
    {
        DrawContext dc(form);
        dc.DrawText(10, 10, w, h, "aaa bbb ccc", kBlack, -1, 2);
    }
    ref.Draw(200, 10 + L - 1, "aaa bbb");
    ref.Draw(200, 10 + 2 * L - 1, "ccc");
    WindowPixels px = Read(form);
    EXPECT_EQ(px.Differences(10, 10, 200, 10, w, h), 0);
}

TEST_F(DrawContextTest, WordWithoutBlanksBreaksBetweenCharacters)
{
    ReferenceText ref(form);
    ASSERT_TRUE(ref.Ok());
    const int L = ref.L();
    const int w = ref.Width("abcde"), h = 60;
    {
        DrawContext dc(form);
        dc.DrawText(10, 10, w, h, "abcdefghijkl", kBlack, -1, 0);
    }
    ref.Draw(200, 10 + L - 1, "abcde");
    ref.Draw(200, 10 + 2 * L - 1, "fghij");
    ref.Draw(200, 10 + 3 * L - 1, "kl");
    WindowPixels px = Read(form);
    EXPECT_EQ(px.Differences(10, 10, 200, 10, w + 10, h), 0);
}

TEST_F(DrawContextTest, BackgroundBoxIsFilledBeforeTheText)
{
    {
        DrawContext dc(form);
        dc.DrawText(20, 20, 60, 20, "Hi", kBlack, kRed, 2);
    }
    WindowPixels px = Read(form);
    // The box is filled with height h + 1, which the fill rule makes w - 1 x h.
    const WindowPixels::Box red = px.Bounds(0, 0, 120, 70, kRed);
    EXPECT_EQ(red.x, 20);
    EXPECT_EQ(red.y, 20);
    EXPECT_EQ(red.w, 59);
    EXPECT_EQ(red.h, 20);
    // Inside the box only the background and the text's ink.
    int other = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 20; x < 79; ++x) other += px.At(x, y) != kRed && px.At(x, y) != kBlack;
    EXPECT_EQ(other, 0);
    EXPECT_GT(px.Bounds(20, 20, 59, 20, kBlack).w, 0);
}

TEST_F(DrawContextTest, WrappedLinesOnABackgroundKeepTheirDescenders)
{
    ReferenceText ref(form);
    ASSERT_TRUE(ref.Ok());
    const int L = ref.L();
    const int w = ref.Width("gyp") + 2, h = 45;
    {
        DrawContext dc(form);
        dc.DrawText(10, 10, w, h, "gyp gyp", kBlack, kRed, 0);
        dc.FillRectangle(200, 10, w, h + 1, 0, -1, kRed);
    }
    ref.Draw(200, 10 + L - 1, "gyp");
    ref.Draw(200, 10 + 2 * L - 1, "gyp");
    WindowPixels px = Read(form);
    EXPECT_EQ(px.Differences(10, 10, 200, 10, w, h), 0);
}

TEST_F(DrawContextTest, TransparentImageKeepsTheBackgroundItWasFirstDrawnOver)
{
    // Green with a black 2 x 2 middle.
    std::vector<unsigned char> rgb(6 * 6 * 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) SetRgb(rgb, 6, x, y, (x == 2 || x == 3) && (y == 2 || y == 3) ? kBlack : kGreen);
    DisplayImagePtr image(MakeDisplayImage(form, rgb.data(), 6, 6));
    ASSERT_TRUE(image);

    DrawContext dc(form);
    dc.FillRectangle(30, 30, 11, 11, 0, -1, kRed);
    dc.PutImageTransparent(30, 30, 6, 6, image.get());
    WindowPixels first = Read(form);
    EXPECT_TRUE(first.AllOf(32, 32, 2, 2, kRed));
    EXPECT_EQ(first.At(30, 30), kGreen);
    EXPECT_EQ(first.At(35, 35), kGreen);

    dc.FillRectangle(30, 30, 11, 11, 0, -1, kBlue);
    dc.PutImageTransparent(30, 30, 6, 6, image.get());
    WindowPixels second = Read(form);
    EXPECT_TRUE(second.AllOf(32, 32, 2, 2, kRed)) << "the image was changed in place";
    EXPECT_EQ(second.At(36, 36), kBlue);
    EXPECT_TRUE(NoXErrors()) << Log();
}

TEST_F(DrawContextTest, TransfersAreClippedToTheImage)
{
    std::vector<unsigned char> rgb(10 * 10 * 3, 0x40);
    DisplayImagePtr image(MakeDisplayImage(form, rgb.data(), 10, 10));
    ASSERT_TRUE(image);
    {
        DrawContext dc(form);
        dc.PutImage(10, 10, 50, 50, image.get());
        dc.PutImagePart(100, 10, 50, 50, image.get(), 5, 5);
        dc.PutImagePart(200, 10, 50, 50, image.get(), 20, 0);  // wholly outside: nothing
        dc.PutImagePartTransparent(10, 100, 50, 50, image.get(), 5, 5);
    }
    WindowPixels px = Read(form);
    EXPECT_TRUE(NoXErrors()) << Log();
    EXPECT_EQ(px.Bounds(0, 0, 90, 90, 0x404040).w, 10);
    EXPECT_EQ(px.Bounds(90, 0, 90, 90, 0x404040).w, 5);
    EXPECT_TRUE(px.AllOf(200, 10, 50, 50, kWhite));
    EXPECT_EQ(px.Bounds(0, 90, 90, 90, 0x404040).h, 5);
}

// ---------------------------------------------------------------- the pixel-layout probe

TEST(PixelProbe, StandardScreenLogsNothingAndGivesBlueGreenRedZero)
{
    FormWorld world;
    Form* form = world.MakeForm(64, 64, kWhite);
    const unsigned char rgb[] = {0x11, 0x22, 0x33, 0xA0, 0xB0, 0xC0};
    DisplayImagePtr image(MakeDisplayImage(form, rgb, 2, 1));
    ASSERT_TRUE(image);
    const auto* data = reinterpret_cast<const unsigned char*>(image->data);
    const unsigned char expected[] = {0x33, 0x22, 0x11, 0, 0xC0, 0xB0, 0xA0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(data[i], expected[i]) << "byte " << i;
    EXPECT_EQ(world.Log(), "") << world.Log();
    EXPECT_EQ(DisplayPixelLayout().depth, 24);

    WindowPixels probed = world.Read(form);
    EXPECT_EQ(probed.At(0, 0), 0xCF3B76u) << "the probe's point stays until the next repaint";

    // A second conversion does not probe again: the point is not drawn anew.
    {
        DrawContext dc(form);
        dc.DrawPoint(0, 0, kWhite);
    }
    DisplayImagePtr again(MakeDisplayImage(form, rgb, 2, 1));
    EXPECT_EQ(world.Read(form).At(0, 0), kWhite);
}

TEST(PixelProbe, NoPixelsGiveNoImageAndNoProbe)
{
    FormWorld world;
    Form* form = world.MakeForm(64, 64, kWhite);
    EXPECT_EQ(MakeDisplayImage(form, nullptr, 4, 4), nullptr);
    EXPECT_EQ(DisplayPixelLayout().depth, 0);
}

// Forms build their controls while their window is not mapped yet, and frames paint
// (and so convert) at once: the probe must not ask for pixels that cannot be read.
TEST(PixelProbe, ConversionBeforeTheWindowIsMappedSendsNoBadRequest)
{
    FormWorld world;
    static DisplayImagePtr made;
    static int mapState;
    ScreenConnection screen;
    Form form(nullptr);
    form.SetScreen(&screen);
    form.SetGeometry(0, 0, 64, 64);
    form.SetOnLoad([](GUIElement* e, uint64_t) {
        Form* f = static_cast<Form*>(e);
        XWindowAttributes attrs;
        XGetWindowAttributes(f->GetDisplay(), f->GetWindow(), &attrs);
        mapState = attrs.map_state;
        const unsigned char rgb[] = {0x11, 0x22, 0x33};
        made.reset(MakeDisplayImage(f, rgb, 1, 1));
    });
    form.Create();
    XSync(screen.GetDisplay(), False);
    EXPECT_EQ(mapState, IsUnmapped);
    ASSERT_TRUE(made);
    const auto* data = reinterpret_cast<const unsigned char*>(made->data);
    EXPECT_EQ(data[0], 0x33);
    EXPECT_EQ(data[2], 0x11);
    made.reset();
    EXPECT_FALSE(world.LogHas("X error")) << world.Log();
}

// A server of another depth, for the layouts the program is not built for.
class OddScreen {
public:
    explicit OddScreen(int depth) : server_(Options(depth)), env_(server_.DisplayName()) { ResetPixelLayoutForTests(); }
    ~OddScreen() { ResetPixelLayoutForTests(); }
    bool Ok() const { return server_.Ok(); }

private:
    static XvfbServer::Options Options(int depth)
    {
        XvfbServer::Options o;
        o.width = 320;
        o.height = 240;
        o.depth = depth;
        return o;
    }
    XvfbServer server_;
    ScopedDisplayEnv env_;
};

// Converting, drawing plainly and drawing transparently on such a screen: the
// colours may be wrong, but the warnings name the layout, and no byte is written
// outside a pixel (a 4 x 2 image puts the last pixel's would-be red byte just past
// the pixel array, where the sanitizer would see it).
void ConvertOnOddScreen(int depth, int scale = 1)
{
    OddScreen odd(depth);
    ASSERT_TRUE(odd.Ok());
    // The desktop's font resolution as xrdb leaves it; it lasts while `desktop` is open.
    std::unique_ptr<Display, int (*)(Display*)> desktop(XOpenDisplay(nullptr), XCloseDisplay);
    const std::string dpi = "Xft.dpi:\t" + std::to_string(96 * scale) + "\n";
    XChangeProperty(desktop.get(), DefaultRootWindow(desktop.get()), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(dpi.data()), static_cast<int>(dpi.size()));
    XSync(desktop.get(), False);
    FormWorld world;
    world.screen->ChooseScale(64, 64);
    ASSERT_EQ(world.screen->GetScale(), scale);
    Form* form = world.MakeForm(64, 64);
    std::vector<unsigned char> rgb(4 * 2 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(i * 37);
    DisplayImagePtr image(MakeDisplayImage(form, rgb.data(), 4, 2));
    ASSERT_TRUE(image);
    {
        DrawContext dc(form);
        dc.PutImageAt(5, 5, image.get());
        dc.PutImageTransparent(5, 20, 4, 2, image.get());
        dc.PutImagePartTransparent(5, 30, 2, 2, image.get(), 2, 0);
    }
    const std::string d = std::to_string(depth);
    EXPECT_TRUE(world.LogHas("WARNING img->depth: " + d + "\n")) << world.Log();
    EXPECT_TRUE(world.LogHas("WARNING img->bits_per_pixel: " + d + "\n")) << world.Log();
    EXPECT_TRUE(world.LogHas("WARNING MyImage::ixRosso: ")) << world.Log();
    EXPECT_TRUE(world.NoXErrors()) << world.Log();
    EXPECT_EQ(DisplayPixelLayout().bitsPerPixel, depth);
}

TEST(PixelProbe, SixteenBitScreenWarnsAndStaysInsideEveryPixel) { ConvertOnOddScreen(16); }
TEST(PixelProbe, SixteenBitScreenAtTwiceTheScaleWarnsToo) { ConvertOnOddScreen(16, 2); }
TEST(PixelProbe, EightBitScreenWarnsAndStaysInsideEveryPixel) { ConvertOnOddScreen(8); }

// The transparent transfer's black key is the screen's own black on every layout:
// where the picture is black the fill beneath shows, and nowhere else.
class KeyColourOnEveryDepth : public testing::TestWithParam<int> {};

TEST_P(KeyColourOnEveryDepth, BlackShowsTheFillBeneath)
{
    OddScreen odd(GetParam());
    ASSERT_TRUE(odd.Ok());
    FormWorld world;
    Form* form = world.MakeForm(64, 64, kWhite);
    std::vector<unsigned char> rgb(6 * 6 * 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) SetRgb(rgb, 6, x, y, (x == 2 || x == 3) && (y == 2 || y == 3) ? kBlack : kGreen);
    DisplayImagePtr image(MakeDisplayImage(form, rgb.data(), 6, 6));
    ASSERT_TRUE(image);
    {
        DrawContext dc(form);
        dc.FillRectangle(30, 30, 11, 11, 0, -1, kRed);
        dc.FillRectangle(50, 50, 3, 3, 0, -1, kGreen);
        dc.PutImageTransparent(30, 30, 6, 6, image.get());
    }
    const WindowPixels px = world.Read(form);
    const unsigned long red = XGetPixel(px.Image(), 39, 39), green = XGetPixel(px.Image(), 50, 50);
    ASSERT_NE(red, green);
    for (int y = 30; y < 36; ++y)
        for (int x = 30; x < 36; ++x) {
            const bool key = (x == 32 || x == 33) && (y == 32 || y == 33);
            EXPECT_EQ(XGetPixel(px.Image(), x, y), key ? red : green) << "(" << x << ", " << y << ")";
        }
    EXPECT_TRUE(world.NoXErrors()) << world.Log();
}

INSTANTIATE_TEST_SUITE_P(Depths, KeyColourOnEveryDepth, testing::Values(8, 15, 16, 30),
                         [](const testing::TestParamInfo<int>& i) { return std::to_string(i.param) + "Bit"; });

TEST(PixelProbe, SixteenBitRowsArePaddedWithAWarning)
{
    OddScreen odd(16);
    ASSERT_TRUE(odd.Ok());
    FormWorld world;
    Form* form = world.MakeForm(64, 64);
    std::vector<unsigned char> rgb(3 * 2 * 3, 0x80);
    DisplayImagePtr image(MakeDisplayImage(form, rgb.data(), 3, 2));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes_per_line, 8);
    EXPECT_TRUE(world.LogHas("WARNING img width: 3 - bytes_per_line_Pad != bytes_per_line: 8 6\n")) << world.Log();
}

// ---------------------------------------------------------------- fonts

TEST(DrawContextFont, MissingFontFallsBackToFixedAndTextStillShows)
{
    XvfbServer::Options o;
    o.width = 320;
    o.height = 240;
    o.builtinFontsOnly = true;
    XvfbServer server(o);
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    FormWorld world;
    Form* form = world.MakeForm(200, 100, kWhite);
    {
        DrawContext dc(form);
        dc.DrawText(10, 10, 150, 30, "Quorrel", kBlack, -1, 0);
    }
    WindowPixels px = world.Read(form);
    EXPECT_TRUE(world.LogHas("XLoadQueryFont failed\n")) << world.Log();
    EXPECT_EQ(form->GetFont().name, "-*-*-Medium-R-Normal--14-*");
    EXPECT_GT(px.Bounds(10, 10, 150, 30, kBlack).w, 20);
}

}  // namespace
