// Image frames: which cell of the source they show, how they treat black, what
// hiding erases, and how frames over one sheet share its display image.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FormWorld.h"
#include "controls/ImageFrame.h"
#include "gui/DrawContext.h"
#include "image/PackedPicture.h"
#include "image/SharedSheetImage.h"

namespace {
constexpr int kSheetW = 750, kSheetH = 40, kCellW = 50, kCellH = 40;

class ImageFrameTest : public FormTest {
protected:
    Form* form = MakeForm(400, 300, kGreen);
    std::vector<unsigned char> sheet = MakeSheet(kSheetW, kSheetH);

    std::unique_ptr<ImageFrame> SheetFrame(int column, int x = 20, int y = 20)
    {
        auto f = std::make_unique<ImageFrame>(form, sheet.data(), 1, kSheetW, kSheetH, column, 0);
        f->SetSize(kCellW, kCellH);
        f->SetPosition(x, y);
        return f;
    }
    // True when the frame at (x, y) shows cell `column` of the sheet.
    static bool ShowsCell(const WindowPixels& px, int x, int y, int column)
    {
        for (int j = 0; j < kCellH; ++j)
            for (int i = 0; i < kCellW; ++i)
                if (px.At(x + i, y + j) != SheetColour(column * kCellW + i, j)) return false;
        return true;
    }
};

TEST_F(ImageFrameTest, SheetFrameShowsTheCellAtItsColumn)
{
    auto frame = SheetFrame(7);
    frame->Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(ShowsCell(px, 20, 20, 7));
    EXPECT_EQ(px.At(70, 20), kGreen);
    EXPECT_EQ(px.At(20, 60), kGreen);

    frame->SetFrame(3, 0);
    EXPECT_TRUE(ShowsCell(Read(form), 20, 20, 3));
    EXPECT_EQ(frame->GetFrame().x, 3);
}

// A peg changes on every click: its repaint must cost the server one copy and send
// nothing back (no NoExposure event, no graphics context made or changed).
TEST_F(ImageFrameTest, ACellChangeIsOneRequestAndNoEventComesBack)
{
    auto frame = SheetFrame(7);
    frame->Show();
    {
        DrawContext dc(form);
        dc.DrawText(200, 20, 100, 30, "text", kBlack, kWhite, 0);
    }
    frame->SetFrame(2, 0);  // the sheet's pixmap is made on the first paint
    Display* d = display;
    Sync();
    XEvent ev;
    while (XCheckMaskEvent(d, ~0L, &ev)) {}
    while (XCheckTypedEvent(d, NoExpose, &ev)) {}

    const unsigned long before = XNextRequest(d);
    frame->SetFrame(3, 0);
    EXPECT_EQ(XNextRequest(d) - before, 1u);
    Sync();
    EXPECT_EQ(XPending(d), 0) << "an event came back, type " << (XPeekEvent(d, &ev), ev.type);
    EXPECT_TRUE(ShowsCell(Read(form), 20, 20, 3));
}

TEST_F(ImageFrameTest, NothingIsDrawnBeforeTheFrameIsShown)
{
    auto frame = SheetFrame(7);
    frame->Paint();
    frame->Create();
    EXPECT_TRUE(Read(form).AllOf(0, 0, 400, 300, kGreen)) << "Create paints nothing";
    EXPECT_EQ(frame->GetImage(), nullptr);
}

TEST_F(ImageFrameTest, SettingTheSameCellDoesNotRepaint)
{
    auto frame = SheetFrame(7);
    frame->Show();
    {
        DrawContext dc(form);
        dc.FillRectangle(20, 20, 51, 41, 0, -1, kBlue);
    }
    frame->SetFrame(7, 0);
    frame->SetFrameErased(7, 0, true);
    EXPECT_TRUE(Read(form).AllOf(20, 20, 50, 40, kBlue));
}

TEST_F(ImageFrameTest, OpaqueFrameKeepsBlackAndTransparentShowsTheParent)
{
    // Column 2 of the sheet gets a black 10 x 10 square, its last column included.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) SetRgb(sheet, kSheetW, 2 * kCellW + 40 + x, 30 + y, kBlack);
    auto opaque = SheetFrame(2, 20, 20);
    auto transparent = SheetFrame(2, 120, 20);
    transparent->SetTransparent(true);
    {
        DrawContext dc(form);  // something else under both: a transparent frame hides it
        dc.FillRectangle(20, 20, 51, 41, 0, -1, kBlue);
        dc.FillRectangle(120, 20, 51, 41, 0, -1, kBlue);
    }
    opaque->Show();
    transparent->Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(60, 50, 10, 10, kBlack));
    EXPECT_TRUE(px.AllOf(160, 50, 10, 10, kGreen));
    EXPECT_EQ(px.At(120, 20), SheetColour(2 * kCellW, 0));
    EXPECT_EQ(px.At(20, 20), SheetColour(2 * kCellW, 0));
    // The sheet itself is untouched: opaque frames over it still show black.
    opaque->Paint();
    EXPECT_TRUE(Read(form).AllOf(60, 50, 10, 10, kBlack));
}

