#include <gtest/gtest.h>

#include <vector>

#include "FormWorld.h"
#include "controls/CellControl.h"
#include "gui/DrawContext.h"
#include "image/DisplayImage.h"

namespace {

constexpr uint32_t kBack = 0x336699;
constexpr uint32_t kFore = 0xFF00FF;
constexpr int X = 20, Y = 30, W = 100, H = 40;

class CountingCell : public CellControl {
public:
    using CellControl::CellControl;
    void Draw(DrawContext& dc, Point at) override
    {
        ++paints;
        CellControl::Draw(dc, at);
    }
    int paints = 0;
};

class CellControlTest : public FormTest {
protected:
    static constexpr int kWidth = 240, kHeight = 160;
    Form* const form_ = MakeForm(kWidth, kHeight, kFormBack);

    // A created cell at (X, Y), W x H, in the test colours.
    void Place(CellControl& c, bool border)
    {
        c.SetPosition(X, Y);
        c.SetSize(W, H);
        c.SetBackColor(kBack);
        c.SetForeColor(kFore);
        c.SetBorder(border);
        c.Show();
    }
    static void ExpectBorder(const WindowPixels& s, uint32_t light)
    {
        EXPECT_TRUE(s.AllOf(X, Y, W - 1, 1, kBlack));
        EXPECT_TRUE(s.AllOf(X, Y, 1, H - 1, kBlack));
        EXPECT_TRUE(s.AllOf(X + W - 1, Y, 1, H, light));
        EXPECT_TRUE(s.AllOf(X, Y + H - 1, W, 1, light));
    }
    // The rectangle of the two snapshots, pixel by pixel.
    static void ExpectSame(const WindowPixels& a, const WindowPixels& b, int x, int y, int w, int h)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) ASSERT_EQ(a.At(i, j), b.At(i, j)) << i << "," << j;
    }
};

TEST_F(CellControlTest, CreateClearsModifiedAndSavesTheBackColour)
{
    CellControl c(form_);
    c.SetBackColor(kBack);
    c.SetText("x");
    EXPECT_TRUE(c.IsModified());
    c.Create();
    EXPECT_FALSE(c.IsModified());
    EXPECT_EQ(c.GetSavedBackColor(), kBack);
}

TEST_F(CellControlTest, FaceIsTheCellsOwnColourOrGreyNeverTheParents)
{
    Holder panel(form_);
    panel.SetPosition(0, 0);
    panel.SetBackColor(0x00FF00);
    panel.Create();
    CellControl c(form_);
    c.SetParent(&panel);
    c.SetPosition(X, Y);
    c.SetSize(W, H);
    c.Show();
    WindowPixels s = Read(form_);
    // The text box's fill is one pixel narrower than the cell.
    EXPECT_TRUE(s.AllOf(X, Y, W - 1, H, 0xAAAAAA));
    EXPECT_TRUE(s.AllOf(X + W - 1, Y, 1, H, kFormBack));
    EXPECT_TRUE(s.AllOf(X, Y + H, W, 1, kFormBack));

    c.SetBackColor(kBack);
    EXPECT_TRUE(Read(form_).AllOf(X, Y, W - 1, H, kBack));
}

TEST_F(CellControlTest, BorderIsSunkenAndAllBlackOnWhite)
{
    CellControl c(form_);
    Place(c, true);
    WindowPixels s = Read(form_);
    ExpectBorder(s, kWhite);
    EXPECT_TRUE(s.AllOf(X + 1, Y + 1, W - 3, H - 2, kBack));

    c.SetBackColor(kWhite);
    ExpectBorder(Read(form_), kBlack);

    c.SetBackColor(kBack);
    c.SetHighlightBackColor(kWhite);
    c.SetHighlight(true);
    ExpectBorder(Read(form_), kBlack);  // the highlight colour decides
}

TEST_F(CellControlTest, HighlightSwapsInYellowAndBlackByDefault)
{
    CellControl c(form_);
    Place(c, false);
    c.SetText("HI");
    c.SetHighlight(true);
    WindowPixels on = Read(form_);
    EXPECT_EQ(on.At(X + 1, Y + 1), 0xFFFF00u);
    EXPECT_GT(on.Count(X, Y, W, H, kBlack), 0);
    EXPECT_EQ(on.Count(X, Y, W, H, kFore), 0);
    c.SetHighlight(false);
    WindowPixels off = Read(form_);
    EXPECT_EQ(off.At(X + 1, Y + 1), kBack);
    EXPECT_GT(off.Count(X, Y, W, H, kFore), 0);
}

