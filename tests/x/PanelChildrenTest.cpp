// Panels: background, borders, title, and how they carry show, hide and paint to
// the controls placed on them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FormWorld.h"
#include "controls/ButtonCustom.h"
#include "controls/PanelChildren.h"
#include "gui/DrawContext.h"
#include "image/MyImage.h"

namespace {
constexpr int X = 20, Y = 20, W = 60, H = 40;

// A child that looks at the panel's area at the moment it is hidden.
class HideWitness : public Child {
public:
    HideWitness(FormWorld& world, Form* form, GUIElement* panel)
        : Child(panel, {.painted = true}), world_(world), form_(form)
    {}
    void Create() override
    {
        AssignId();
        created_ = visible_ = true;
    }
    void Hide() override
    {
        if (created_) seenAtHide = world_.Read(form_).At(X + W - 2, Y + H - 2);
        Child::Hide();
        created_ = false;
    }
    uint32_t seenAtHide = 0x123456;

private:
    FormWorld& world_;
    Form* form_;
};

class PanelChildrenTest : public FormTest {
protected:
    Form* form = MakeForm(300, 200, kGreen);
    PanelChildren panel{form};

    PanelChildrenTest()
    {
        panel.SetPosition(X, Y);
        panel.SetSize(W, H);
        panel.SetBackColor(kGrey);
    }
};

TEST_F(PanelChildrenTest, PlainPanelFillsExactlyItsArea)
{
    panel.Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(X, Y, W, H, kGrey));
    EXPECT_EQ(px.CountOther(0, 0, 150, 100, kGreen), W * H);
}

TEST_F(PanelChildrenTest, DefaultBorderIsSunken)
{
    panel.SetBorder(true);
    panel.Show();
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(X, Y, W - 1, 1, kBlack));      // top
    EXPECT_TRUE(px.AllOf(X, Y, 1, H - 1, kBlack));      // left
    EXPECT_TRUE(px.AllOf(X + W - 1, Y, 1, H, kWhite));  // right
    EXPECT_TRUE(px.AllOf(X, Y + H - 1, W, 1, kWhite));  // bottom
    EXPECT_TRUE(px.AllOf(X + 1, Y + 1, W - 2, H - 2, kGrey));
    EXPECT_EQ(px.CountOther(0, 0, 150, 100, kGreen), W * H);
}

TEST_F(PanelChildrenTest, RaisedAndFlatBorders)
{
    panel.SetSunken(false);
    EXPECT_TRUE(panel.HasBorder());
    panel.Show();
    WindowPixels raised = Read(form);
    EXPECT_TRUE(raised.AllOf(X, Y, W - 1, 1, kWhite));
    EXPECT_TRUE(raised.AllOf(X, Y, 1, H - 1, kWhite));
    EXPECT_TRUE(raised.AllOf(X + W - 1, Y, 1, H, kBlack));
    EXPECT_TRUE(raised.AllOf(X, Y + H - 1, W, 1, kBlack));

    panel.SetFlatBorder(true);
    panel.Paint();
    WindowPixels flat = Read(form);
    EXPECT_TRUE(flat.AllOf(X, Y, W, 1, kBlack));
    EXPECT_TRUE(flat.AllOf(X, Y + H - 1, W, 1, kBlack));
    EXPECT_TRUE(flat.AllOf(X, Y, 1, H, kBlack));
    EXPECT_TRUE(flat.AllOf(X + W - 1, Y, 1, H, kBlack));
    EXPECT_TRUE(flat.AllOf(X + 1, Y + 1, W - 2, H - 2, kGrey));

    // Turning flat off keeps the border, in 3-D.
    panel.SetFlatBorder(false);
    EXPECT_TRUE(panel.HasBorder());
    panel.Paint();
    EXPECT_TRUE(Read(form).AllOf(X + W - 1, Y, 1, H, kBlack));
    panel.SetBorder(false);
    panel.Paint();
    EXPECT_TRUE(Read(form).AllOf(X, Y, W, H, kGrey));
}

TEST_F(PanelChildrenTest, TitleIsOneLineInATenPixelBox)
{
    // Drawn by the core request at the place the title must take: the box is
    // (X + 4, Y + 2, W - 8, 10), and a title that needs wrapping keeps only its first
    // line, drawn at the first line's baseline.
    XFontStruct* font = form->GetFont().Get(display);
    ASSERT_NE(font, nullptr);
    const int L = font->ascent < 16 ? 15 : font->ascent + 1;
    auto reference = [&](int x, int baseline, const std::string& s, uint32_t colour) {
        XGCValues v{};
        v.foreground = colour;
        v.font = font->fid;
        GC gc = XCreateGC(display, form->GetWindow(), GCForeground | GCFont, &v);
        XDrawString(display, form->GetWindow(), gc, x, baseline, s.data(), static_cast<int>(s.size()));
        XFreeGC(display, gc);
    };

    panel.SetText("Tab");
    panel.SetTitleColor(kRed);
    panel.Show();
    PanelChildren wrapped(form);
    wrapped.SetPosition(X, 100);
    wrapped.SetSize(W, H);
    wrapped.SetBackColor(kGrey);
    wrapped.SetText("Alpha Beta Gamma");
    wrapped.Show();
    // The references, on plain grey boxes to the right.
    {
        DrawContext dc(form);
        dc.FillRectangle(150, Y, W + 1, H + 1, 0, -1, kGrey);
        dc.FillRectangle(150, 100, W + 1, H + 1, 0, -1, kGrey);
    }
    reference(150 + 4, Y + 2 + L + (10 - L) / 2 - 1, "Tab", kRed);
    reference(150 + 4, 100 + 2 + L - 1, "Alpha", kBlack);

    WindowPixels px = Read(form);
    EXPECT_GT(px.Bounds(X, Y, W, H, kRed).w, 0);
    EXPECT_EQ(px.Differences(X, Y, 150, Y, W, H), 0);
    EXPECT_GT(px.Bounds(X, 100, W, H, kBlack).w, 0);
    EXPECT_EQ(px.Differences(X, 100, 150, 100, W, H), 0);
}

