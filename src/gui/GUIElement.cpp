#include "gui/GUIElement.h"

#include "app/Application.h"
#include "gui/Form.h"

GUIElement::GUIElement(void* owner) : owner_(owner) { Application::RegisterElement(this); }

GUIElement::~GUIElement() = default;

void GUIElement::operator delete(GUIElement* e, std::destroying_delete_t)
{
    if (Application::DeferDeletion(e)) {
        e->deleted_ = true;
        return;
    }
    // The most derived object starts here; the pointer may name a base inside it.
    void* whole = dynamic_cast<void*>(e);
    e->~GUIElement();
    ::operator delete(whole);
}

int GUIElement::GetWidth() { return width_; }
int GUIElement::GetActualWidth() { return width_; }
int GUIElement::GetHeight() { return height_; }
int GUIElement::GetActualHeight() { return height_; }
Point GUIElement::GetPosition() { return Point{x_, y_}; }
Point GUIElement::GetSize() { return Point{width_, height_}; }
Point GUIElement::GetExtent() { return GetSize(); }

void GUIElement::SetSize(int w, int h)
{
    if (w == width_ && h == height_) return;
    width_ = w;
    height_ = h;
    if (created_) ResizeNative();
}

void GUIElement::SetPosition(int x, int y)
{
    x_ = x;
    y_ = y;
    if (created_) MoveNative();
}

void GUIElement::SetPositionClamped(int x, int y) { SetPosition(x < 0 ? 0 : x, y < 0 ? 0 : y); }
void GUIElement::SetPositionPoint(Point p) { SetPosition(p.x, p.y); }

void GUIElement::SetBackColor(int64_t c)
{
    backColor_ = c;
    if (created_) Paint();
}

int64_t GUIElement::GetBackColor() { return backColor_; }

void GUIElement::Show()
{
    if (!created_) Create();
    visible_ = true;
}

void GUIElement::ShowWindow() { Show(); }

void GUIElement::Hide()
{
    if (created_) visible_ = false;
}

bool GUIElement::IsVisible() { return visible_; }
bool GUIElement::IsCreated() { return created_; }
void GUIElement::EmptyHook1() {}
void GUIElement::SetEnabled(bool b) { enabled_ = b; }
bool GUIElement::IsEnabled() { return enabled_; }

void GUIElement::Attach(GUIElement* e)
{
    if (created_ && e) AttachNative(e);
}

void GUIElement::BringToFront()
{
    if (created_) RaiseNative();
}

void GUIElement::Raise() { BringToFront(); }

void GUIElement::SendToBack()
{
    if (created_) LowerNative();
}

void GUIElement::SetTag(const std::string& s) { tag_ = s; }
std::string GUIElement::GetTag() { return tag_; }

void GUIElement::SetFont(const FontSpec& f)
{
    font_ = f;
    if (created_) PropertiesChanged();
}

FontSpec& GUIElement::GetFont() { return font_; }
bool GUIElement::IsTabStop() { return tabStop_; }
bool GUIElement::IsPaintedByForm() { return paintedByForm_; }
bool GUIElement::IsChild() { return isChild_; }

bool GUIElement::HitTest(Point p)
{
    // Widened to 64 bits so that huge sizes cannot overflow the edge sums.
    return created_ && visible_ && x_ <= p.x && int64_t{p.x} <= int64_t{x_} + width_ && y_ <= p.y &&
           int64_t{p.y} <= int64_t{y_} + height_;
}

void GUIElement::SetText(const std::string& s) { text_ = s; }
std::string GUIElement::GetText() { return text_; }
std::string GUIElement::GetValueText() { return GetText(); }

void GUIElement::MouseUp(Point p)
{
    if (onMouseUp_) onMouseUp_(this, userData_, p);
}

void GUIElement::MouseDown(Point p)
{
    if (onMouseDown_) onMouseDown_(this, userData_, p);
}

void GUIElement::DoubleClick(Point) {}
void GUIElement::OtherButtonUp(Point) {}
void GUIElement::OtherButtonDown(Point) {}
void GUIElement::UserHook1(int64_t) {}

