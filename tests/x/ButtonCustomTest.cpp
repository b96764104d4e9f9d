#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <vector>

#include "FormWorld.h"
#include "controls/ButtonCustom.h"
#include "gui/DrawContext.h"
#include "image/DisplayImage.h"

namespace {

constexpr uint32_t kFace = 0x336699;
constexpr uint32_t kFore = 0xFF00FF;
constexpr int X = 20, Y = 30, W = 80, H = 30;

// Every run of the command, with the element it was given.
std::vector<Child*> commands;
void RecordCommand(Child* element) { commands.push_back(element); }

class CountingButton : public ButtonCustom {
public:
    using ButtonCustom::ButtonCustom;
    void Draw(DrawContext& dc, Point at) override
    {
        ++paints;
        ButtonCustom::Draw(dc, at);
    }
    int paints = 0;
};

class ButtonCustomTest : public FormTest {
protected:
    static constexpr int kWidth = 240, kHeight = 160;
    Form* const form_ = MakeForm(kWidth, kHeight, kFormBack);

    void SetUp() override { commands.clear(); }
    // A created button at (X, Y), W x H, in the test colours, with the recording command.
    void Place(ButtonCustom& b)
    {
        b.SetPosition(X, Y);
        b.SetBackColor(kFace);
        b.SetForeColor(kFore);
        b.SetCommand(RecordCommand);
        b.Show();
    }
    // The bevel of a W x H button at (x, y): top and left edges in `topLeft`, right
    // and bottom edges in `bottomRight`; the bottom-left and top-right corners belong
    // to the edges drawn last (bottom and right).
    static void ExpectBevel(const WindowPixels& s, int x, int y, uint32_t topLeft, uint32_t bottomRight)
    {
        EXPECT_TRUE(s.AllOf(x, y, W - 1, 1, topLeft));
        EXPECT_TRUE(s.AllOf(x, y, 1, H - 1, topLeft));
        EXPECT_TRUE(s.AllOf(x + W - 1, y, 1, H, bottomRight));
        EXPECT_TRUE(s.AllOf(x, y + H - 1, W, 1, bottomRight));
    }
    // Pixels of colour c inside the face, within the bevel.
    static int InFace(const WindowPixels& s, uint32_t c) { return s.Count(X + 1, Y + 1, W - 2, H - 2, c); }
};

TEST_F(ButtonCustomTest, ReleasedAndPressedLooksSwapTheBevelAndAReleaseRunsTheCommand)
{
    ButtonCustom b(form_, "");
    Place(b);
    WindowPixels released = Read(form_);
    ExpectBevel(released, X, Y, kWhite, kBlack);
    EXPECT_EQ(InFace(released, kFace), (W - 2) * (H - 2));
    // Exactly W x H pixels: nothing beyond the bevel.
    EXPECT_TRUE(released.AllOf(X - 1, Y - 1, W + 2, 1, kFormBack));
    EXPECT_TRUE(released.AllOf(X - 1, Y + H, W + 2, 1, kFormBack));
    EXPECT_TRUE(released.AllOf(X - 1, Y, 1, H, kFormBack));
    EXPECT_TRUE(released.AllOf(X + W, Y, 1, H, kFormBack));

    PressAt(X + 10, Y + 10);
    EXPECT_TRUE(b.IsPressed());
    EXPECT_TRUE(b.HasFocus());
    WindowPixels pressed = Read(form_);
    ExpectBevel(pressed, X, Y, kBlack, kWhite);
    EXPECT_EQ(InFace(pressed, kFore), 0) << "no focus rectangle while pressed";
    EXPECT_TRUE(commands.empty());

    ReleaseAt(X + 10, Y + 10);
    EXPECT_FALSE(b.IsPressed());
    ExpectBevel(Read(form_), X, Y, kWhite, kBlack);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], &b);
}

TEST_F(ButtonCustomTest, FocusedButtonShowsADashedRectangleInItsForeColour)
{
    ButtonCustom b(form_, "");
    Place(b);
    Type(XK_Tab);
    ASSERT_EQ(Application::Focused(), &b);
    WindowPixels s = Read(form_);
    const int left = X + 4, right = X + W - 5, top = Y + 3, bottom = Y + H - 4;
    EXPECT_EQ(s.At(left, top), kFore);
    // Each side is dashed: some of its pixels are ink, some are face.
    EXPECT_GT(s.Count(left, top, right - left + 1, 1, kFore), 0);
    EXPECT_GT(s.Count(left, top, right - left + 1, 1, kFace), 0);
    EXPECT_GT(s.Count(left, bottom, right - left + 1, 1, kFore), 0);
    EXPECT_GT(s.Count(left, bottom, right - left + 1, 1, kFace), 0);
    EXPECT_GT(s.Count(left, top, 1, bottom - top + 1, kFore), 0);
    EXPECT_GT(s.Count(left, top, 1, bottom - top + 1, kFace), 0);
    EXPECT_GT(s.Count(right, top, 1, bottom - top + 1, kFore), 0);
    EXPECT_GT(s.Count(right, top, 1, bottom - top + 1, kFace), 0);
    // All ink lies on the four sides (the left one reaches one row higher, the right
    // one one row lower).
    const WindowPixels::Box ink = s.Bounds(X, Y, W, H, kFore);
    EXPECT_EQ(ink.x, left);
    EXPECT_EQ(ink.x + ink.w - 1, right);
    EXPECT_GE(ink.y, Y + 2);
    EXPECT_LE(ink.y + ink.h - 1, Y + H - 3);
    const int sides =
        s.Count(left, top, right - left + 1, 1, kFore) + s.Count(left, bottom, right - left + 1, 1, kFore) +
        s.Count(left, top + 1, 1, bottom - top - 1, kFore) + s.Count(right, top + 1, 1, bottom - top - 1, kFore) +
        s.Count(left, Y + 2, 1, 1, kFore) + s.Count(right, bottom + 1, 1, 1, kFore);
    EXPECT_EQ(sides, InFace(s, kFore));

    b.LostFocus();
    EXPECT_EQ(InFace(Read(form_), kFore), 0);
}

