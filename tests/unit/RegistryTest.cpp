// The registry without a display: the three lists, removal and its two complaint
// lines, the child collection and the hit test through panels.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "RecordingControl.h"
#include "RecordingForm.h"
#include "FileContents.h"
#include "ScopedTempDir.h"
#include "app/Application.h"
#include "app/Log.h"
#include "controls/Timer.h"

namespace {

class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        Application::ResetForTests();
        ASSERT_TRUE(dir_.Ok());
    }
    void TearDown() override { Application::ResetForTests(); }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(ReadLog(dir_.Path()));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // A created, visible control at (x, y) of size w x h.
    std::unique_ptr<RecordingControl> Control(const std::string& name, GUIElement* parent, int x, int y, int w, int h,
                                              const char* kind = "testcontrol")
    {
        auto c = std::make_unique<RecordingControl>(calls, name, parent, kind);
        c->Show();
        c->Place(x, y, w, h);
        return c;
    }

    CallLog calls;

private:
    ScopedTempDir dir_;
};

using List = Application::ElementList;

}  // namespace

// ---------------------------------------------------------------- lists

TEST_F(RegistryTest, ElementsAreListedInConstructionOrder)
{
    RecordingForm form(calls, "form");
    RecordingControl a(calls, "a", &form);
    Timer t(&form, 10);
    EXPECT_EQ(Application::Elements(), (List{&form, &a, &t}));
    EXPECT_EQ(Application::Forms(), (List{&form}));
    EXPECT_EQ(Application::Timers(), (List{&t}));
}

TEST_F(RegistryTest, RemovalKeepsTheOrderOfTheOthers)
{
    RecordingForm first(calls, "first");
    auto middle = std::make_unique<RecordingForm>(calls, "middle");
    RecordingForm last(calls, "last");
    middle.reset();
    EXPECT_EQ(Application::Forms(), (List{&first, &last}));
    EXPECT_EQ(Application::Elements(), (List{&first, &last}));
}

TEST_F(RegistryTest, RegisterFormAndRegisterTimerIgnoreOtherKinds)
{
    RecordingControl c(calls, "c");
    Application::RegisterForm(&c);
    Application::RegisterTimer(&c);
    EXPECT_TRUE(Application::Forms().empty());
    EXPECT_TRUE(Application::Timers().empty());
}

TEST_F(RegistryTest, DestroyingTheFocusedElementLeavesNoFocus)
{
    auto c = std::make_unique<RecordingControl>(calls, "c");
    Application::SetFocused(c.get());
    c.reset();
    EXPECT_EQ(Application::Focused(), nullptr);
}

TEST_F(RegistryTest, RemovingAFormTwiceLogsBothNotFoundLines)
{
    RecordingForm other(calls, "other");
    RecordingControl bystander(calls, "bystander");
    RecordingForm form(calls, "form");
    form.AssignId();
    const std::string id = std::to_string(form.GetId());
    Application::RemoveWinForm(&form);
    EXPECT_TRUE(LogLines().empty());
    Application::RemoveWinForm(&form);
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{" NON TROVATO! Application::RemoveWindow = form lx 1 id " + id,
                                        " NON TROVATO! Application::RemoveWinForm = form size 2 id " + id}));
    // Registered again so that its destructor finds it.
    Application::RegisterElement(&form);
    Application::RegisterForm(&form);
}

TEST_F(RegistryTest, DestroyingATimerThatWasRemovedLogsTheTimerCount)
{
    RecordingForm form(calls, "form");
    Timer kept(&form, 10);
    std::string id;
    {
        Timer t(&form, 10);
        t.Start();
        id = std::to_string(t.GetId());
        Application::RemoveWinForm(&t);
    }
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{" NON TROVATO! Application::RemoveWindow = timer lx 1 id " + id,
                                        " NON TROVATO! Application::RemoveWinForm = timer size 2 id " + id}));
}

TEST_F(RegistryTest, DestroyingAControlNeverRegisteredLogsOnlyTheElementLine)
{
    {
        RecordingControl c(calls, "c");
        Application::ResetForTests();
    }
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{" NON TROVATO! Application::RemoveWinForm = testcontrol size 0 id 0"}));
}

// ---------------------------------------------------------------- CollectChildren