TEST_F(CellControlTest, TextAndMarkerAreDrawnInsideTheBorderByAlignment)
{
    Form* reference = MakeForm(kWidth, kHeight, kFormBack, 300);
    CellControl c(form_);
    Place(c, true);
    c.SetText("ab");
    for (int align : {0, 1, 2}) {
        c.SetTextAlign(align);
        {
            DrawContext dc(reference);
            dc.DrawText(X + 1, Y + 1, W - 2, H - 2, "ab", kFore, kBack, align);
        }
        ExpectSame(Read(form_), Read(reference), X + 1, Y + 1, W - 3, H - 2);
    }

    c.SetText("");
    c.SetMarker(true);
    int A = 0;
    {
        DrawContext dc(reference);
        A = dc.LineHeight();
        dc.DrawText(X + 1, Y + 1, W - 2, H - 2, "", kFore, kBack, 2);
        dc.DrawText(X + 1 + (W - 2) - A, Y + 1 + (H - 2) - A - 4, A, A, "*", kFore, kBack, 2);
    }
    WindowPixels s = Read(form_);
    ExpectSame(s, Read(reference), X + 1, Y + 1, W - 3, H - 2);
    // Flush with the right edge of the text box, four pixels above its bottom.
    const WindowPixels::Box star = s.Bounds(X, Y, W, H, kFore);
    ASSERT_GT(star.w, 0);
    EXPECT_GE(star.x, X + W - 1 - A);
    EXPECT_LE(star.x + star.w, X + W - 1);
    EXPECT_LE(star.y + star.h, Y + H - 1 - 4);
}

TEST_F(CellControlTest, SettersRepaintOnlyWhenTheValueChanges)
{
    CountingCell c(form_);
    c.SetText("a");
    c.SetBorder(true);
    EXPECT_EQ(c.paints, 0) << "not created";
    c.Create();
    GUIElement& element = c;  // SetText is reached through the element's table
    element.SetText("same");
    element.SetText("same");
    EXPECT_EQ(c.paints, 1);
    EXPECT_TRUE(c.IsModified());
    c.ClearModified();
    element.SetText("same");
    EXPECT_FALSE(c.IsModified());

    c.SetBorder(true);
    c.SetTextAlign(2);
    c.SetMarker(false);
    c.SetForeColor(0);
    c.SetFontName("Topaz");
    c.SetFontSize(8);
    c.SetStyleFlag1(false);
    EXPECT_EQ(c.paints, 1);
    EXPECT_FALSE(c.IsModified());
    c.SetTextAlign(0);
    c.SetMarker(true);
    c.SetForeColor(1);
    c.SetFontSize(9);
    c.SetStyleFlag3(true);
    EXPECT_EQ(c.paints, 6);
    EXPECT_TRUE(c.IsModified());

    // Highlight and picture repaint every time and leave the modified flag alone.
    c.ClearModified();
    c.SetHighlight(false);
    c.SetHighlight(false);
    c.SetHighlightForeColor(0);
    c.SetImage(nullptr, 0, 0, 1);
    EXPECT_EQ(c.paints, 10);
    EXPECT_FALSE(c.IsModified());

    // The owner repaints after moving or resizing a cell.
    const WindowPixels before = Read(form_);
    c.SetSize(30, 30);
    c.SetPosition(5, 5);
    EXPECT_EQ(c.paints, 10);
    ExpectSame(before, Read(form_), 0, 0, kWidth, kHeight);
}

TEST_F(CellControlTest, RestoreBackColorReturnsToTheColourAtCreate)
{
    CountingCell c(form_);
    c.SetBackColor(kBack);
    c.RestoreBackColor();
    EXPECT_EQ(c.paints, 0);
    c.Create();
    c.SetBackColor(0x445566);
    c.ClearModified();
    c.RestoreBackColor();
    EXPECT_EQ(c.GetBackColor(), kBack);
    EXPECT_TRUE(c.IsModified());
    EXPECT_EQ(c.paints, 2);
    c.RestoreBackColor();
    EXPECT_EQ(c.paints, 2) << "already at the saved colour";

    CountingCell none(form_);
    none.Create();
    none.SetBackColor(kBack);
    none.RestoreBackColor();
    EXPECT_EQ(none.GetBackColor(), kBack) << "no colour was saved";
}

TEST_F(CellControlTest, PictureIsCentredVerticallyAndPlacedByItsAlignment)
{
    std::vector<unsigned char> red(8 * 6 * 3);
    for (size_t i = 0; i < red.size(); i += 3) red[i] = 0xFF;
    DisplayImagePtr image(MakeDisplayImage(form_, red.data(), 8, 6));
    ASSERT_TRUE(image);
    CellControl c(form_);
    Place(c, true);
    const int tx = X + 1, ty = Y + 1, tw = W - 2, th = H - 2;
    const int iy = ty + (th - 6) / 2;
    const struct {
        int align, x;
    } cases[] = {{1, tx + tw - 8 - 3}, {2, tx + (tw - 8) / 2}, {0, tx + 3}, {7, tx + 3}};
    for (const auto& k : cases) {
        c.SetImage(image.get(), 8, 6, k.align);
        WindowPixels s = Read(form_);
        EXPECT_TRUE(s.AllOf(k.x, iy, 8, 6, 0xFF0000)) << k.align;
        EXPECT_EQ(s.Count(X, Y, W, H, 0xFF0000), 48) << k.align;
    }
}

}  // namespace
