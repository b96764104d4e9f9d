// The element base without a display: geometry, native hooks, hit test, marks, the
// load callback, default answers, ids and the walks up the parent chain.
#include <gtest/gtest.h>

#include "RecordingControl.h"
#include "RecordingForm.h"
#include "ScopedTempDir.h"
#include "app/Application.h"

namespace {

class GUIElementTest : public testing::Test {
protected:
    void SetUp() override
    {
        Application::ResetForTests();
        ASSERT_TRUE(dir_.Ok());
    }
    void TearDown() override { Application::ResetForTests(); }

    CallLog calls;

private:
    ScopedTempDir dir_;
};

uint64_t seenUserData = 0;
Point seenPoint;
int loadCount = 0;

void RememberMouse(GUIElement*, uint64_t userData, Point p)
{
    seenUserData = userData;
    seenPoint = p;
}

void CountLoad(GUIElement*, uint64_t userData)
{
    ++loadCount;
    seenUserData = userData;
}

bool RefuseChar(GUIElement*, int) { return false; }
bool RefuseClose(GUIElement*) { return false; }

std::vector<std::string>* closedLog = nullptr;
void RecordClosed(GUIElement* e) { closedLog->push_back(e->IsClosed() ? "closed already" : "not closed yet"); }

std::vector<int64_t> resizedColours;
void RecordResized(GUIElement*, int64_t backColor) { resizedColours.push_back(backColor); }

}  // namespace

TEST_F(GUIElementTest, StartsWithTheDocumentedDefaults)
{
    RecordingControl c(calls, "c");
    EXPECT_EQ(c.GetSize(), (Point{100, 50}));
    EXPECT_EQ(c.GetPosition(), (Point{100, 100}));
    EXPECT_EQ(c.GetBackColor(), -1);
    EXPECT_TRUE(c.IsEnabled());
    EXPECT_TRUE(c.IsTabStop());
    EXPECT_TRUE(c.IsChild());
    EXPECT_FALSE(c.IsVisible());
    EXPECT_FALSE(c.IsCreated());
    EXPECT_EQ(c.GetId(), 0u);
    EXPECT_EQ(c.GetUserDataRef(), 0u);
    EXPECT_EQ(c.GetFont().size, 14);
}

TEST_F(GUIElementTest, SetSizeWithTheCurrentSizeCallsNoNativeHook)
{
    RecordingControl c(calls, "c");
    c.Show();
    c.SetSize(100, 50);
    EXPECT_TRUE(calls.empty());
}

TEST_F(GUIElementTest, SetSizeOnACreatedElementStoresAndResizesOnce)
{
    RecordingControl c(calls, "c");
    c.Show();
    c.SetSize(30, 40);
    EXPECT_EQ(c.GetSize(), (Point{30, 40}));
    EXPECT_EQ(calls, (CallLog{"c.ResizeNative"}));
}

TEST_F(GUIElementTest, SettersBeforeCreationStoreTheirValuesWithoutNativeHooks)
{
    RecordingControl c(calls, "c");
    RecordingControl other(calls, "other");
    FontSpec font;
    font.size = 20;
    c.SetSize(30, 40);
    c.SetPosition(5, 6);
    c.SetBackColor(0x112233);
    c.BringToFront();
    c.SendToBack();
    c.Attach(&other);
    c.SetFont(font);
    EXPECT_EQ(calls, (CallLog{"c.SetPosition(5,6)"}));
    EXPECT_EQ(c.GetSize(), (Point{30, 40}));
    EXPECT_EQ(c.GetPosition(), (Point{5, 6}));
    EXPECT_EQ(c.GetBackColor(), 0x112233);
    EXPECT_EQ(c.GetFont().size, 20);
}

TEST_F(GUIElementTest, SettersOfACreatedElementCallTheirNativeHooks)
{
    RecordingControl c(calls, "c");
    RecordingControl other(calls, "other");
    c.Show();
    c.SetPosition(5, 6);
    c.SetBackColor(0x112233);
    c.BringToFront();
    c.Raise();
    c.SendToBack();
    c.Attach(&other);
    c.Attach(nullptr);
    c.SetFont(FontSpec{});
    EXPECT_EQ(calls, (CallLog{"c.SetPosition(5,6)", "c.MoveNative", "c.Paint", "c.RaiseNative", "c.RaiseNative",
                              "c.LowerNative", "c.AttachNative", "c.PropertiesChanged"}));
}

TEST_F(GUIElementTest, SetPositionClampedTurnsNegativeCoordinatesIntoZeroThroughTheOverride)
{
    RecordingControl c(calls, "c");
    c.SetPositionClamped(-5, 7);
    c.SetPositionClamped(3, -1);
    EXPECT_EQ(calls, (CallLog{"c.SetPosition(0,7)", "c.SetPosition(3,0)"}));
    EXPECT_EQ(c.GetPosition(), (Point{3, 0}));
}

