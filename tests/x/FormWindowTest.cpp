// What a created form leaves on the server: its window's class, hints, protocols,
// type and background, and the geometry the form asks the server for.
#include "FormWorld.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include "app/Log.h"
#include "gui/Form.h"

namespace {

class FormWindowTest : public FormTest {
protected:
    RecordingForm& form = MakeRecordingForm();
    // A form of its own, created on the fixture's connection.
    std::unique_ptr<RecordingForm> NewForm(bool dialog = false, int64_t backColor = -1)
    {
        auto f = std::make_unique<RecordingForm>(calls, "f", dialog);
        f->SetScreen(screen.get());
        f->SetPosition(400, 300);
        f->SetSize(120, 90);
        if (backColor != -1) f->SetBackColor(backColor);
        f->Create();
        XSync(display, False);
        return f;
    }

    unsigned long PixelAt(Window w, int x, int y)
    {
        XImage* image = XGetImage(display, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel;
    }

    int MapState(Window w)
    {
        XWindowAttributes attrs{};
        XGetWindowAttributes(display, w, &attrs);
        return attrs.map_state;
    }

    std::vector<Atom> WindowTypes(Window w)
    {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<Atom> types;
        if (XGetWindowProperty(display, w, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), 0, 16, False, XA_ATOM,
                               &actualType, &format, &count, &after, &data) == Success &&
            data) {
            const Atom* atoms = reinterpret_cast<const Atom*>(data);
            types.assign(atoms, atoms + count);
        }
        if (data) XFree(data);
        return types;
    }
};

std::vector<std::string>* loadNotes = nullptr;
void NoteLoad(GUIElement* e, uint64_t userData)
{
    Form* f = static_cast<Form*>(e);
    XWindowAttributes attrs{};
    XGetWindowAttributes(f->GetDisplay(), f->GetWindow(), &attrs);
    loadNotes->push_back(std::string("loading=") + (Application::Loading() ? "1" : "0") + " created=" +
                         (f->IsCreated() ? "1" : "0") + " mapped=" + (attrs.map_state == IsUnmapped ? "0" : "1") +
                         " userData=id:" + (userData == f->GetId() && userData != 0 ? "1" : "0"));
}

}  // namespace

TEST_F(FormWindowTest, WindowClassAndInstanceAreTheProgramName)
{
    XClassHint hint{};
    ASSERT_NE(XGetClassHint(display, form.GetWindow(), &hint), 0);
    EXPECT_STREQ(hint.res_name, "Quorrel.exe");
    EXPECT_STREQ(hint.res_class, "Quorrel.exe");
    XFree(hint.res_name);
    XFree(hint.res_class);
}

TEST_F(FormWindowTest, SizeHintsAskForAWindowThatCannotBeResized)
{
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(display, form.GetWindow(), &hints, &supplied), 0);
    const long wanted = PPosition | PSize | PMinSize | PMaxSize;
    EXPECT_EQ(hints.flags & wanted, wanted);
    EXPECT_EQ(hints.min_width, 300);
    EXPECT_EQ(hints.max_width, 300);
    EXPECT_EQ(hints.min_height, 200);
    EXPECT_EQ(hints.max_height, 200);
    EXPECT_EQ(hints.width, 300);
    EXPECT_EQ(hints.height, 200);
}

TEST_F(FormWindowTest, TheProtocolsAreDeleteWindowAndTakeFocus)
{
    Atom* protocols = nullptr;
    int count = 0;
    ASSERT_NE(XGetWMProtocols(display, form.GetWindow(), &protocols, &count), 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(protocols[0], XInternAtom(display, "WM_DELETE_WINDOW", False));
    EXPECT_EQ(protocols[0], form.GetDeleteAtom());
    EXPECT_EQ(protocols[1], XInternAtom(display, "WM_TAKE_FOCUS", False));
    XFree(protocols);
}

TEST_F(FormWindowTest, DialogFormIsTypedAsADialog)
{
    auto dialog = NewForm(true);
    EXPECT_EQ(WindowTypes(dialog->GetWindow()),
              (std::vector<Atom>{XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False)}));
    EXPECT_TRUE(dialog->IsDialog());
}

TEST_F(FormWindowTest, OrdinaryFormHasNoWindowType)
{
    EXPECT_TRUE(WindowTypes(form.GetWindow()).empty());
    EXPECT_FALSE(form.IsDialog());
}

TEST_F(FormWindowTest, BackgroundIsGreyWhenNoBackColourWasSet)
{
    auto f = NewForm();
    EXPECT_EQ(PixelAt(f->GetWindow(), 5, 5), 0xAAAAAAul);
}

TEST_F(FormWindowTest, BackgroundIsTheBackColourSetBeforeCreation)
{
    auto f = NewForm(false, 0x123456);
    EXPECT_EQ(PixelAt(f->GetWindow(), 5, 5), 0x123456ul);
}

TEST_F(FormWindowTest, TitleSetBeforeCreationNamesTheWindowAndTheDesktopNamesItsIconQuorrel)
{
    RecordingForm f(calls, "f");
    f.SetScreen(screen.get());
    f.SetTitle("Quorrel title");
    EXPECT_EQ(f.GetTitle(), "Quorrel title");
    f.Create();
    char* name = nullptr;
    ASSERT_NE(XFetchName(display, f.GetWindow(), &name), 0);
    EXPECT_STREQ(name, "Quorrel title");
    XFree(name);
    for (const auto& [property, value] :
         {std::pair{"_NET_WM_NAME", "Quorrel title"}, {"_NET_WM_ICON_NAME", "Quorrel"}}) {
        XTextProperty text{};
        ASSERT_NE(XGetTextProperty(display, f.GetWindow(), &text, XInternAtom(display, property, False)), 0);
        EXPECT_EQ(text.encoding, XInternAtom(display, "UTF8_STRING", False));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(text.value), text.nitems), value);
        XFree(text.value);
    }
}

