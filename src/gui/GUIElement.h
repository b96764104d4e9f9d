#pragma once
// The base of everything the toolkit shows. It holds geometry, state flags, texts,
// the font, the parent link, the id and a table of plain function-pointer callbacks,
// and defines the toolkit's whole vocabulary of virtual operations. The event loop
// speaks to elements only through these operations; most of them do a little
// bookkeeping and then call the matching callback, so a form can hook any event of
// any element without deriving a class. The order of the virtual operations is fixed:
// subclasses add theirs after these.
#include <X11/X.h>
#include <cstdint>
#include <new>
#include <string>

#include "gui/AccessibleNode.h"
#include "gui/FontSpec.h"
#include "gui/Point.h"

class Form;
class GUIElement;

using LoadCallback = void (*)(GUIElement* element, uint64_t userData);
using MouseCallback = void (*)(GUIElement* element, uint64_t userData, Point p);
using KeyCallback = void (*)(GUIElement* element, KeySym key);
using KeyCharCallback = bool (*)(GUIElement* element, int c);
using ResizedCallback = void (*)(GUIElement* element, int64_t backColor);
using QueryCloseCallback = bool (*)(GUIElement* element);
using ClosedCallback = void (*)(GUIElement* element);

// Element kinds; the registry, the event loop and the hit test decide by them.
inline constexpr const char* kKindForm = "form";
inline constexpr const char* kKindPanel = "panel";
inline constexpr const char* kKindTimer = "timer";
inline constexpr const char* kKindImage = "image";
inline constexpr const char* kKindImageFrame = "imageframe";
inline constexpr const char* kKindCellControl = "cellcontrol";
inline constexpr const char* kKindButton = "ButtonCustom";

class GUIElement {
public:
    explicit GUIElement(void* owner);
    virtual ~GUIElement();
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // `delete` of an element while the loop dispatches an event (or ticks the timers)
    // only queues it: the element takes no further part in that event and is freed
    // when the event is done. A handler may therefore delete the control or form it
    // was called for, and the code that called it still runs on a live object.
    // Outside an event the element is destroyed and freed at once.
    static void operator delete(GUIElement* e, std::destroying_delete_t);
    // True from a delete during an event until the element is freed after it.
    bool IsDeleted() const { return deleted_; }

    // --- virtual operations, in their fixed order ---
    virtual int GetWidth();
    virtual int GetActualWidth();
    virtual int GetHeight();
    virtual int GetActualHeight();
    virtual Point GetPosition();
    virtual Point GetSize();
    virtual Point GetExtent();
    virtual void SetSize(int w, int h);
    virtual void SetPosition(int x, int y);
    virtual void SetPositionClamped(int x, int y);
    virtual void SetPositionPoint(Point p);
    virtual void SetBackColor(int64_t c);
    virtual int64_t GetBackColor();
    virtual void Show();
    virtual void ShowWindow();
    virtual void Hide();
    virtual bool IsVisible();
    virtual bool IsCreated();
    virtual void EmptyHook1();
    virtual void SetEnabled(bool b);
    virtual bool IsEnabled();
    virtual void Attach(GUIElement* e);
    virtual void BringToFront();
    virtual void Raise();
    virtual void SendToBack();
    virtual void SetTag(const std::string& s);
    virtual std::string GetTag();
    virtual void SetFont(const FontSpec& f);
    virtual FontSpec& GetFont();
    virtual bool IsTabStop();
    virtual bool IsPaintedByForm();
    virtual bool IsChild();
    virtual bool HitTest(Point p);
    virtual void SetText(const std::string& s);
    virtual std::string GetText();
    virtual std::string GetValueText();
    virtual void MouseUp(Point p);
    virtual void MouseDown(Point p);
    virtual void DoubleClick(Point p);
    virtual void OtherButtonUp(Point p);
    virtual void OtherButtonDown(Point p);
    virtual void UserHook1(int64_t a);
    virtual void KeyUp(KeySym k);
    virtual void KeyDown(KeySym k);
    virtual bool KeyChar(int c);
    virtual void MouseMove(int x, int y);
    virtual void UserHook2();
    virtual void UserHook3();
    virtual void SetFocus();
    virtual void NotifyMoved();
    virtual void NotifyResized();
    virtual void Paint();
    virtual bool QueryClose();
    virtual void NotifyClosed();
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Load(uint64_t d);
    virtual void ApplyBackColor();
    virtual bool GetMarkA();
    virtual bool GetMarkB();
    virtual void SetMarkA(bool b);
    virtual void SetMarkB(bool b);
    virtual void EmptyHook2();
    virtual uint64_t& GetUserDataRef();
    virtual void Create() = 0;
    virtual void MoveNative();
    virtual void ResizeNative();
    virtual void BackColorNative();
    virtual void RaiseNative();
    virtual void LowerNative();
    virtual void AttachNative(GUIElement* e);
    virtual void PropertiesChanged();
    // What a screen reader is told of this element: `node` comes with its key set and
    // is filled in. Role None, the default, keeps the element out of the tree.
    virtual void Describe(AccessibleNode& node);
    // Runs action `index` of the list Describe gave, as the mouse or the keys would;
    // false when there is no such action or it cannot run now.
    virtual bool DoAccessibleAction(int index);