TEST_F(ButtonCustomTest, CaptionIsCentredInTheInnerBoxAndGreyWhenDisabled)
{
    ButtonCustom b(form_, "GO");
    Place(b);
    // The same text, drawn straight into the inner box of another form.
    Form* reference = MakeForm(kWidth, kHeight, kFormBack, 300);
    {
        DrawContext dc(reference);
        dc.DrawText(X + 6, Y + 4, W - 12, H - 8, "GO", kFore, kFace, 2);
        dc.DrawText(X + 6, Y + 40, W - 12, H - 8, "GO", 0x9B9B9B, kFace, 2);
    }
    WindowPixels ref = Read(reference);
    WindowPixels enabled = Read(form_);
    EXPECT_GT(InFace(enabled, kFore), 0);
    for (int y = Y + 4; y < Y + H - 4; ++y)
        for (int x = X + 6; x < X + W - 7; ++x) ASSERT_EQ(enabled.At(x, y), ref.At(x, y)) << x << "," << y;

    b.Enable(false);
    WindowPixels disabled = Read(form_);
    EXPECT_EQ(InFace(disabled, kFore), 0);
    for (int y = Y + 4; y < Y + H - 4; ++y)
        for (int x = X + 6; x < X + W - 7; ++x) ASSERT_EQ(disabled.At(x, y), ref.At(x, y + 36)) << x << "," << y;

    // Disabled: focus rectangle gone, and input ignored altogether.
    b.GotFocus();
    EXPECT_EQ(InFace(Read(form_), kFore), 0);
    Application::SetFocused(&b);
    b.MouseDown(Point{X + 5, Y + 5});
    EXPECT_FALSE(b.IsPressed());
    b.MouseUp(Point{X + 5, Y + 5});
    b.KeyDown(XK_Return);
    EXPECT_FALSE(b.KeyChar(13));
    EXPECT_FALSE(b.IsPressed());
    EXPECT_TRUE(commands.empty());
}

TEST_F(ButtonCustomTest, PressInsideReleaseOutsideRunsNoCommandAndKeepsTheFocusWithoutAFrame)
{
    ButtonCustom b(form_, "");
    Place(b);
    PressAt(X + 5, Y + 5);
    ExpectBevel(Read(form_), X, Y, kBlack, kWhite);
    ReleaseAt(X + W + 20, Y + 5);
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(b.IsPressed());
    EXPECT_EQ(Application::Focused(), &b);
    WindowPixels s = Read(form_);
    ExpectBevel(s, X, Y, kWhite, kBlack);
    EXPECT_EQ(InFace(s, kFore), 0) << "a focus given by the mouse shows no frame";
    Type(XK_Return);
    EXPECT_EQ(commands.size(), 1u) << "Return still presses the button";
}

TEST_F(ButtonCustomTest, ReturnPressesAFocusedButtonAndItsReleaseRunsTheCommand)
{
    ButtonCustom b(form_, "");
    Place(b);
    Type(XK_Return);
    EXPECT_TRUE(commands.empty()) << "an unfocused button ignores Return";

    Type(XK_Tab);
    Dispatch(Key(KeyPress, XK_Return));
    EXPECT_TRUE(b.IsPressed());
    ExpectBevel(Read(form_), X, Y, kBlack, kWhite);
    EXPECT_TRUE(commands.empty());
    Dispatch(Key(KeyRelease, XK_Return));
    EXPECT_FALSE(b.IsPressed());
    ExpectBevel(Read(form_), X, Y, kWhite, kBlack);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], &b);

    Dispatch(Key(KeyPress, XK_Return));
    b.LostFocus();
    EXPECT_FALSE(b.IsPressed()) << "losing the focus releases without a command";
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(ButtonCustomTest, FaceColourComesFromTheButtonItsParentItsFormOrGrey)
{
    Holder panel(form_);
    panel.SetPosition(10, 10);
    panel.SetBackColor(0x00FF00);
    panel.Create();
    ButtonCustom b(form_, "");
    b.SetParent(&panel);
    b.SetPosition(X, Y);
    b.Show();
    // Drawn at the panel's offset, in the panel's colour.
    EXPECT_EQ(Read(form_).At(X + 10 + 5, Y + 10 + 5), 0x00FF00u);
    panel.SetBackColor(-1);
    b.Paint();
    EXPECT_EQ(Read(form_).At(X + 15, Y + 15), kFormBack);

    Form* plain = MakeForm(kWidth, kHeight, -1, 300);
    ButtonCustom grey(plain, "");
    grey.SetPosition(X, Y);
    grey.Show();
    EXPECT_EQ(Read(plain).At(X + 5, Y + 5), 0xAAAAAAu);
}

