#pragma once
// A top-level window: the only kind of element with an X window of its own. Its
// controls are drawn on its window and get their input through it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>
#include <string>
#include <vector>

#include "gui/GUIElement.h"
#include "gui/GraphicsContext.h"

class ScaledWindow;
class ScreenConnection;

class Form : public GUIElement {
public:
    explicit Form(void* owner);
    Form(void* owner, bool dialog);
    ~Form() override;

    // --- overrides of the element operations ---
    int GetWidth() override;
    int GetActualWidth() override;
    int GetHeight() override;
    int GetActualHeight() override;
    Point GetPosition() override;
    void SetBackColor(int64_t c) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void SetFocus() override;
    void Paint() override;
    void SetMarkA(bool b) override;
    void Create() override;
    void MoveNative() override;
    void ResizeNative() override;
    void RaiseNative() override;
    void LowerNative() override;
    void AttachNative(GUIElement* e) override;
    void BackColorNative() override;
    void PropertiesChanged() override;

    // --- the form's own virtual operations, in their fixed order ---
    virtual void FormHookA();
    virtual void FormHookB();
    virtual std::string GetTitle();
    virtual void SetTitle(const std::string& s);
    virtual std::string GetCaption();
    virtual void SetTitleChars(const char* begin, const char* end);
    virtual void OnCreated();
    virtual void OnUserMessage();
    virtual void FormHookC();
    virtual void SetOption1(bool b);
    virtual void SetOption2(bool b);
    virtual void SetOption3(bool b);
    virtual void DestroyWindow();
    virtual void OnDialogResult(int id, int result);
    virtual bool IsDialog();
    virtual void SetIcon(Pixmap p);
    virtual void AdjustSizeShifted(int w, int h);
    virtual void AdjustSize(int w, int h, bool shift);
    virtual void SetOption4(bool b);
    virtual void SetOption5(bool b);
    virtual void SetModalChild(Form* f);
    virtual void SetGeometry(int x, int y, int w, int h);
    virtual void SetScreen(ScreenConnection* s);
    virtual ScreenConnection* GetScreen();
    virtual void CenterOnScreen();
    virtual void ShowForm();
    virtual void Open();
    virtual Window GetWindow();
    virtual void MarkBOn();
    virtual void MarkBOff();

    // --- what a screen reader is told of the window ---
    // The window itself: a frame named by its title (a dialog: a dialog, modal while
    // it blocks its owner), showing while it is on the screen.
    virtual void DescribeWindow(AccessibleNode& node);
    // What is on the window, in reading order. By default every control on it that
    // describes itself, in the order they were made.
    virtual void DescribeTree(AccessibleNodes& nodes);
    // Runs action `index` of the node with `key`, as a click or a key would; false
    // when it has no such action or the window is blocked by a dialog.
    virtual bool DoNodeAction(uint32_t key, int index);
    // Gives the node with `key` the keyboard focus; false when it cannot take it.
    virtual bool FocusNode(uint32_t key);
    // Adds what `control` describes of itself, unless it keeps out of the tree.
    static void DescribeControl(GUIElement* control, AccessibleNodes& nodes);

    // What a dialog remembers of its owner's keyboard focus when it opens.
    struct FocusMemo {
        Form* owner = nullptr;
        uint32_t controlId = 0;  // the owner's focused control, 0 for none
    };
    static FocusMemo RememberFocus(Form* owner);
    // When a dialog has closed: the owner's window gets the keyboard back and, when
    // the dialog was closed by a key, the remembered control gets the focus back,
    // if it still exists and is enabled. Nothing while the owner is still blocked.
    static void GiveFocusBack(const FocusMemo& memo);
    // The window's icons in the _NET_WM_ICON layout (width, height, then width x height
    // ARGB pixels, for each size); set on the window now or at creation.
    void SetNetIcon(const std::vector<unsigned long>& icons);
    // Gives a control of this form the keyboard focus (a dialog's safe button).
    void FocusControl(GUIElement* control);
    // Brings the open modal child back to the player: shown again if it was
    // minimised, raised, and given the keyboard. Nothing without one.
    void BringBackModalChild();
    // The window manager offers the keyboard (WM_TAKE_FOCUS at `time`): it goes to
    // the open modal child, if there is one, else to this window.
    void TakeFocus(Time time);
    Atom GetTakeFocusAtom() const { return takeFocusAtom_; }
    Atom GetActivateAtom() const { return activateAtom_; }

    // While held, the controls of this form neither paint nor erase: a form that
    // sets many of them at once (its first paint) then draws the whole window once.
    void HoldPaints(bool held) { paintsHeld_ = held; }
    bool PaintsHeld() const { return paintsHeld_; }

    Atom GetDeleteAtom() const { return deleteAtom_; }
    Form* GetModalChild() const { return modalChild_; }
    Display* GetDisplay() const;
    // The graphics context every DrawContext on this window draws through, made at
    // the first use with graphics exposures off and kept with the window; null when
    // there is no window or it cannot be made.
    GC DrawingGC();

    // How many screen pixels each way one of the form's pixels takes (the screen's
    // scale). Sizes, controls and input are in the form's pixels; positions on the
    // screen are in the screen's.
    int Scale() const;
    // What DrawContext draws on: the window, or at a scale above 1 the window's
    // off-screen picture, which the form shows enlarged.
    Drawable DrawTarget() const;
    // At a scale above 1: notes that w x h pixels at (x, y) of the drawing changed /
    // shows the changes on the window. Nothing at scale 1, where drawing is direct.
    void DrawingChanged(int x, int y, int w, int h);
    void PresentDrawing();
    // Paints the whole form for an exposure; at a scale above 1 shown in one piece.
    void PaintExposed();
    // True while PaintExposed runs: the window is on the screen, known without asking.
    bool Exposing() const { return exposing_; }
    // Gives the window manager the 1-bit icon and its mask of the old hints, once the
    // window is on show (the first Expose).
    void GiveIconBitmaps();
    // Puts this dialog's window centred on `owner`'s inside, moved inside the screen.
    void CenterOn(Form* owner);

protected:
    Form* modalChild_ = nullptr;
    Atom deleteAtom_ = None;
    Atom takeFocusAtom_ = None;
    Atom activateAtom_ = None;
    Pixmap iconPixmap_ = 0;
    ScreenConnection* screen_ = nullptr;
    Window window_ = 0;
    bool option5_ = true;
    bool option1_ = true;
    bool option2_ = true;
    bool option3_ = true;
    bool dialog_ = false;
    bool option4_ = false;

private:
    // The form a dialog belongs to: its nearest form ancestor, else the main form.
    Form* DialogOwner();
    // The window that leads the program's window group: the main window.
    Window GroupLeader();
    std::vector<unsigned long> netIcon_;
    Pixmap iconBitmap_ = 0;
    Pixmap iconMask_ = 0;
    const std::vector<unsigned long>& WindowIcons();
    void MakeIconBitmaps();
    // The window manager hints: input, normal state, the group, and the icon made so far.
    void FillWMHints(XWMHints& wm);
    GraphicsContext drawingGC_;
    std::unique_ptr<ScaledWindow> scaled_;  // only at a scale above 1
    bool paintsHeld_ = false;
    bool exposing_ = false;

    void CreateWindow();
    void SetWindowProperties();
    void DestroyNativeWindow();
    void CreateScaledWindow();
};
