#include "gui/DrawContext.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/Application.h"
#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "gui/ColorTranslator.h"
#include "gui/DefaultColors.h"
#include "gui/Form.h"
#include "gui/PixelLayout.h"
#include "gui/ServerImage.h"
#include "util/StringUtil.h"

namespace {
constexpr uint32_t kKeyColor = 0x000000;  // black shows what lies beneath

Form* FirstForm()
{
    const auto& forms = Application::Forms();
    return forms.empty() ? nullptr : static_cast<Form*>(forms.front());
}

// Clips a transfer of w x h pixels starting at (sx, sy) to a source of sw x sh;
// w or h of 0 means the source's own.
bool ClipToSource(int sw, int sh, int sx, int sy, int& w, int& h)
{
    if (w == 0) w = sw;
    if (h == 0) h = sh;
    if (sx < 0 || sy < 0 || sx >= sw || sy >= sh) return false;
    w = std::min(w, sw - sx);
    h = std::min(h, sh - sy);
    return w > 0 && h > 0;
}

bool ClipToImage(const XImage* image, int sx, int sy, int& w, int& h)
{
    return ClipToSource(image->width, image->height, sx, sy, w, h);
}
}  // namespace

DrawContext::DrawContext(Form* form) : form_(form ? form : FirstForm())
{
    if (form_) {
        display_ = form_->GetDisplay();
        window_ = form_->DrawTarget();
    }
    if (display_ && form_->GetWindow()) gc_ = form_->DrawingGC();
    if (!gc_) {
        WriteLog("Errore nella creazione del GC");
        return;
    }
    colors_ = form_->GetScreen()->GetColors();
    const int screen = form_->GetScreen()->GetScreenNumber();
    foreground_ = WhitePixel(display_, screen);
    background_ = BlackPixel(display_, screen);
    // The window's context is shared by every DrawContext on it: each one starts
    // from the same state. Xlib sends only what differs from the state it knows.
    XSetFillStyle(display_, gc_, FillSolid);
    XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
    if (XFontStruct* f = Font()) XSetFont(display_, gc_, f->fid);
}

DrawContext::~DrawContext()
{
    if (gc_) form_->PresentDrawing();
}

XFontStruct* DrawContext::Font()
{
    Form* first = FirstForm();
    return first && display_ ? first->GetFont().Get(display_) : nullptr;
}

int DrawContext::LineHeight()
{
    XFontStruct* f = Font();
    return (f ? f->ascent : 0) + 1;
}

unsigned long DrawContext::PixelOf(int64_t color) const
{
    const auto rgb = static_cast<uint32_t>(color);
    return colors_ ? colors_->Pixel(rgb) : rgb;
}

void DrawContext::SetForeground(int64_t color)
{
    if (color != -1) foreground_ = PixelOf(color);
    UseColors();
}

void DrawContext::SetBackground(int64_t color)
{
    if (color != -1) background_ = PixelOf(color);
}

void DrawContext::UseColors()
{
    // Another DrawContext on the same window may have drawn since: its colours are not ours.
    XSetForeground(display_, gc_, foreground_);
    XSetBackground(display_, gc_, background_);
}

// A whole-window paint for an exposure reaches the server in one piece when it ends
// (Form::PaintExposed): a hundred flushes, each waking the server, were most of the
// first paint's time. Any other drawing reaches it at once.
void DrawContext::Flush()
{
    if (!form_ || !form_->Exposing()) XFlush(display_);
}

void DrawContext::Changed(int x, int y, int w, int h) { form_->DrawingChanged(x, y, w, h); }

void DrawContext::DrawPoint(int x, int y, int64_t color)
{
    if (!gc_) return;
    SetForeground(color);
    XDrawPoint(display_, window_, gc_, x, y);
    Changed(x, y, 1, 1);
    Flush();
}

void DrawContext::DrawLineSolid(int x1, int y1, int x2, int y2, int64_t color) { DrawLine(x1, y1, x2, y2, 0, color); }

void DrawContext::DrawLine(int x1, int y1, int x2, int y2, int style, int64_t color)
{
    if (!gc_) return;
    SetForeground(color);
    const bool dashed = style == 1 || style == 2;
    if (dashed) XSetLineAttributes(display_, gc_, 1, style == 1 ? LineOnOffDash : LineDoubleDash, CapRound, JoinRound);
    XDrawLine(display_, window_, gc_, x1, y1, x2, y2);
    Changed(std::min(x1, x2) - 1, std::min(y1, y2) - 1, std::abs(x2 - x1) + 3, std::abs(y2 - y1) + 3);
    if (dashed) XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
    Flush();
}