    // --- non-virtual operations ---
    // Gives the element the next process-wide id the first time; the id also becomes
    // the user data, which the callbacks receive.
    void AssignId();
    // The first form up the parent chain, or none.
    GUIElement* OwningForm();
    // As OwningForm, starting at the main form when there is no parent, and falling
    // back to the main form.
    GUIElement* OwningFormOrMain();
    // The form the element is drawn on and belongs to: the element itself when it is
    // a form, else OwningForm.
    Form* HostForm();
    // Where (x, y), given in the parent's coordinates, lies on the form's window.
    Point FormOffset(int x, int y);

    GUIElement* GetParent() const { return parent_; }
    void SetParent(GUIElement* p) { parent_ = p; }
    uint32_t GetId() const { return id_; }
    const std::string& GetKind() const { return kind_; }
    bool IsKind(const char* kind) const { return kind_ == kind; }
    void* GetOwner() const { return owner_; }
    bool HasFocus() const { return hasFocus_; }
    // Whether a left press on the element gives it the keyboard focus: a tab stop
    // does, unless it takes the focus from Tab alone (a link).
    bool TakesFocusOnClick() { return IsTabStop() && focusOnClick_; }
    // Whether the element shows its focus cue (a button's frame, a link's highlight):
    // while it has the focus, unless a mouse press gave it, as desktop toolkits do.
    bool ShowsFocusCue() const;
    bool IsClosed() const { return closed_; }

    void SetOnLoad(LoadCallback cb) { onLoad_ = cb; }
    void SetOnMouseUp(MouseCallback cb) { onMouseUp_ = cb; }
    void SetOnMouseDown(MouseCallback cb) { onMouseDown_ = cb; }
    void SetOnKeyUp(KeyCallback cb) { onKeyUp_ = cb; }
    void SetOnKeyDown(KeyCallback cb) { onKeyDown_ = cb; }
    void SetOnKeyChar(KeyCharCallback cb) { onKeyChar_ = cb; }
    void SetOnResized(ResizedCallback cb) { onResized_ = cb; }
    void SetOnQueryClose(QueryCloseCallback cb) { onQueryClose_ = cb; }
    void SetOnClosed(ClosedCallback cb) { onClosed_ = cb; }

protected:
    // Deletes every control whose parent is this element (a form or a panel owns what
    // is placed on it), in registry order; one already queued for deletion is left to
    // the queue. Forms are never deleted here.
    void DeleteChildren();

    std::string kind_;
    bool isChild_ = false;
    bool tabStop_ = true;
    bool paintedByForm_ = false;
    bool visible_ = false;
    bool closed_ = false;
    bool markA_ = false;
    bool markB_ = false;
    uint64_t userData_ = 0;
    void* owner_ = nullptr;
    FontSpec font_;
    int width_ = 100;
    int height_ = 50;
    int x_ = 100;
    int y_ = 100;
    bool created_ = false;
    int64_t backColor_ = -1;
    bool enabled_ = true;
    uint32_t id_ = 0;
    std::string tag_;
    std::string text_;
    GUIElement* parent_ = nullptr;
    LoadCallback onLoad_ = nullptr;
    bool loaded_ = false;
    MouseCallback onMouseUp_ = nullptr;
    MouseCallback onMouseDown_ = nullptr;
    KeyCallback onKeyUp_ = nullptr;
    KeyCallback onKeyDown_ = nullptr;
    KeyCharCallback onKeyChar_ = nullptr;
    ResizedCallback onResized_ = nullptr;
    QueryCloseCallback onQueryClose_ = nullptr;
    ClosedCallback onClosed_ = nullptr;
    bool hasFocus_ = false;
    bool focusOnClick_ = true;

private:
    bool deleted_ = false;
};
