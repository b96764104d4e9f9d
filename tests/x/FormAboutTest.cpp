// The about box on the private X server: where it opens and what it holds, the keys
// and buttons that close it and release the window below, and the two links, which
// start stand-in browser and mail programs put first on PATH.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/wait.h>

#include <memory>
#include <string>
#include <vector>

#include "FormWorld.h"
#include "StandInCommands.h"
#include "app/ProductInfo.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/PanelChildren.h"
#include "dialogs/FormAbout.h"
#include "image/BuiltinPictures.h"
#include "image/DisplayImage.h"
#include "image/MyImage.h"

using form_events::Click;
using form_events::CloseBox;
using form_events::ControlRect;
using form_events::PaintOnFirstExpose;
using form_events::Rect;
using form_events::Stroke;
using form_events::WindowRect;

namespace {

constexpr const char* kWeb = "https://www.quorrel.example";

class AboutTest : public FormTest {
protected:
    stand_in::Programs programs;
    Form owner{nullptr};
    XImage* picture = nullptr;
    std::unique_ptr<FormAbout> about;

    AboutTest()
    {
        owner.SetScreen(screen.get());
        // The border puts the window's inside one pixel in from where it is placed, and
        // the about box centres on the inside: this owner reports (0, 0).
        owner.SetGeometry(-1, -1, 700, 500);
        owner.Create();
        Application::SetMainForm(&owner);
        std::vector<unsigned char> rgb = UnpackPicture(kAboutWidth, kAboutHeight, kAboutPicture);
        picture = MakeDisplayImage(&owner, rgb.data(), kAboutWidth, kAboutHeight);
        EXPECT_TRUE(programs.Add("firefox", 3));
        EXPECT_TRUE(programs.Add("thunderbird", 3));
    }
    ~AboutTest() override
    {
        about.reset();
        FreeDisplayImage(picture);
        EXPECT_TRUE(stand_in::ReapAll());
    }

    // The about box the way the main window fills it in and shows it.
    FormAbout& Open(const std::string& web = kWeb)
    {
        about = std::make_unique<FormAbout>(&owner);
        about->SetScreen(screen.get());
        about->SetPicture(picture, kAboutWidth, kAboutHeight);
        about->SetTitleLine("Quorrel 1.0.0.0");
        about->SetCreditLine("Made by us");
        about->SetNotice("First line.\nSecond line.");
        about->SetWebAddress(web);
        about->Show();
        XSync(display, False);
        return *about;
    }

    void ClickAt(int x, int y) { Click(*about, x, y, &owner); }
    void Key(KeySym k) { Stroke(*about, k, &owner); }

    void ExpectBlocked()
    {
        EXPECT_FALSE(owner.IsEnabled());
        EXPECT_TRUE(owner.GetMarkA());
        EXPECT_EQ(owner.GetModalChild(), about.get());
    }
    void ExpectReleased()
    {
        EXPECT_TRUE(owner.IsEnabled());
        EXPECT_FALSE(owner.GetMarkA());
        EXPECT_EQ(owner.GetModalChild(), nullptr);
    }
};

// ---------------------------------------------------------------- place and look

TEST_F(AboutTest, ItOpensCentredOnItsOwnerAndBlocksIt)
{
    ASSERT_EQ(owner.GetPosition(), (Point{0, 0}));
    FormAbout& box = Open();
    EXPECT_EQ(WindowRect(display, box.GetWindow()), (Rect{50, 145, 600, 210}));
    EXPECT_EQ(box.GetTitle(), "Info...");
    EXPECT_TRUE(box.IsDialog());
    ExpectBlocked();
}

TEST_F(AboutTest, ThePictureTextsLinksAndButtonSitRightOfThePicture)
{
    FormAbout& box = Open();
    const Application::ElementList list = Application::CollectChildren(box.GetId());
    ASSERT_EQ(list.size(), 8u);

    auto* panel = static_cast<PanelChildren*>(list[0]);
    ASSERT_TRUE(panel->IsKind(kKindPanel));
    EXPECT_EQ(ControlRect(panel), (Rect{10, 23, 183, 137}));
    EXPECT_TRUE(panel->HasBorder());

    auto* image = static_cast<MyImage*>(list[1]);
    ASSERT_TRUE(image->IsKind(kKindImage));
    EXPECT_EQ(image->GetParent(), panel);
    EXPECT_EQ(ControlRect(image), (Rect{5, 5, 163, 50}));
    EXPECT_EQ(image->GetImage(), picture);

    struct ExpectedCell {
        const char* text;
        Rect rect;
        int64_t fore;
        bool markB;
        bool border;
    };
    const ExpectedCell cells[] = {
        {"Quorrel 1.0.0.0", {208, 17, 382, 25}, 0xFFFFFF, false, false},
        {"Made by us", {208, 38, 382, 25}, 0x000000, false, false},
        {kWeb, {208, 68, 200, 12}, 0x0000FF, true, false},
        {"info@quorrel.example", {418, 68, 150, 12}, 0x0000FF, true, false},
        {"First line.\nSecond line.", {208, 95, 382, 65}, 0x000000, false, true},
    };
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(cells[i].text);
        auto* cell = static_cast<CellControl*>(list[2 + i]);
        ASSERT_TRUE(cell->IsKind(kKindCellControl));
        EXPECT_EQ(cell->GetText(), cells[i].text);
        EXPECT_EQ(ControlRect(cell), cells[i].rect);
        EXPECT_EQ(cell->GetTextAlign(), 0);
        EXPECT_EQ(cell->GetForeColor(), cells[i].fore);
        EXPECT_EQ(cell->GetMarkB(), cells[i].markB);
        EXPECT_EQ(cell->HasBorder(), cells[i].border);
    }
    EXPECT_EQ(list[4], box.WebCell());
    EXPECT_EQ(list[5], box.MailCell());

