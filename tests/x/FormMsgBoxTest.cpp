// The message box on the private X server: its answers and the numbers they carry,
// how it blocks and releases its owner, where it opens, what it shows, and what
// happens when a second box or the close box ends it early.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FormWorld.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "dialogs/FormMsgBox.h"

using form_events::Click;
using form_events::CloseBox;
using form_events::ControlRect;
using form_events::PaintOnFirstExpose;
using form_events::Rect;
using form_events::WindowRect;

namespace {

using Answer = std::pair<int, int>;

// A form that writes down every answer a dialog hands it.
class AnswerForm : public Form {
public:
    AnswerForm() : Form(nullptr) {}
    void OnDialogResult(int id, int result) override { answers.emplace_back(id, result); }
    std::vector<Answer> answers;
};

// The YES/OK and NO buttons, by their middle in the box's window.
constexpr int kFirstX = 185, kSecondX = 65, kButtonY = 124;

class MessageBoxTest : public FormTest {
protected:
    AnswerForm owner;

    MessageBoxTest()
    {
        // The border puts the window's inside one pixel in from where it is placed, and
        // the box centres on the inside: this owner reports (100, 100).
        Open(owner, 99, 99, 700, 500);
        Application::SetMainForm(&owner);
    }
    ~MessageBoxTest() override { DestroyMessageBox(); }

    void Open(Form& f, int x, int y, int w, int h)
    {
        f.SetScreen(screen.get());
        f.SetGeometry(x, y, w, h);
        f.Create();
        XSync(display, False);
    }

    FormMsgBox& Box()
    {
        FormMsgBox* box = CurrentMessageBox();
        EXPECT_NE(box, nullptr);
        return *box;
    }
    void ClickFirst() { Click(Box(), kFirstX, kButtonY, &owner); }
    void ClickSecond() { Click(Box(), kSecondX, kButtonY, &owner); }

    void ExpectBlockedBy(Form& f, FormMsgBox* box)
    {
        EXPECT_FALSE(f.IsEnabled());
        EXPECT_TRUE(f.GetMarkA());
        EXPECT_EQ(f.GetModalChild(), box);
    }
    void ExpectReleased(Form& f)
    {
        EXPECT_TRUE(f.IsEnabled());
        EXPECT_FALSE(f.GetMarkA());
        EXPECT_EQ(f.GetModalChild(), nullptr);
    }
};

// ---------------------------------------------------------------- answers

TEST_F(MessageBoxTest, AnOkBoxReportsOneWithItsNumberAndReleasesTheOwner)
{
    ShowMessageBox(7, &owner, "All done.", "Note");
    ExpectBlockedBy(owner, CurrentMessageBox());
    EXPECT_TRUE(owner.answers.empty());

    ClickFirst();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{7, 1}}));
    ExpectReleased(owner);
    EXPECT_FALSE(Box().IsCreated());
    EXPECT_TRUE(Box().IsClosed());
    EXPECT_EQ(Box().GetWindow(), 0u);
}

TEST_F(MessageBoxTest, AQuestionReportsThreeForYes)
{
    AskYesNo(1001, &owner, "You want to leave?", "Question");
    ClickFirst();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{1001, 3}}));
    ExpectReleased(owner);
}

TEST_F(MessageBoxTest, AQuestionReportsFourForNo)
{
    AskYesNo(1000, &owner, "Do you really want to go exit?", "Exit");
    ClickSecond();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{1000, 4}}));
    ExpectReleased(owner);
}

TEST_F(MessageBoxTest, TheShortFormsUseNumberZero)
{
    ShowMessageBox(&owner, "perfect, you won!", "Quorrel");
    EXPECT_EQ(Box().GetBoxId(), 0);
    EXPECT_FALSE(Box().IsQuestion());
    ClickFirst();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{0, 1}}));
}

TEST_F(MessageBoxTest, TheCloseBoxEndsAQuestionWithResultZero)
{
    AskYesNo(1001, &owner, "You want to leave?", "Question");
    CloseBox(Box(), &owner);
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{1001, 0}}));
    ExpectReleased(owner);
    EXPECT_FALSE(Box().IsCreated());
}

TEST_F(MessageBoxTest, AClickOnTheLabelAnswersNothing)
{
    AskYesNo(3, &owner, "Sure?", "Question");
    Click(Box(), 120, 50, &owner);
    EXPECT_TRUE(owner.answers.empty());
    ExpectBlockedBy(owner, CurrentMessageBox());
    EXPECT_TRUE(Box().IsCreated());
}

// ---------------------------------------------------------------- owner

TEST_F(MessageBoxTest, WithoutAnOwnerTheFirstFormIsBlockedAndToldTheAnswer)
{
    AnswerForm other;
    Open(other, 500, 400, 300, 200);
    AskYesNo(5, "Sure?", "Question");

    EXPECT_EQ(Box().GetParent(), &owner);
    ExpectBlockedBy(owner, CurrentMessageBox());
    EXPECT_TRUE(other.IsEnabled());
    EXPECT_EQ(WindowRect(display, Box().GetWindow()), (Rect{325, 275, 250, 150}));

    ClickSecond();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{5, 4}}));
    EXPECT_TRUE(other.answers.empty());
}

TEST_F(MessageBoxTest, ABoxOnASecondFormBlocksOnlyThatForm)
{
    AnswerForm other;
    Open(other, 500, 400, 300, 200);
    ShowMessageBox(9, &other, "Over there.", "Note");
    ExpectBlockedBy(other, CurrentMessageBox());
    EXPECT_TRUE(owner.IsEnabled());
    ClickFirst();
    EXPECT_EQ(other.answers, (std::vector<Answer>{{9, 1}}));
    EXPECT_TRUE(owner.answers.empty());
    DestroyMessageBox();
}