TEST_F(ImageFrameTest, ErasedCellChangeClearsBeforeDrawing)
{
    auto frame = SheetFrame(4, 20, 20);
    frame->SetTransparent(true);
    frame->Show();
    const uint32_t id = frame->GetId();
    frame->SetFrameErased(5, 0, true);
    EXPECT_TRUE(ShowsCell(Read(form), 20, 20, 5));
    EXPECT_TRUE(frame->IsCreated());
    EXPECT_EQ(frame->GetId(), id) << "re-created, keeping its id";
}

TEST_F(ImageFrameTest, FramesOverOneSheetShareOneImageFreedWithTheLast)
{
    const std::size_t before = LiveSheetImageCount();
    auto a = SheetFrame(1, 20, 20);
    auto b = SheetFrame(9, 120, 20);
    a->Show();
    b->Show();
    ASSERT_NE(a->GetImage(), nullptr);
    EXPECT_EQ(a->GetImage(), b->GetImage());
    EXPECT_EQ(LiveSheetImageCount(), before + 1);
    WindowPixels px = Read(form);
    EXPECT_TRUE(ShowsCell(px, 20, 20, 1));
    EXPECT_TRUE(ShowsCell(px, 120, 20, 9));

    a.reset();
    EXPECT_EQ(LiveSheetImageCount(), before + 1);
    b->SetFrame(2, 0);
    EXPECT_TRUE(ShowsCell(Read(form), 120, 20, 2));
    b.reset();
    EXPECT_EQ(LiveSheetImageCount(), before);

    // Another sheet is another image.
    std::vector<unsigned char> other = MakeSheet(kSheetW, kSheetH);
    ImageFrame c(form, other.data(), 1, kSheetW, kSheetH, 0, 0);
    ImageFrame d(form, sheet.data(), 1, kSheetW, kSheetH, 0, 0);
    c.Show();
    d.Show();
    EXPECT_NE(c.GetImage(), d.GetImage());
}

TEST_F(ImageFrameTest, CellsBeyondThePictureSendNoBadRequest)
{
    // The last column half outside the sheet, a row below it, and a frame taller than it.
    auto edge = SheetFrame(9, 20, 20);
    edge->SetSize(80, 40);
    auto below = SheetFrame(0, 120, 20);
    below->SetFrame(0, 1);
    auto tall = SheetFrame(3, 220, 20);
    tall->SetSize(kCellW, 60);
    tall->SetTransparent(true);
    edge->Show();
    below->Show();
    tall->Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(NoXErrors()) << Log();
    EXPECT_EQ(px.At(20 + 29, 20), SheetColour(749, 0));
    EXPECT_EQ(px.At(20 + 30, 20), kGreen);
    EXPECT_EQ(px.At(220, 20 + 39), SheetColour(150, 39));
}

TEST_F(ImageFrameTest, TransparentFrameOverTheWindowsEdgeSendsNoBadRequest)
{
    for (int y = 5; y < 10; ++y)
        for (int x = 5; x < 10; ++x) SetRgb(sheet, kSheetW, 3 * kCellW + x, y, kBlack);
    auto frame = SheetFrame(3, 380, 280);  // 20 x 20 of its 50 x 40 on the window
    frame->SetTransparent(true);
    frame->Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(NoXErrors()) << Log();
    EXPECT_EQ(px.At(380, 280), SheetColour(150, 0));
    EXPECT_TRUE(px.AllOf(385, 285, 5, 5, kGreen)) << "black still shows the parent on the visible part";
}