TEST_F(PanelChildrenTest, ShowShowsTheChildrenOnThePanelAndHideHidesThemFirst)
{
    const std::vector<unsigned char> rgb = MakeSheet(10, 10);
    MyImage picture(&panel, rgb.data(), true, 10, 10);
    picture.SetPosition(5, 5);
    HideWitness witness(*this, form, &panel);
    witness.SetPosition(30, 5);
    witness.SetSize(5, 5);

    panel.Show();
    EXPECT_TRUE(picture.IsCreated());
    EXPECT_TRUE(witness.IsCreated());
    WindowPixels shown = Read(form);
    EXPECT_EQ(shown.At(X + 5, Y + 5), SheetColour(0, 0)) << "child positions are relative to the panel";
    EXPECT_EQ(shown.At(X + 14, Y + 14), SheetColour(9, 9));

    panel.Hide();
    EXPECT_EQ(witness.seenAtHide, kGrey) << "the child was hidden while the panel was still there";
    EXPECT_FALSE(picture.IsCreated());
    EXPECT_FALSE(witness.IsCreated());
    EXPECT_FALSE(panel.IsCreated());
    WindowPixels hidden = Read(form);
    EXPECT_TRUE(hidden.AllOf(1, 1, 150, 100, kGreen));  // the layout probe's point is at (0, 0)
}

TEST_F(PanelChildrenTest, MovingAShownPanelTakesItsChildrenAlong)
{
    const std::vector<unsigned char> rgb = MakeSheet(10, 10);
    MyImage picture(&panel, rgb.data(), true, 10, 10);
    picture.SetPosition(5, 5);
    panel.Show();
    panel.SetPosition(150, 100);
    WindowPixels px = Read(form);
    EXPECT_TRUE(px.AllOf(X, Y, W, H, kGreen));
    EXPECT_TRUE(px.AllOf(150, 100, 5, H, kGrey));
    EXPECT_EQ(px.At(155, 105), SheetColour(0, 0));
}

TEST_F(PanelChildrenTest, ChildrenBackColourIsGivenAtThePanelsPaintNotByShow)
{
    ButtonCustom button(form, "");
    button.SetParent(&panel);
    button.SetPosition(10, 10);
    button.SetSize(30, 20);
    ButtonCustom created(form, "");
    created.SetParent(&panel);
    created.SetPosition(10, 10);
    created.SetSize(10, 10);
    created.Create();
    panel.SetChildrenBackColor(0x3366CC);
    panel.Show();
    // The child already created is painted by the panel; the one the panel shows
    // keeps its own colour until the panel's next paint.
    EXPECT_EQ(created.GetBackColor(), 0x3366CC);
    EXPECT_EQ(button.GetBackColor(), -1);
    panel.Paint();
    EXPECT_EQ(button.GetBackColor(), 0x3366CC);
    WindowPixels px = Read(form);
    EXPECT_EQ(px.At(X + 10 + 15, Y + 10 + 10), 0x3366CCu);
    EXPECT_EQ(px.At(X + 5, Y + 5), kGrey);
}

TEST_F(PanelChildrenTest, ShowAndHideReachTheContentsOfAPanelOnThePanel)
{
    PanelChildren inner(form);
    inner.SetParent(&panel);
    inner.SetPosition(5, 5);
    inner.SetSize(30, 30);
    inner.SetBackColor(kRed);
    ButtonCustom button(form, "");
    button.SetParent(&inner);
    button.SetPosition(2, 2);
    button.SetSize(10, 10);
    panel.Show();
    EXPECT_TRUE(inner.IsCreated());
    EXPECT_TRUE(button.IsCreated());
    panel.Hide();
    EXPECT_FALSE(inner.IsCreated());
    EXPECT_FALSE(button.IsCreated());
    EXPECT_TRUE(Read(form).AllOf(1, 1, 150, 100, kGreen));
}

TEST_F(PanelChildrenTest, HideErasesAlsoAPanelThatWasNeverShown)
{
    {
        DrawContext dc(form);
        dc.FillRectangle(X, Y, W + 1, H + 1, 0, -1, kRed);
    }
    panel.Hide();
    EXPECT_TRUE(Read(form).AllOf(X, Y, W, H, kGreen));
}

}  // namespace
