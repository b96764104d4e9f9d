#include "controls/CellControl.h"

#include "gui/DrawContext.h"
#include "gui/Form.h"

namespace {
constexpr int kCentred = 2;
constexpr int kMarkerLift = 4;  // the marker sits this far above the text box's bottom
constexpr int kImageInset = 3;  // gap between a left or right picture and the box edge
}  // namespace

CellControl::CellControl(Form* owner) : Child(owner, {.kind = kKindCellControl, .painted = true, .keepsUserData = true})
{}

CellControl::~CellControl() = default;

template <typename T>
void CellControl::Change(T& field, const T& value)
{
    if (field == value) return;
    field = value;
    modified_ = true;
    Paint();
}

// ---------------------------------------------------------------- lifecycle

void CellControl::Create()
{
    if (created_) return;
    savedBackColor_ = backColor_;
    modified_ = false;
    Child::Create();
}

void CellControl::SetSize(int w, int h) { GUIElement::SetSize(w, h); }
void CellControl::SetPosition(int x, int y) { GUIElement::SetPosition(x, y); }

// ---------------------------------------------------------------- settings

void CellControl::SetText(const std::string& s) { Change(text_, s); }
void CellControl::SetTextAlign(int align) { Change(textAlign_, align); }
void CellControl::SetMarker(bool on) { Change(marker_, on); }
void CellControl::SetFontName(const std::string& name) { Change(fontName_, name); }
void CellControl::SetFontSize(int size) { Change(fontSize_, size); }
void CellControl::SetForeColor(int64_t color) { Change(foreColor_, color); }
void CellControl::SetBorder(bool on) { Change(border_, on); }
void CellControl::SetStyleFlag1(bool on) { Change(styleFlag1_, on); }
void CellControl::SetStyleFlag2(bool on) { Change(styleFlag2_, on); }
void CellControl::SetStyleFlag3(bool on) { Change(styleFlag3_, on); }

void CellControl::SetHighlight(bool on)
{
    highlight_ = on;
    Paint();
}

void CellControl::SetHighlightForeColor(int64_t color)
{
    highlightFore_ = color;
    Paint();
}

void CellControl::SetHighlightBackColor(int64_t color)
{
    highlightBack_ = color;
    Paint();
}

void CellControl::SetImage(XImage* image, int width, int height, int align)
{
    image_ = image;
    imageWidth_ = width;
    imageHeight_ = height;
    imageAlign_ = align;
    Paint();
}

void CellControl::RestoreBackColor()
{
    if (!created_ || savedBackColor_ < 0 || savedBackColor_ == backColor_) return;
    backColor_ = savedBackColor_;
    modified_ = true;
    Paint();
}

void CellControl::GotFocus()
{
    Child::GotFocus();
    if (created_) Paint();
}

void CellControl::LostFocus()
{
    Child::LostFocus();
    if (created_) Paint();
}

void CellControl::Describe(AccessibleNode& node)
{
    if (text_.empty()) return;
    DescribePlace(node);
    node.name = text_;
    if (tabStop_) {
        node.role = AccessibleRole::Link;
        node.actions = {"jump"};
    } else {
        node.role = AccessibleRole::Label;
        node.text = text_;
        node.Set(AccessibleState::ReadOnly);
        node.Set(AccessibleState::MultiLine, text_.find('\n') != std::string::npos);
    }
}

bool CellControl::DoAccessibleAction(int index)
{
    if (index != 0 || !tabStop_ || !created_) return false;
    MouseDown(Point{});
    return true;
}

// ---------------------------------------------------------------- painting

void CellControl::Draw(DrawContext& dc, Point at)
{
    const int A = dc.LineHeight();
    const int X = at.x;
    const int Y = at.y;
    const int W = width_;
    const int H = height_;

    const int tx = border_ ? X + 1 : X;
    const int ty = border_ ? Y + 1 : Y;
    const int tw = border_ ? W - 2 : W;
    const int th = border_ ? H - 2 : H;

    // A cell without a colour of its own is grey whatever it sits on.
    int64_t back = backColor_ == -1 ? kDefaultBackColor : backColor_;
    int64_t fore = foreColor_;
    if (highlight_ || (tabStop_ && ShowsFocusCue())) {
        back = highlightBack_;
        fore = highlightFore_;
    }

    if (border_) {
        // Sunken: dark above and left, light below and right; on white the light
        // edges would vanish, so they turn dark too.
        dc.DrawBevel(X, Y, W, H, kDarkEdge, back == kLightEdge ? kDarkEdge : kLightEdge);
    }

    // DrawText fills its box with the back colour first, so this paints the face too.
    dc.DrawText(tx, ty, tw, th, text_, fore, back, textAlign_);

    if (marker_) dc.DrawText(tx + tw - A, ty + th - A - kMarkerLift, A, A, "*", fore, back, kCentred);

    if (image_) {
        int ix = tx + kImageInset;
        if (imageAlign_ == 1)
            ix = tx + tw - imageWidth_ - kImageInset;
        else if (imageAlign_ == 2)
            ix = tx + (tw - imageWidth_) / 2;
        dc.PutImage(ix, ty + (th - imageHeight_) / 2, imageWidth_, imageHeight_, image_);
    }
}