TEST_F(FormWindowTest, SetTitleOnACreatedFormRenamesWindowAndIcon)
{
    form.SetTitle("renamed");
    char* name = nullptr;
    char* icon = nullptr;
    ASSERT_NE(XFetchName(display, form.GetWindow(), &name), 0);
    ASSERT_NE(XGetIconName(display, form.GetWindow(), &icon), 0);
    EXPECT_STREQ(name, "renamed");
    EXPECT_STREQ(icon, "renamed");
    XFree(name);
    XFree(icon);
}

TEST_F(FormWindowTest, CreationMapsTheWindowAndMakesTheFormVisible)
{
    EXPECT_EQ(MapState(form.GetWindow()), IsViewable);
    EXPECT_TRUE(form.IsVisible());
    EXPECT_GT(form.GetId(), 0u);
    EXPECT_EQ(Application::FindFormByWindow(form.GetWindow()), &form);
}

TEST_F(FormWindowTest, LoadCallbackRunsOnceInsideCreationBeforeTheWindowIsMapped)
{
    std::vector<std::string> notes;
    loadNotes = &notes;
    RecordingForm f(calls, "f");
    f.SetScreen(screen.get());
    f.SetOnLoad(NoteLoad);
    f.Create();
    f.DestroyWindow();
    f.Create();
    EXPECT_EQ(notes, (std::vector<std::string>{"loading=1 created=0 mapped=0 userData=id:1"}));
    EXPECT_FALSE(Application::Loading());
}

TEST_F(FormWindowTest, HideUnmapsAndShowWindowMapsAgain)
{
    form.Hide();
    XSync(display, False);
    EXPECT_EQ(MapState(form.GetWindow()), IsUnmapped);
    EXPECT_FALSE(form.IsVisible());
    form.ShowWindow();
    XSync(display, False);
    EXPECT_EQ(MapState(form.GetWindow()), IsViewable);
    EXPECT_TRUE(form.IsVisible());
}

TEST_F(FormWindowTest, GetActualWidthAndHeightAskTheServer)
{
    XResizeWindow(display, form.GetWindow(), 250, 150);
    XSync(display, False);
    EXPECT_EQ(form.GetActualWidth(), 250);
    EXPECT_EQ(form.GetActualHeight(), 150);
    EXPECT_EQ(form.GetWidth(), 300);
    EXPECT_EQ(form.GetHeight(), 200);
}

TEST_F(FormWindowTest, SetSizeOnACreatedFormResizesTheWindow)
{
    form.SetSize(222, 111);
    XSync(display, False);
    EXPECT_EQ(form.GetActualWidth(), 222);
    EXPECT_EQ(form.GetActualHeight(), 111);
}

TEST_F(FormWindowTest, CenterOnScreenPlacesTheFormInTheMiddle)
{
    RecordingForm f(calls, "f");
    f.SetScreen(screen.get());
    f.SetSize(800, 600);
    f.CenterOnScreen();
    EXPECT_EQ(f.GetPosition(), (Point{(screen->GetScreenWidth() - 800) / 2, (screen->GetScreenHeight() - 600) / 2}));
    EXPECT_EQ(f.GetPosition(), (Point{240, 212}));
}

TEST_F(FormWindowTest, CenterOnScreenPutsAFormWiderThanTheScreenAtZero)
{
    RecordingForm f(calls, "f");
    f.SetScreen(screen.get());
    f.SetSize(2000, 100);
    f.CenterOnScreen();
    EXPECT_EQ(f.GetPosition(), (Point{0, 462}));
}

TEST_F(FormWindowTest, CenterOnScreenWithoutConnectionUsesTheRegisteredScreen)
{
    RecordingForm f(calls, "f");
    f.SetSize(280, 24);
    f.CenterOnScreen();
    EXPECT_EQ(f.GetPosition(), (Point{(ScreenWidth() - 280) / 2, (ScreenHeight() - 24) / 2}));
    EXPECT_EQ(f.GetPosition(), (Point{500, 500}));
}

TEST_F(FormWindowTest, MarkBOnAFormNotCreatedDoesNothing)
{
    RecordingForm f(calls, "f");
    f.MarkBOn();
    f.SetMarkA(true);
    EXPECT_FALSE(f.GetMarkB());
    EXPECT_FALSE(f.GetMarkA());
    form.MarkBOn();
    EXPECT_TRUE(form.GetMarkB());
}

TEST_F(FormWindowTest, CreateWithoutScreenLogsAndCreatesNothing)
{
    RecordingForm f(calls, "f");
    f.Create();
    EXPECT_FALSE(f.IsCreated());
    EXPECT_EQ(f.GetWindow(), 0u);
    EXPECT_EQ(f.GetId(), 0u);
    EXPECT_EQ(dir.ReadFile(kLogFileName), "E' necessario impostare il display\n");
}

TEST_F(FormWindowTest, DestroyingAFormDestroysItsWindow)
{
    auto f = NewForm();
    const Window w = f->GetWindow();
    f.reset();
    XSync(display, False);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    ASSERT_NE(XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count), 0);
    std::vector<Window> all(children, children + count);
    if (children) XFree(children);
    EXPECT_EQ(std::find(all.begin(), all.end(), w), all.end());
}