TEST_F(ButtonCustomTest, PicturesArePlacedByCaptionAndTheDisabledOneReplacesThemWhileDisabled)
{
    std::vector<unsigned char> red(10 * 6 * 3), blue(10 * 6 * 3);
    for (size_t i = 0; i < red.size(); i += 3) {
        red[i] = 0xFF;
        blue[i + 2] = 0xFF;
    }
    DisplayImagePtr normal(MakeDisplayImage(form_, red.data(), 10, 6));
    DisplayImagePtr greyed(MakeDisplayImage(form_, blue.data(), 10, 6));
    ASSERT_TRUE(normal && greyed);

    ButtonCustom b(form_, "");
    Place(b);
    b.SetImage(normal.get());
    const int cx = X + (W - 10) / 2, cy = Y + (H - 6) / 2;
    WindowPixels s = Read(form_);
    EXPECT_TRUE(s.AllOf(cx, cy, 10, 6, 0xFF0000));
    EXPECT_EQ(s.Count(X, Y, W, H, 0xFF0000), 60);

    b.Enable(false);
    EXPECT_TRUE(Read(form_).AllOf(cx, cy, 10, 6, 0xFF0000)) << "no disabled image: the normal one";
    b.SetDisabledImage(greyed.get());
    EXPECT_TRUE(Read(form_).AllOf(cx, cy, 10, 6, 0x0000FF));
    b.Enable(true);

    b.SetText("GO");
    s = Read(form_);
    EXPECT_TRUE(s.AllOf(X + 8, Y + (H - 6) / 2, 10, 6, 0xFF0000));
    const WindowPixels::Box caption = s.Bounds(X + 1, Y + 1, W - 2, H - 2, kFore);
    ASSERT_GT(caption.w, 0);
    EXPECT_GE(caption.x, X + 10 + 10);
    EXPECT_LE(caption.x, X + 10 + 12) << "left-aligned after the picture";

    // No room left for the caption beside the picture: it is left out rather than
    // run across the form.
    b.SetSize(30, H);
    s = Read(form_);
    EXPECT_EQ(s.Count(0, 0, kWidth, kHeight, kFore), 0);
    EXPECT_TRUE(s.AllOf(X + 8, Y + (H - 6) / 2, 10, 6, 0xFF0000));
    b.SetSize(W, H);

    b.SetContentHidden(true);
    s = Read(form_);
    EXPECT_EQ(s.Count(X, Y, W, H, 0xFF0000) + s.Count(X, Y, W, H, kFore), 0);
    ExpectBevel(s, X, Y, kWhite, kBlack);
}

TEST_F(ButtonCustomTest, VisibleSettersRepaintACreatedButtonButForeColourWaitsForTheNextPaint)
{
    CountingButton b(form_, "A");
    b.SetText("B");
    b.Enable(true);
    b.SetContentHidden(false);
    EXPECT_EQ(b.paints, 0);
    b.Create();
    b.SetForeColor(0x00FF00);
    EXPECT_EQ(b.paints, 0);
    b.SetText("C");
    b.Enable(true);
    b.SetContentHidden(false);
    b.SetImage(nullptr);
    b.SetDisabledImage(nullptr);
    EXPECT_EQ(b.paints, 5);
}

// A command that closes its dialog may destroy the very button that ran it.
ButtonCustom* doomed = nullptr;
void DestroyTheButton(Child*)
{
    delete doomed;
    doomed = nullptr;
}

TEST_F(ButtonCustomTest, ACommandMayDestroyItsOwnButton)
{
    doomed = new ButtonCustom(form_, "X");
    Place(*doomed);
    doomed->SetCommand(DestroyTheButton);
    ClickAt(X + 5, Y + 5);
    EXPECT_EQ(doomed, nullptr);

    doomed = new ButtonCustom(form_, "X");
    Place(*doomed);
    doomed->SetCommand(DestroyTheButton);
    Type(XK_Tab);
    Type(XK_Return);
    EXPECT_EQ(doomed, nullptr);
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST(ButtonCustomLayout, TheCommandPartFollowsTheElementPart)
{
    // The command part sits after the element part of the object.
    ButtonCustom b(nullptr, "");
    EXPECT_LT(reinterpret_cast<unsigned char*>(static_cast<Child*>(&b)),
              reinterpret_cast<unsigned char*>(static_cast<CommandElement*>(&b)));
}

}  // namespace