void GUIElement::KeyUp(KeySym k)
{
    if (onKeyUp_) onKeyUp_(this, k);
}

void GUIElement::KeyDown(KeySym k)
{
    if (onKeyDown_) onKeyDown_(this, k);
}

bool GUIElement::KeyChar(int c) { return onKeyChar_ ? onKeyChar_(this, c) : true; }

void GUIElement::MouseMove(int, int) {}
void GUIElement::UserHook2() {}
void GUIElement::UserHook3() {}
void GUIElement::SetFocus() { hasFocus_ = true; }
void GUIElement::NotifyMoved() {}

void GUIElement::NotifyResized()
{
    // Re-applying the back colour repaints a created element; classes that handle the
    // colour themselves do so through their own SetBackColor.
    SetBackColor(backColor_);
    if (onResized_) onResized_(this, backColor_);
}

void GUIElement::Paint() {}

bool GUIElement::QueryClose() { return onQueryClose_ ? onQueryClose_(this) : true; }

void GUIElement::NotifyClosed()
{
    if (onClosed_) onClosed_(this);
    closed_ = true;
}

void GUIElement::GotFocus() { hasFocus_ = true; }
bool GUIElement::ShowsFocusCue() const { return hasFocus_ && !Application::FocusByPointer(); }
void GUIElement::LostFocus() { hasFocus_ = false; }
void GUIElement::MouseEnter() {}
void GUIElement::MouseLeave() {}

void GUIElement::Load(uint64_t d)
{
    if (userData_ == 0) userData_ = d;
    if (!loaded_ && onLoad_) onLoad_(this, userData_);
    loaded_ = true;
}

void GUIElement::ApplyBackColor()
{
    if (created_) BackColorNative();
}

bool GUIElement::GetMarkA() { return markA_; }
bool GUIElement::GetMarkB() { return markB_; }

void GUIElement::SetMarkA(bool b)
{
    markA_ = b;
    if (b) markB_ = false;
}

void GUIElement::SetMarkB(bool b)
{
    markB_ = b;
    if (b) markA_ = false;
}

void GUIElement::EmptyHook2() {}
uint64_t& GUIElement::GetUserDataRef() { return userData_; }
void GUIElement::MoveNative() {}
void GUIElement::ResizeNative() {}
void GUIElement::BackColorNative() {}
void GUIElement::RaiseNative() {}
void GUIElement::LowerNative() {}
void GUIElement::AttachNative(GUIElement*) {}
void GUIElement::PropertiesChanged() {}
void GUIElement::Describe(AccessibleNode&) {}
bool GUIElement::DoAccessibleAction(int) { return false; }

void GUIElement::AssignId()
{
    if (id_ == 0) {
        id_ = Application::NextId();
        userData_ = id_;
    }
    if (created_) PropertiesChanged();
}

GUIElement* GUIElement::OwningForm()
{
    for (GUIElement* e = parent_; e; e = e->parent_)
        if (e->IsKind(kKindForm)) return e;
    return nullptr;
}

Form* GUIElement::HostForm() { return static_cast<Form*>(IsKind(kKindForm) ? this : OwningForm()); }

void GUIElement::DeleteChildren()
{
    // The registry is searched again after each delete: deleting a panel frees what
    // sits on it as well.
    for (;;) {
        GUIElement* next = nullptr;
        for (GUIElement* e : Application::Elements()) {
            if (e->IsChild() && e->GetParent() == this && !e->IsDeleted()) {
                next = e;
                break;
            }
        }
        if (!next) return;
        delete next;
    }
}

GUIElement* GUIElement::OwningFormOrMain()
{
    GUIElement* start = parent_ ? parent_ : Application::MainForm();
    for (GUIElement* e = start; e; e = e->parent_)
        if (e->IsKind(kKindForm)) return e;
    return Application::MainForm();
}

Point GUIElement::FormOffset(int x, int y)
{
    for (GUIElement* e = parent_; e && !e->IsKind(kKindForm); e = e->parent_) {
        Point p = e->GetPosition();
        x += p.x;
        y += p.y;
    }
    return Point{x, y};
}