TEST_F(GUIElementTest, HitTestIncludesAllFourBorderLines)
{
    RecordingControl c(calls, "c");
    c.Show();
    c.Place(10, 20, 30, 40);
    EXPECT_TRUE(c.HitTest({10, 20}));
    EXPECT_TRUE(c.HitTest({40, 20}));
    EXPECT_TRUE(c.HitTest({10, 60}));
    EXPECT_TRUE(c.HitTest({40, 60}));
    EXPECT_TRUE(c.HitTest({25, 35}));
    EXPECT_FALSE(c.HitTest({9, 35}));
    EXPECT_FALSE(c.HitTest({41, 35}));
    EXPECT_FALSE(c.HitTest({25, 19}));
    EXPECT_FALSE(c.HitTest({25, 61}));
}

TEST_F(GUIElementTest, HitTestIsFalseForAHiddenElement)
{
    RecordingControl c(calls, "c");
    c.Show();
    c.Place(10, 20, 30, 40);
    c.Hide();
    EXPECT_FALSE(c.HitTest({25, 35}));
}

TEST_F(GUIElementTest, HitTestIsFalseForAnElementNotCreated)
{
    RecordingControl c(calls, "c");
    c.Place(10, 20, 30, 40);
    EXPECT_FALSE(c.HitTest({25, 35}));
}

TEST_F(GUIElementTest, HideBeforeCreationLeavesTheVisibleFlag)
{
    RecordingControl c(calls, "c");
    c.Hide();
    c.Show();
    c.Hide();
    EXPECT_FALSE(c.IsVisible());
    EXPECT_TRUE(c.IsCreated());
}

TEST_F(GUIElementTest, SetMarkAClearsMarkBButClearingMarkALeavesMarkB)
{
    RecordingControl c(calls, "c");
    c.SetMarkB(true);
    c.SetMarkA(false);
    EXPECT_TRUE(c.GetMarkB());
    c.SetMarkA(true);
    EXPECT_TRUE(c.GetMarkA());
    EXPECT_FALSE(c.GetMarkB());
}

TEST_F(GUIElementTest, SetMarkBClearsMarkA)
{
    RecordingControl c(calls, "c");
    c.SetMarkA(true);
    c.SetMarkB(true);
    EXPECT_FALSE(c.GetMarkA());
    EXPECT_TRUE(c.GetMarkB());
}

TEST_F(GUIElementTest, LoadFiresTheLoadCallbackOnlyOnce)
{
    RecordingControl c(calls, "c");
    loadCount = 0;
    c.SetOnLoad(CountLoad);
    c.Load(7);
    c.Load(8);
    EXPECT_EQ(loadCount, 1);
    EXPECT_EQ(seenUserData, 7u);
    EXPECT_EQ(c.GetUserDataRef(), 7u);
}

TEST_F(GUIElementTest, LoadFillsEmptyUserDataEvenAfterTheCallbackRan)
{
    RecordingControl c(calls, "c");
    loadCount = 0;
    c.SetOnLoad(CountLoad);
    c.Load(0);
    c.Load(9);
    EXPECT_EQ(loadCount, 1);
    EXPECT_EQ(c.GetUserDataRef(), 9u);
}

TEST_F(GUIElementTest, LoadWithoutCallbackStillCountsAsLoaded)
{
    RecordingControl c(calls, "c");
    loadCount = 0;
    c.Load(1);
    c.SetOnLoad(CountLoad);
    c.Load(1);
    EXPECT_EQ(loadCount, 0);
}

TEST_F(GUIElementTest, KeyCharAndQueryCloseAnswerTrueWithoutCallback)
{
    RecordingControl c(calls, "c");
    EXPECT_TRUE(c.KeyChar('x'));
    EXPECT_TRUE(c.QueryClose());
}

TEST_F(GUIElementTest, KeyCharAndQueryCloseReturnTheirCallbacksAnswer)
{
    RecordingControl c(calls, "c");
    c.SetOnKeyChar(RefuseChar);
    c.SetOnQueryClose(RefuseClose);
    EXPECT_FALSE(c.KeyChar('x'));
    EXPECT_FALSE(c.QueryClose());
}

TEST_F(GUIElementTest, MouseCallbacksGetTheUserDataAndThePoint)
{
    RecordingControl c(calls, "c");
    c.GetUserDataRef() = 42;
    c.SetOnMouseDown(RememberMouse);
    c.MouseDown({3, 4});
    EXPECT_EQ(seenUserData, 42u);
    EXPECT_EQ(seenPoint, (Point{3, 4}));
    c.SetOnMouseUp(RememberMouse);
    c.MouseUp({5, 6});
    EXPECT_EQ(seenPoint, (Point{5, 6}));
}

TEST_F(GUIElementTest, NotifyClosedCallsTheCallbackBeforeSettingClosed)
{
    RecordingControl c(calls, "c");
    std::vector<std::string> seen;
    closedLog = &seen;
    c.SetOnClosed(RecordClosed);
    c.NotifyClosed();
    EXPECT_EQ(seen, (std::vector<std::string>{"not closed yet"}));
    EXPECT_TRUE(c.IsClosed());
}