    EXPECT_EQ(list[7], box.OkButton());
    EXPECT_EQ(box.OkButton()->GetText(), "OK");
    EXPECT_EQ(ControlRect(box.OkButton()), (Rect{468, 173, 80, 28}));

    PaintOnFirstExpose(box, &owner);
}

TEST_F(AboutTest, TheContactAddressIsTheMailboxAtTheWebHost)
{
    FormAbout& box = Open("https://www.example.org/games");
    EXPECT_EQ(box.MailAddress(), std::string(kMailbox) + "@example.org/games");
    EXPECT_EQ(box.MailCell()->GetText(), "info@example.org/games");
    EXPECT_EQ(box.BrowserCommand(), "firefox https://www.example.org/games");
    EXPECT_EQ(box.MailCommand(), "thunderbird -compose to=\"info@example.org/games\"");
}

TEST_F(AboutTest, AWebAddressOfTwelveCharactersOrLessLeavesOnlyTheMailbox)
{
    FormAbout& box = Open("https://www.");
    EXPECT_EQ(box.MailAddress(), "info@");
}

// ---------------------------------------------------------------- closing

TEST_F(AboutTest, EscapeEnterAndDeleteEachCloseItAndReleaseTheOwner)
{
    for (KeySym k : {XK_Escape, XK_Return, XK_Delete}) {
        SCOPED_TRACE(XKeysymToString(k));
        FormAbout& box = Open();
        ExpectBlocked();
        Key(k);
        ExpectReleased();
        EXPECT_FALSE(box.IsCreated());
        EXPECT_EQ(box.GetWindow(), 0u);
        about.reset();
    }
}

TEST_F(AboutTest, OtherKeysLeaveItOpen)
{
    FormAbout& box = Open();
    for (KeySym k : {XK_a, XK_BackSpace, XK_Tab, XK_1}) Key(k);
    EXPECT_TRUE(box.IsCreated());
    ExpectBlocked();
}

TEST_F(AboutTest, OpensWithOkFocusedAndSpacePressesIt)
{
    FormAbout& box = Open();
    EXPECT_EQ(Application::Focused(), box.OkButton());
    Key(XK_space);
    EXPECT_FALSE(box.IsCreated());
    ExpectReleased();
}

TEST_F(AboutTest, TheOkButtonClosesIt)
{
    FormAbout& box = Open();
    ClickAt(468 + 40, 173 + 14);
    EXPECT_FALSE(box.IsCreated());
    EXPECT_TRUE(box.IsClosed());
    ExpectReleased();
}

TEST_F(AboutTest, TheCloseBoxClosesItTheSameWay)
{
    FormAbout& box = Open();
    CloseBox(box, &owner);
    EXPECT_FALSE(box.IsCreated());
    ExpectReleased();
}

TEST_F(AboutTest, DestroyedWhileOpenItReleasesTheOwner)
{
    Open();
    about.reset();
    ExpectReleased();
}