TEST_F(MessageBoxTest, ASecondBoxReplacesTheFirstWhichReportsNothing)
{
    AskYesNo(1, &owner, "First?", "One");
    const Window first = Box().GetWindow();
    AskYesNo(2, &owner, "Second?", "Two");

    EXPECT_NE(Box().GetWindow(), first);
    EXPECT_EQ(Application::FindFormByWindow(first), nullptr);
    EXPECT_EQ(Application::Forms().size(), 2u);  // the owner and the new box
    ExpectBlockedBy(owner, CurrentMessageBox());
    EXPECT_TRUE(owner.answers.empty());

    ClickFirst();
    EXPECT_EQ(owner.answers, (std::vector<Answer>{{2, 3}}));
}

TEST_F(MessageBoxTest, ABoxDestroyedWhileOpenReleasesItsOwnerWithoutAnAnswer)
{
    AskYesNo(1, &owner, "Sure?", "Question");
    DestroyMessageBox();
    EXPECT_EQ(CurrentMessageBox(), nullptr);
    ExpectReleased(owner);
    EXPECT_TRUE(owner.answers.empty());
}

TEST_F(MessageBoxTest, AnAnsweredBoxStaysUntilTheNextOneAndLeavesTheOwnerAlone)
{
    ShowMessageBox(1, &owner, "One.", "Note");
    FormMsgBox* first = CurrentMessageBox();
    ClickFirst();
    EXPECT_EQ(CurrentMessageBox(), first);

    // Another dialog blocks the owner now; dropping the old box must not free it.
    AnswerForm dialog;
    owner.SetEnabled(false);
    owner.SetModalChild(&dialog);
    DestroyMessageBox();
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_EQ(owner.GetModalChild(), &dialog);
    owner.SetModalChild(nullptr);
    owner.SetEnabled(true);
}

// ---------------------------------------------------------------- place and look

TEST_F(MessageBoxTest, TheBoxIsCentredOnItsOwner)
{
    ASSERT_EQ(owner.GetPosition(), (Point{100, 100}));
    ShowMessageBox(0, &owner, "Hello.", "Note");
    EXPECT_EQ(WindowRect(display, Box().GetWindow()), (Rect{325, 275, 250, 150}));
}

TEST_F(MessageBoxTest, ABoxOverAnOwnerNearTheCornerStaysOnTheScreen)
{
    AnswerForm small;
    Open(small, -1, -1, 100, 60);
    ShowMessageBox(0, &small, "Hello.", "Note");
    EXPECT_EQ(WindowRect(display, Box().GetWindow()), (Rect{0, 0, 250, 150}));
    AnswerForm farSide;
    const int sw = screen->GetScreenWidth(), sh = screen->GetScreenHeight();
    Open(farSide, sw - 60, sh - 40, 100, 60);
    ShowMessageBox(0, &farSide, "Hello.", "Note");
    const Rect r = WindowRect(display, Box().GetWindow());
    EXPECT_TRUE(r.x + r.w + 1 <= sw && r.y + r.h + 1 <= sh) << r.x << "," << r.y;
    DestroyMessageBox();
}

TEST_F(MessageBoxTest, AQuestionShowsTheMessageAboveNoAndYes)
{
    AskYesNo(1, &owner, "You want to leave?", "Question");
    FormMsgBox& box = Box();
    EXPECT_EQ(box.GetTitle(), "Question");
    EXPECT_TRUE(box.IsDialog());
    EXPECT_EQ(box.GetBackColor(), 0xAAAAAA);

    EXPECT_EQ(ControlRect(box.Label()), (Rect{10, 10, 230, 90}));
    EXPECT_EQ(box.Label()->GetText(), "You want to leave?");
    EXPECT_EQ(box.Label()->GetBackColor(), 0xB7B7B7);
    EXPECT_TRUE(box.Label()->HasBorder());
    EXPECT_EQ(ControlRect(box.FirstButton()), (Rect{130, 110, 110, 28}));
    EXPECT_EQ(box.FirstButton()->GetText(), "YES");
    EXPECT_EQ(ControlRect(box.SecondButton()), (Rect{10, 110, 110, 28}));
    EXPECT_EQ(box.SecondButton()->GetText(), "NO");
    EXPECT_TRUE(box.SecondButton()->IsVisible());

    PaintOnFirstExpose(box, &owner);
    WindowPixels px(display, box.GetWindow(), 250, 150);
    ASSERT_TRUE(px.Ok());
    EXPECT_EQ(px.At(120, 30), 0xB7B7B7u);
    EXPECT_GT(px.CountOther(10, 110, 110, 28, 0xAAAAAA), 0);
    EXPECT_GT(px.CountOther(130, 110, 110, 28, 0xAAAAAA), 0);
}

TEST_F(MessageBoxTest, AnOkBoxHasNoSecondButtonToSeeOrPress)
{
    ShowMessageBox(4, &owner, "Note this.", "Note");
    FormMsgBox& box = Box();
    EXPECT_EQ(box.FirstButton()->GetText(), "OK");
    EXPECT_FALSE(box.SecondButton()->IsVisible());

    PaintOnFirstExpose(box, &owner);
    WindowPixels px(display, box.GetWindow(), 250, 150);
    ASSERT_TRUE(px.Ok());
    EXPECT_EQ(px.CountOther(10, 110, 110, 28, 0xAAAAAA), 0);

    ClickSecond();
    EXPECT_TRUE(owner.answers.empty());
    EXPECT_TRUE(box.IsCreated());
}

}  // namespace