void DrawContext::DrawRectangle(int x, int y, int w, int h, int lineWidth, int64_t color)
{
    if (!gc_ || w < 1 || h < 1) return;
    SetForeground(color);
    if (lineWidth > 1)
        XSetLineAttributes(display_, gc_, static_cast<unsigned>(lineWidth), LineSolid, CapRound, JoinRound);
    XDrawRectangle(display_, window_, gc_, x, y, static_cast<unsigned>(w - 1), static_cast<unsigned>(h - 1));
    Changed(x - lineWidth, y - lineWidth, w + 2 * lineWidth, h + 2 * lineWidth);
    if (lineWidth > 1) XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
    Flush();
}

void DrawContext::FillRectangle(int x, int y, int w, int h, int borderWidth, int64_t borderColor, int64_t fillColor)
{
    if (!gc_) return;
    if (w > 1 && h > 1) {
        SetForeground(fillColor);
        XFillRectangle(display_, window_, gc_, x, y, static_cast<unsigned>(w - 1), static_cast<unsigned>(h - 1));
        Changed(x, y, w - 1, h - 1);
        Flush();
    }
    if (borderWidth > 0) DrawRectangle(x, y, w - 1, h - 1, borderWidth, borderColor);
}

void DrawContext::FillArea(int x, int y, int w, int h, int64_t color)
{
    // FillRectangle leaves its last row and column: one more each way.
    FillRectangle(x, y, w + 1, h + 1, 0, -1, color);
}

void DrawContext::DrawBevel(int x, int y, int w, int h, int64_t topLeft, int64_t bottomRight)
{
    const int right = x + w - 1, bottom = y + h - 1;
    DrawLineSolid(x, y, right, y, topLeft);
    DrawLineSolid(x, bottom, x, y, topLeft);
    DrawLineSolid(right, y, right, bottom, bottomRight);
    DrawLineSolid(x, bottom, right, bottom, bottomRight);
}

void DrawContext::DrawRaisedFrame(int x, int y, int w, int h) { DrawBevel(x, y, w, h, kLightEdge, kDarkEdge); }
void DrawContext::DrawSunkenFrame(int x, int y, int w, int h) { DrawBevel(x, y, w, h, kDarkEdge, kLightEdge); }

int DrawContext::TextWidth(const std::string& s)
{
    XFontStruct* f = Font();
    return f ? XTextWidth(f, s.data(), static_cast<int>(s.size())) : 0;
}

void DrawContext::DrawText(int x, int y, int w, int h, const std::string& text, int64_t fg, int64_t bg, int align)
{
    DrawTextBox(x, y, w, h, text, fg, bg, align, true);
}

void DrawContext::DrawTextBox(int x, int y, int w, int h, const std::string& text, int64_t fg, int64_t bg, int align,
                              bool centre)
{
    if (!gc_) return;
    SetForeground(fg);
    SetBackground(bg);
    XFontStruct* font = Font();
    const int ascent = font ? font->ascent : 0;
    const int L = ascent < 16 ? 15 : ascent + 1;
    if (h <= 9) return;

    const size_t newline = text.find('\n');
    const bool hasRest = newline != std::string::npos;
    std::string line = hasRest ? text.substr(0, newline) : text;

    // Fit the line into w, cutting at the last blank when a word would be split.
    bool cut = false;
    int lineWidth = TextWidth(line);
    if (w >= 1) {
        while (lineWidth > w && !line.empty()) {
            const unsigned char dropped = static_cast<unsigned char>(line.back());
            line.pop_back();
            cut = true;
            if (std::isalpha(dropped)) {
                const size_t blank = line.rfind(' ');
                if (blank != std::string::npos) line.erase(blank);
            }
            lineWidth = TextWidth(line);
        }
    }

    if (bg != -1 && w >= 1) {
        FillArea(x, y, w - 1, h, bg);
        SetForeground(fg);
    }

    auto placed = [&](bool aligned) {
        if (!aligned || w < 1 || lineWidth == 0) return x;
        if (align == 0) return x;
        if (align == 1) return x + w - lineWidth;
        return x + (w - lineWidth) / 2;
    };
    auto draw = [&](int px, int baseline) {
        if (font && !line.empty()) {
            XDrawString(display_, window_, gc_, px, baseline, line.data(), static_cast<int>(line.size()));
            // Glyphs may reach past their advance: a character's width more each side.
            const XCharStruct& m = font->max_bounds;
            Changed(px - m.width, baseline - m.ascent, lineWidth + 2 * m.width, m.ascent + m.descent);
        }
        Flush();
    };

    if (!hasRest && !cut) {
        const int baseline = centre ? y + L + (h - L) / 2 - 1 : y + L - 1;
        draw(placed(true), baseline);
        return;
    }
    draw(placed(!cut), y + L - 1);
    const std::string rest = Trim(text.substr(line.size()));
    // The background box above already covers the rest's box; filling it again would
    // wipe the descenders of the line just drawn.
    const int64_t restBg = w >= 1 ? -1 : bg;
    DrawTextBox(x, y + L, w, h - L, rest, fg, restBg, cut ? 0 : align, false);
}