TEST_F(AboutTest, DestroyedAfterClosingItLeavesALaterDialogInPlace)
{
    Open();
    Key(XK_Escape);
    Form later(nullptr);
    owner.SetEnabled(false);
    owner.SetModalChild(&later);
    about.reset();
    EXPECT_FALSE(owner.IsEnabled());
    EXPECT_EQ(owner.GetModalChild(), &later);
    owner.SetModalChild(nullptr);
    owner.SetEnabled(true);
}

// ---------------------------------------------------------------- links

TEST_F(AboutTest, ClicksOnTheTextsAndThePictureStartNothing)
{
    Open();
    ASSERT_TRUE(stand_in::ReapAll());
    ClickAt(220, 25);   // title
    ClickAt(220, 45);   // credit
    ClickAt(220, 120);  // notice
    ClickAt(50, 40);    // picture
    ClickAt(20, 150);   // the panel below the picture
    EXPECT_FALSE(programs.Ran("firefox"));
    EXPECT_FALSE(programs.Ran("thunderbird"));
}

TEST_F(AboutTest, TheWebLinkStartsTheBrowserOnTheAddressAndLeavesNoChildBehind)
{
    Open();
    ASSERT_TRUE(stand_in::ReapAll());
    ClickAt(215, 73);
    ASSERT_TRUE(programs.WaitForRun("firefox"));
    EXPECT_EQ(programs.Args("firefox"), (std::vector<std::string>{kWeb}));
    EXPECT_FALSE(programs.Ran("thunderbird"));
    // The stand-in browser fails with 3: that is no "not found", so nothing else runs.
    EXPECT_FALSE(programs.Ran("xdg-open"));
    EXPECT_TRUE(stand_in::ReapAll());
    // The box stays open and the owner blocked: a link is not an answer.
    EXPECT_TRUE(about->IsCreated());
    ExpectBlocked();
}

TEST_F(AboutTest, WithoutTheNamedProgramsTheLinksGoToTheDesktopOpener)
{
    // Only the opener is on PATH, so the shell finds neither named program (127).
    stand_in::Programs desktop;
    ASSERT_TRUE(desktop.Add("xdg-open", 0, "PATH=/usr/bin:/bin"));
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", desktop.Dir().c_str(), 1);
    Open();
    ClickAt(215, 73);
    const bool webOpened = desktop.WaitForRun("xdg-open");
    const std::vector<std::string> webArgs = desktop.Args("xdg-open");
    std::remove(desktop.ArgsFile("xdg-open").c_str());
    ClickAt(425, 73);
    const bool mailOpened = desktop.WaitForRun("xdg-open");
    setenv("PATH", oldPath.c_str(), 1);

    ASSERT_TRUE(webOpened);
    EXPECT_EQ(webArgs, (std::vector<std::string>{kWeb}));
    ASSERT_TRUE(mailOpened);
    // One argument, as given: no shell splits or unquotes it.
    EXPECT_EQ(desktop.Args("xdg-open"), (std::vector<std::string>{"mailto:info@quorrel.example"}));
    EXPECT_FALSE(programs.Ran("firefox"));
    EXPECT_TRUE(stand_in::ReapAll());
}

TEST_F(AboutTest, TheMailLinkComposesAMessageToTheContactAddress)
{
    Open();
    ASSERT_TRUE(stand_in::ReapAll());
    ClickAt(425, 73);
    ASSERT_TRUE(programs.WaitForRun("thunderbird"));
    // The shell takes the quotes off the recipient.
    EXPECT_EQ(programs.Args("thunderbird"), (std::vector<std::string>{"-compose", "to=info@quorrel.example"}));
    EXPECT_FALSE(programs.Ran("firefox"));
}

TEST_F(AboutTest, FinishedLinkChildrenAreCollectedAndLeaveNoZombie)
{
    Open();
    ASSERT_TRUE(stand_in::ReapAll());
    ClickAt(215, 73);
    ClickAt(425, 73);
    ASSERT_TRUE(programs.WaitForRun("firefox"));
    ASSERT_TRUE(programs.WaitForRun("thunderbird"));
    EXPECT_TRUE(stand_in::ReapAll());
    int status = 0;
    // Children are left (the private X server), none of them has ended unseen.
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), 0);
}

TEST_F(AboutTest, TheBoxDoesNotWaitForTheBrowser)
{
    ASSERT_TRUE(programs.Add("firefox", 0, "sleep 1"));
    Open();
    ClickAt(215, 73);
    // Back before the slow browser got to write anything.
    EXPECT_FALSE(programs.Ran("firefox"));
    ASSERT_TRUE(programs.WaitForRun("firefox"));
}

}  // namespace
