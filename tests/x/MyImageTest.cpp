// The picture control: what it shows, when it converts, what it owns, what it erases.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FormWorld.h"
#include "app/Application.h"
#include "controls/PanelChildren.h"
#include "gui/DrawContext.h"
#include "image/MyImage.h"
#include "image/PackedPicture.h"

namespace {

class MyImageTest : public FormTest {
protected:
    Form* form = MakeForm(300, 200, kGreen);

    void Paint(int x, int y, int w, int h, uint32_t c)
    {
        DrawContext dc(form);
        dc.FillRectangle(x, y, w + 1, h + 1, 0, -1, c);
    }
    static bool ShowsPicture(const WindowPixels& px, int x, int y, int w, int h)
    {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (px.At(x + i, y + j) != SheetColour(i, j)) return false;
        return true;
    }
};

TEST_F(MyImageTest, RgbSourceIsConvertedAtTheFirstPaintAndKept)
{
    const std::vector<unsigned char> rgb = MakeSheet(8, 6);
    MyImage image(form, rgb.data(), true, 8, 6);
    image.SetPosition(10, 10);
    EXPECT_EQ(image.GetImage(), nullptr);
    image.Show();
    XImage* converted = image.GetImage();
    ASSERT_NE(converted, nullptr);
    EXPECT_TRUE(ShowsPicture(Read(form), 10, 10, 8, 6));
    image.Paint();
    EXPECT_EQ(image.GetImage(), converted);
}

TEST_F(MyImageTest, PackedSourceIsUnpackedAtItsSize)
{
    // 3 x 2, palette entry 1 red and 2 blue: the top row is red, the bottom row
    // (stored first) blue; the unused low nibble of each row's last byte is ignored.
    std::vector<unsigned char> packed(PackedPictureBytes(3, 2), 0);
    packed[3] = 0xFF;
    packed[8] = 0xFF;
    packed[48] = 0x22;
    packed[49] = 0x2F;
    packed[50] = 0x11;
    packed[51] = 0x1F;
    MyImage image(form, packed.data(), 3, 2);
    image.SetPosition(10, 10);
    image.Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(10, 10, 3, 1, kRed));
    EXPECT_TRUE(px.AllOf(10, 11, 3, 1, kBlue));
    EXPECT_EQ(px.At(13, 10), kGreen);
}

TEST_F(MyImageTest, WithoutPictureItShowsTheParentsColourOverItsWholeArea)
{
    Paint(0, 0, 200, 150, kBlue);
    PanelChildren panel(form);
    panel.SetPosition(0, 0);
    panel.SetBackColor(kRed);
    MyImage onForm(form, nullptr);
    onForm.SetSize(30, 20);
    onForm.SetPosition(10, 10);
    MyImage onPanel(&panel, nullptr);
    onPanel.SetSize(30, 20);
    onPanel.SetPosition(100, 10);
    onForm.Show();
    onPanel.Show();
    WindowPixels px = Read(form);
    EXPECT_EQ(px.CountOther(0, 0, 90, 50, kBlue), 30 * 20);
    EXPECT_TRUE(px.AllOf(10, 10, 30, 20, kGreen));
    EXPECT_TRUE(px.AllOf(100, 10, 30, 20, kRed)) << "the panel's colour; the panel itself is not shown";
}

TEST_F(MyImageTest, NewSourceReplacesTheConvertedImage)
{
    const std::vector<unsigned char> first = MakeSheet(8, 6);
    const std::vector<unsigned char> second(8 * 6 * 3, 0x50);
    MyImage image(form, first.data(), true, 8, 6);
    image.SetPosition(10, 10);
    image.Show();
    image.SetSource(second.data());
    EXPECT_EQ(image.GetSource(), second.data());
    EXPECT_TRUE(Read(form).AllOf(10, 10, 8, 6, 0x505050));
}

TEST_F(MyImageTest, CallerImageDropsTheSourceAndStaysTheCallers)
{
    const std::vector<unsigned char> rgb = MakeSheet(8, 6);
    const std::vector<unsigned char> grey(8 * 6 * 3, 0x50);
    DisplayImagePtr mine(MakeDisplayImage(form, grey.data(), 8, 6));
    {
        MyImage image(form, rgb.data(), true, 8, 6);
        image.SetPosition(10, 10);
        image.Show();
        image.SetImage(mine.get());
        EXPECT_EQ(image.GetSource(), nullptr);
        EXPECT_EQ(image.GetImage(), mine.get());
        EXPECT_TRUE(Read(form).AllOf(10, 10, 8, 6, 0x505050));
    }
    // Freed here by its owner once; the sanitizer would see a second free.
    EXPECT_EQ(mine->width, 8);
}

TEST_F(MyImageTest, SourceAfterACallerImageIsShownAndTheImageLeftAlone)
{
    const std::vector<unsigned char> rgb = MakeSheet(8, 6);
    const std::vector<unsigned char> grey(8 * 6 * 3, 0x50);
    DisplayImagePtr mine(MakeDisplayImage(form, grey.data(), 8, 6));
    {
        MyImage image(form, mine.get());
        image.SetSize(8, 6);
        image.SetPosition(10, 10);
        image.Show();
        image.SetSource(rgb.data());
        EXPECT_NE(image.GetImage(), mine.get());
    }
    EXPECT_EQ(mine->width, 8);
}

TEST_F(MyImageTest, SunkenFrameDarkensTopLeftAndLightensBottomRight)
{
    const std::vector<unsigned char> rgb = MakeSheet(20, 10);
    MyImage image(form, rgb.data(), true, 20, 10);
    image.SetPosition(10, 10);
    image.Show();
    image.SetSunken(true);
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(10, 10, 19, 1, kBlack));
    EXPECT_TRUE(px.AllOf(10, 10, 1, 9, kBlack));
    EXPECT_TRUE(px.AllOf(29, 10, 1, 10, kWhite));
    EXPECT_TRUE(px.AllOf(10, 19, 20, 1, kWhite));
    EXPECT_EQ(px.At(11, 11), SheetColour(1, 1));
}

TEST_F(MyImageTest, LargerThanItsPictureShowsBackgroundBeyondAndSendsNoBadRequest)
{
    Paint(0, 0, 60, 60, kBlue);
    const std::vector<unsigned char> rgb = MakeSheet(10, 10);
    DisplayImagePtr small(MakeDisplayImage(form, rgb.data(), 10, 10));
    MyImage image(form, small.get());
    image.SetSize(30, 30);
    image.SetPosition(10, 10);
    image.Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(NoXErrors()) << Log();
    EXPECT_TRUE(ShowsPicture(px, 10, 10, 10, 10));
    EXPECT_TRUE(px.AllOf(20, 10, 20, 30, kGreen));
    EXPECT_TRUE(px.AllOf(10, 20, 30, 20, kGreen));
    EXPECT_EQ(px.At(40, 10), kBlue);
}

TEST_F(MyImageTest, EnableDoesNotRepaint)
{
    MyImage image(form, nullptr);
    image.SetPosition(10, 10);
    image.Show();
    Paint(0, 0, 200, 100, kBlue);
    image.Enable(false);
    EXPECT_FALSE(image.IsEnabled());
    EXPECT_TRUE(Read(form).AllOf(0, 0, 200, 100, kBlue));
}

}  // namespace