TEST_F(RegistryTest, CollectChildrenListsAPanelRightBeforeItsContents)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    RecordingControl a(calls, "a", &form);
    RecordingControl panel(calls, "panel", &form, kKindPanel);
    panel.AssignId();
    RecordingControl b(calls, "b", &form);
    RecordingControl inPanel(calls, "inPanel", &panel);
    EXPECT_EQ(Application::CollectChildren(form.GetId()), (List{&a, &panel, &inPanel, &b}));
}

TEST_F(RegistryTest, CollectChildrenRecursesIntoNestedPanels)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    RecordingControl outer(calls, "outer", &form, kKindPanel);
    outer.AssignId();
    RecordingControl inner(calls, "inner", &outer, kKindPanel);
    inner.AssignId();
    RecordingControl deep(calls, "deep", &inner);
    RecordingControl shallow(calls, "shallow", &outer);
    EXPECT_EQ(Application::CollectChildren(form.GetId()), (List{&outer, &inner, &deep, &shallow}));
}

TEST_F(RegistryTest, CollectChildrenLeavesOutOtherFormsAndParentlessControls)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    RecordingForm other(calls, "other");
    other.AssignId();
    RecordingControl mine(calls, "mine", &form);
    RecordingControl theirs(calls, "theirs", &other);
    RecordingControl loose(calls, "loose");
    EXPECT_EQ(Application::CollectChildren(form.GetId()), (List{&mine}));
}

TEST_F(RegistryTest, CollectChildrenOnlyTakesChildren)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    RecordingForm owned(calls, "owned");
    owned.SetParent(&form);  // a form is never a child, whatever its parent link says
    EXPECT_TRUE(Application::CollectChildren(form.GetId()).empty());
}

// ---------------------------------------------------------------- HitTestForm

TEST_F(RegistryTest, HitTestFormFindsAControlInAPanelByTheTranslatedPoint)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto panel = Control("panel", &form, 100, 200, 50, 50, kKindPanel);
    auto inner = Control("inner", panel.get(), 10, 10, 5, 5);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {112, 212}), inner.get());
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {12, 12}), nullptr);
}

TEST_F(RegistryTest, HitTestFormNeverReturnsThePanelItself)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto panel = Control("panel", &form, 100, 200, 50, 50, kKindPanel);
    auto inner = Control("inner", panel.get(), 10, 10, 5, 5);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {140, 240}), nullptr);
}

TEST_F(RegistryTest, HitTestFormDoesNotClipToThePanelRectangle)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto panel = Control("panel", &form, 100, 100, 20, 20, kKindPanel);
    auto outside = Control("outside", panel.get(), 50, 50, 10, 10);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {155, 155}), outside.get());
}

TEST_F(RegistryTest, HitTestFormFallsThroughAPanelWithNothingUnderThePoint)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto panel = Control("panel", &form, 0, 0, 100, 100, kKindPanel);
    auto inner = Control("inner", panel.get(), 80, 80, 5, 5);
    auto behind = Control("behind", &form, 10, 10, 20, 20);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {15, 15}), behind.get());
}

TEST_F(RegistryTest, HitTestFormPrefersTheControlConstructedFirst)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto first = Control("first", &form, 0, 0, 50, 50);
    auto second = Control("second", &form, 0, 0, 50, 50);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {25, 25}), first.get());
}

TEST_F(RegistryTest, HitTestFormSkipsHiddenDisabledAndUncreatedControls)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto hidden = Control("hidden", &form, 0, 0, 50, 50);
    hidden->Hide();
    auto disabled = Control("disabled", &form, 0, 0, 50, 50);
    disabled->SetEnabled(false);
    RecordingControl uncreated(calls, "uncreated", &form);
    uncreated.Place(0, 0, 50, 50);
    auto target = Control("target", &form, 0, 0, 50, 50);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {25, 25}), target.get());
}

TEST_F(RegistryTest, HitTestFormSkipsTheContentsOfADisabledPanel)
{
    RecordingForm form(calls, "form");
    form.AssignId();
    auto panel = Control("panel", &form, 0, 0, 100, 100, kKindPanel);
    panel->SetEnabled(false);
    auto inner = Control("inner", panel.get(), 0, 0, 50, 50);
    EXPECT_EQ(Application::HitTestForm(form.GetId(), {25, 25}), nullptr);
}