void DrawContext::PutImage(int x, int y, int w, int h, XImage* image) { PutImagePart(x, y, w, h, image, 0, 0); }

void DrawContext::PutImageAt(int x, int y, XImage* image)
{
    if (image) PutImage(x, y, image->width, image->height, image);
}

void DrawContext::PutImagePart(int x, int y, int w, int h, XImage* image, int srcX, int srcY)
{
    if (!gc_ || !image || !ClipToImage(image, srcX, srcY, w, h)) return;
    XPutImage(display_, window_, gc_, image, srcX, srcY, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
    Changed(x, y, w, h);
    Flush();
}

void DrawContext::CopyPixmapPart(int x, int y, int w, int h, Pixmap pixmap, int pw, int ph, int srcX, int srcY)
{
    if (!gc_ || !pixmap || !ClipToSource(pw, ph, srcX, srcY, w, h)) return;
    XCopyArea(display_, pixmap, window_, gc_, srcX, srcY, static_cast<unsigned>(w), static_cast<unsigned>(h), x, y);
    Changed(x, y, w, h);
    Flush();
}

Pixmap DrawContext::ImageToPixmap(XImage* image)
{
    if (!gc_ || !image) return 0;
    // Same depth as the window, so the window's context draws on it too.
    const Pixmap pixmap = XCreatePixmap(display_, window_, static_cast<unsigned>(image->width),
                                        static_cast<unsigned>(image->height), static_cast<unsigned>(image->depth));
    XPutImage(display_, pixmap, gc_, image, 0, 0, 0, 0, static_cast<unsigned>(image->width),
              static_cast<unsigned>(image->height));
    Flush();
    return pixmap;
}

void DrawContext::PutImageTransparent(int x, int y, int w, int h, XImage* image)
{
    if (!gc_ || !image || !ClipToImage(image, 0, 0, w, h)) return;
    ProbePixelFormat(form_);
    // The window's pixels beneath. Asking for pixels outside the window, or of a
    // window not mapped yet (forms build their controls before mapping), is a
    // protocol error: only the part on a shown window is read, and the rest of the
    // image, which cannot be seen, is drawn as it is.
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, form_->GetWidth()), y1 = std::min(y + h, form_->GetHeight());
    if (form_->IsCreated() && form_->IsVisible() && x0 < x1 && y0 < y1) {
        ServerImage under(XGetImage(display_, window_, x0, y0, static_cast<unsigned>(x1 - x0),
                                    static_cast<unsigned>(y1 - y0), AllPlanes, ZPixmap));
        if (under) ReplaceKeyColor(image, under.get(), x1 - x0, y1 - y0, PixelOf(kKeyColor), x0 - x, y0 - y);
    }
    PutImage(x, y, w, h, image);
}

void DrawContext::PutImagePartTransparent(int x, int y, int w, int h, XImage* image, int srcX, int srcY)
{
    if (!gc_ || !image || !ClipToImage(image, srcX, srcY, w, h)) return;
    // The part is cut out on the client side: the same pixels a round trip through a
    // server pixmap would give, without uploading the whole sheet for every cell.
    ServerImage part(XSubImage(image, srcX, srcY, static_cast<unsigned>(w), static_cast<unsigned>(h)));
    if (part) PutImageTransparent(x, y, w, h, part.get());
}