// A form builds its controls in its load callback, before its window is mapped.
TEST(ImageFrameLoad, TransparentFrameShownWhileItsFormLoadsSendsNoBadRequest)
{
    FormWorld world;
    static std::vector<unsigned char> sheet;
    static std::unique_ptr<ImageFrame> frame;
    sheet = MakeSheet(kSheetW, kSheetH);
    ScreenConnection screen;
    Form form(nullptr);
    form.SetScreen(&screen);
    form.SetGeometry(0, 0, 200, 100);
    form.SetOnLoad([](GUIElement* e, uint64_t) {
        frame = std::make_unique<ImageFrame>(static_cast<Form*>(e), sheet.data(), 1, kSheetW, kSheetH, 2, 0);
        frame->SetSize(kCellW, kCellH);
        frame->SetPosition(10, 10);
        frame->SetTransparent(true);
        frame->Show();
    });
    form.Create();
    XSync(screen.GetDisplay(), False);
    EXPECT_TRUE(frame->IsCreated());
    frame.reset();
    EXPECT_FALSE(world.LogHas("X error")) << world.Log();
}

TEST_F(ImageFrameTest, CallerImageAndImageListAreDrawnAndNeverFreed)
{
    DisplayImagePtr whole(MakeDisplayImage(form, sheet.data(), kSheetW, kSheetH));
    std::vector<unsigned char> cell(kCellW * kCellH * 3, 0x30);
    DisplayImagePtr one(MakeDisplayImage(form, cell.data(), kCellW, kCellH));
    const std::vector<unsigned char> firstCell = MakeSheet(kCellW, kCellH);
    DisplayImagePtr two(MakeDisplayImage(form, firstCell.data(), kCellW, kCellH));
    XImage* list[] = {one.get(), two.get()};
    {
        ImageFrame single(form, whole.get(), 6, 0);
        single.SetSize(kCellW, kCellH);
        single.SetPosition(20, 20);
        ImageFrame listed(form, list, 0, 0);
        listed.SetSize(kCellW, kCellH);
        listed.SetPosition(120, 20);
        single.Show();
        listed.Show();
        WindowPixels px = Read(form);
        EXPECT_TRUE(ShowsCell(px, 20, 20, 6));
        EXPECT_TRUE(px.AllOf(120, 20, kCellW, kCellH, 0x303030));
        // The list is indexed by column + row.
        listed.SetFrame(0, 1);
        EXPECT_TRUE(ShowsCell(Read(form), 120, 20, 0));
    }
    EXPECT_EQ(whole->width, kSheetW) << "the images outlive the frames";
}

TEST_F(ImageFrameTest, PackedPicturesBecomeAListTheFrameOwns)
{
    // Two 4 x 2 packed pictures: one all palette entry 1 (red), one all entry 2 (blue).
    auto packed = [](unsigned char index) {
        std::vector<unsigned char> p(PackedPictureBytes(4, 2), 0);
        p[3] = 0xFF;  // entry 1: red
        p[8] = 0xFF;  // entry 2: blue
        for (size_t i = kPackedPaletteBytes; i < p.size(); ++i) p[i] = static_cast<unsigned char>(index << 4 | index);
        return p;
    };
    const std::vector<unsigned char> red = packed(1), blue = packed(2);
    const unsigned char* pictures[] = {red.data(), blue.data()};
    ImageFrame frame(form, pictures, 2, 1, 0);
    frame.SetSize(4, 2);
    frame.SetPosition(30, 30);
    frame.Show();
    EXPECT_TRUE(Read(form).AllOf(30, 30, 4, 2, kBlue));
    frame.SetFrame(0, 0);
    EXPECT_TRUE(Read(form).AllOf(30, 30, 4, 2, 0xFF0000));
    // A cell past the pictures the frame built shows nothing new.
    frame.SetFrame(2, 0);
    EXPECT_TRUE(Read(form).AllOf(30, 30, 4, 2, 0xFF0000));
}

TEST_F(ImageFrameTest, PassesClicksToTheCallbacks)
{
    auto frame = SheetFrame(0);
    static int clicks;
    clicks = 0;
    frame->SetOnMouseDown([](GUIElement*, uint64_t, Point) { ++clicks; });
    frame->Show();
    frame->MouseDown(Point{25, 25});
    EXPECT_EQ(clicks, 1);
}

}  // namespace
