// The lifecycle every painted control takes from Child, checked once over each of
// them: when it draws, what Hide and a move erase, that it waits while a form loads,
// that it draws nothing without a form, and that its form or panel deletes it (the
// leak checker sees any control left behind).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FormWorld.h"
#include "app/Application.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/ImageFrame.h"
#include "controls/PanelChildren.h"
#include "gui/DrawContext.h"
#include "image/MyImage.h"

namespace {
constexpr uint32_t kPanelBack = kGreen;
constexpr int X = 40, Y = 30, W = 50, H = 40;

const std::vector<unsigned char>& Sheet()
{
    static const std::vector<unsigned char> sheet = MakeSheet(750, 40);
    return sheet;
}

struct PaintedControl {
    std::string name;
    std::string kind;
    bool tabStop;        // only a button joins Tab
    bool keepsUserData;  // cells and panels leave their user data to the owner
    // A new control on `parent` that shows something other than kPanelBack and
    // kFormBack over its whole W x H area.
    std::function<Child*(Form* form, GUIElement* parent)> make;
    bool movesItself = true;          // a cell leaves moving to its owner
    bool paintsWhileLoading = false;  // an image frame does not wait
    bool erasesUnshown = false;       // a panel's Hide erases even when never shown
};

const std::vector<PaintedControl>& AllPaintedControls()
{
    static const std::vector<PaintedControl> all = {
        {"button", kKindButton, true, false,
         [](Form* f, GUIElement* p) -> Child* {
             auto* b = new ButtonCustom(f, "A");
             b->SetParent(p);
             b->SetBackColor(kBlue);
             return b;
         }},
        {"cell", kKindCellControl, false, true,
         [](Form* f, GUIElement* p) -> Child* {
             auto* c = new CellControl(f);
             c->SetParent(p);
             c->SetBackColor(kBlue);
             return c;
         },
         false},
        {"image frame", kKindImageFrame, false, false,
         [](Form* f, GUIElement* p) -> Child* {
             auto* i = new ImageFrame(f, Sheet().data(), 1, 750, 40, 3, 0);
             i->SetParent(p);
             return i;
         },
         true, true},
        {"picture", kKindImage, false, false,
         [](Form*, GUIElement* p) -> Child* { return new MyImage(p, Sheet().data(), true, W, H); }},
        {"panel", kKindPanel, false, true,
         [](Form* f, GUIElement* p) -> Child* {
             auto* panel = new PanelChildren(f);
             panel->SetParent(p);
             panel->SetBackColor(kBlue);
             return panel;
         },
         true, false, true},
    };
    return all;
}

class PaintedControlTest : public FormTest {
protected:
    Form* form = MakeForm(300, 200, kFormBack);

    // A panel of kPanelBack over the whole form, for the colour behind the control.
    PanelChildren* Backing()
    {
        auto* panel = new PanelChildren(form);
        panel->SetBackColor(kPanelBack);
        panel->SetPosition(0, 0);
        panel->SetSize(300, 200);
        panel->Show();
        return panel;
    }
    Child* Make(const PaintedControl& kind, GUIElement* parent, int x = X, int y = Y)
    {
        Child* c = kind.make(form, parent);
        c->SetPosition(x, y);
        c->SetSize(W, H);
        return c;
    }
    // Red just beyond the control's right and bottom edges, which nothing may touch.
    void MarkEdges()
    {
        DrawContext dc(form);
        dc.DrawPoint(X + W, Y + H - 1, kRed);
        dc.DrawPoint(X + W - 1, Y + H, kRed);
    }
};

TEST_F(PaintedControlTest, EveryPaintedControlFollowsTheSameLifecycle)
{
    for (const PaintedControl& kind : AllPaintedControls()) {
        SCOPED_TRACE(kind.name);
        PanelChildren* backing = Backing();

        // Hide of a control never shown erases nothing (a panel erases all the same).
        Child* c = Make(kind, backing);
        {
            DrawContext dc(form);
            dc.DrawPoint(X, Y, kRed);
        }
        c->Hide();
        EXPECT_EQ(Read(form).At(X, Y) == kRed, !kind.erasesUnshown);

        // Create draws nothing; it gives the id, which becomes the user data unless
        // the control keeps its own. Show paints the whole area.
        EXPECT_EQ(c->GetKind(), kind.kind);
        EXPECT_EQ(c->IsTabStop(), kind.tabStop);
        EXPECT_TRUE(c->IsPaintedByForm());
        c->Create();
        EXPECT_NE(c->GetId(), 0u);
        EXPECT_EQ(c->GetUserDataRef() == c->GetId(), !kind.keepsUserData);
        EXPECT_TRUE(Read(form).AllOf(X + 1, Y + 1, W - 1, H - 1, kPanelBack)) << "Create draws nothing";
        c->Show();
        // (A cell's text box leaves its last column, as the text fill does.)
        EXPECT_EQ(Read(form).Count(X, Y, W - 1, H - 1, kPanelBack), 0) << "Show paints the whole area";

        // Hide erases exactly W x H in the colour behind; the next Show paints again.
        MarkEdges();
        c->Hide();
        WindowPixels px = Read(form);
        EXPECT_FALSE(c->IsCreated());
        EXPECT_TRUE(px.AllOf(X, Y, W, H, kPanelBack)) << "erased in the panel's colour, not the form's";
        EXPECT_EQ(px.At(X + W, Y + H - 1), kRed);
        EXPECT_EQ(px.At(X + W - 1, Y + H), kRed);
        const uint32_t id = c->GetId();
        c->Show();
        EXPECT_EQ(c->GetId(), id) << "shown again with its id";
        EXPECT_EQ(Read(form).Count(X, Y, W - 1, H - 1, kPanelBack), 0);

        // Moving a shown control erases the old place and paints the new one.
        if (kind.movesItself) {
            c->SetPosition(X + 120, Y + 60);
            px = Read(form);
            EXPECT_TRUE(px.AllOf(X, Y, W, H, kPanelBack)) << "the old place is erased";
            EXPECT_EQ(px.Count(X + 120, Y + 60, W - 1, H - 1, kPanelBack), 0) << "the new place is painted";
            c->SetPosition(X, Y);
            c->SetSize(W - 20, H - 10);
            px = Read(form);
            EXPECT_TRUE(px.AllOf(X + W - 20, Y, 20, H, kPanelBack)) << "a smaller control erases the rest";
            EXPECT_TRUE(px.AllOf(X, Y + H - 10, W, 10, kPanelBack));
            EXPECT_EQ(px.Count(X, Y, W - 21, H - 11, kPanelBack), 0);
            c->SetSize(W, H);
        }

        // While a form loads only an image frame paints.
        c->Hide();
        c->Create();
        Application::SetLoading(true);
        c->Paint();
        Application::SetLoading(false);
        EXPECT_EQ(Read(form).AllOf(X, Y, W, H, kPanelBack), !kind.paintsWhileLoading);

        // Without a form there is no window to draw on, and another form's is not it.
        Child* loose = Make(kind, nullptr, 200, 120);
        loose->Show();
        loose->Paint();
        EXPECT_TRUE(Read(form).AllOf(200, 120, W, H, kPanelBack)) << "nothing drawn without a form";
        delete loose;

        delete backing;             // and with it the control
        Make(kind, form, 200, 10);  // left for the form to delete
        Sync();
        EXPECT_TRUE(NoXErrors()) << Log();
    }
}

}  // namespace