TEST_F(GUIElementTest, NotifyResizedRepaintsACreatedElementThenFiresTheCallbackWithTheBackColour)
{
    RecordingControl c(calls, "c");
    c.SetBackColor(0x445566);
    c.Show();
    resizedColours.clear();
    c.SetOnResized(RecordResized);
    c.NotifyResized();
    EXPECT_EQ(calls, (CallLog{"c.Paint"}));
    EXPECT_EQ(resizedColours, (std::vector<int64_t>{0x445566}));
}

TEST_F(GUIElementTest, AssignIdGivesIncreasingIdsAndCopiesThemIntoUserData)
{
    RecordingControl a(calls, "a");
    RecordingControl b(calls, "b");
    a.AssignId();
    b.AssignId();
    EXPECT_GT(a.GetId(), 0u);
    EXPECT_EQ(b.GetId(), a.GetId() + 1);
    EXPECT_EQ(b.GetUserDataRef(), b.GetId());
}

TEST_F(GUIElementTest, AssignIdKeepsAnExistingIdAndUserData)
{
    RecordingControl c(calls, "c");
    c.AssignId();
    const uint32_t id = c.GetId();
    c.GetUserDataRef() = 1234;
    c.AssignId();
    EXPECT_EQ(c.GetId(), id);
    EXPECT_EQ(c.GetUserDataRef(), 1234u);
}

TEST_F(GUIElementTest, AssignIdAnnouncesPropertiesOnlyWhenCreated)
{
    RecordingControl c(calls, "c");
    c.AssignId();
    EXPECT_TRUE(calls.empty());
    c.Show();
    c.AssignId();
    EXPECT_EQ(calls, (CallLog{"c.PropertiesChanged"}));
}

TEST_F(GUIElementTest, OwningFormOfAControlInAPanelIsTheForm)
{
    RecordingForm form(calls, "form");
    RecordingControl panel(calls, "panel", &form, kKindPanel);
    RecordingControl inner(calls, "inner", &panel);
    EXPECT_EQ(inner.OwningForm(), &form);
    EXPECT_EQ(inner.OwningFormOrMain(), &form);
}

TEST_F(GUIElementTest, OwningFormOfAControlWithoutParentIsNone)
{
    RecordingControl loose(calls, "loose");
    EXPECT_EQ(loose.OwningForm(), nullptr);
}

TEST_F(GUIElementTest, OwningFormOrMainFallsBackToTheMainForm)
{
    RecordingForm main(calls, "main");
    Application::SetMainForm(&main);
    RecordingControl loose(calls, "loose");
    RecordingControl panel(calls, "panel", nullptr, kKindPanel);
    RecordingControl inner(calls, "inner", &panel);
    EXPECT_EQ(loose.OwningFormOrMain(), &main);
    EXPECT_EQ(inner.OwningFormOrMain(), &main);
    EXPECT_EQ(inner.OwningForm(), nullptr);
}

TEST_F(GUIElementTest, FormOffsetAddsThePositionsOfEveryPanelUpToTheForm)
{
    RecordingForm form(calls, "form");
    form.SetPosition(500, 500);
    RecordingControl outer(calls, "outer", &form, kKindPanel);
    outer.Place(10, 20, 200, 200);
    RecordingControl inner(calls, "inner", &outer, kKindPanel);
    inner.Place(1, 2, 100, 100);
    RecordingControl c(calls, "c", &inner);
    EXPECT_EQ(c.FormOffset(3, 4), (Point{14, 26}));
    EXPECT_EQ(outer.FormOffset(10, 20), (Point{10, 20}));
}

TEST(PointTest, PacksXIntoTheLowHalfAndYIntoTheHighHalf)
{
    const Point p{-2, 3};
    EXPECT_EQ(p.Packed(), 0x00000003FFFFFFFEull);
    EXPECT_EQ(Point::Unpack(p.Packed()), p);
}

TEST(FontSpecTest, DefaultPatternAsksForMediumNormalFourteen)
{
    FontSpec font;
    EXPECT_EQ(font.BuildName(), "-*-*-Medium-R-Normal--14-*");
}

TEST(FontSpecTest, PatternNamesFamilyBoldItalicAndSize)
{
    FontSpec font;
    font.family = "helvetica";
    font.bold = 1;
    font.italic = 1;
    font.size = 20;
    EXPECT_EQ(font.BuildName(), "-helvetica-Bold-R-Italic--20-*");
}

TEST(FontSpecTest, ACopyTakesTheDescriptionButNoLoadedFont)
{
    FontSpec font;
    font.family = "fixed";
    font.size = 9;
    font.loaded = true;
    font.font = reinterpret_cast<XFontStruct*>(&font);  // never dereferenced
    FontSpec copy(font);
    EXPECT_EQ(copy.family, "fixed");
    EXPECT_EQ(copy.size, 9);
    EXPECT_FALSE(copy.loaded);
    EXPECT_EQ(copy.font, nullptr);
    font.font = nullptr;  // it has no display, so nothing would be freed anyway
}
