#pragma once
// The one way the program draws: a short-lived drawing state over the graphics
// context its form keeps for its window (Form::DrawingGC). Every primitive sets its
// colour, draws straight onto the form's drawing target (the window itself at scale
// 1) and flushes at once; at a larger scale the form shows what changed when the
// context ends. Colours are 0xRRGGBB, translated into the
// screen's own pixels (ColorTranslator); -1 keeps the current colour. Text uses the
// font of the first registered form.
#include <X11/Xlib.h>
#include <cstdint>
#include <string>

class ColorTranslator;
class Form;

class DrawContext {
public:
    // Draws on `form`, or on the first registered form when none is given.
    explicit DrawContext(Form* form = nullptr);
    ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    bool Ok() const { return gc_ != nullptr; }
    Form* GetForm() const { return form_; }

    // Ascent of the program's font + 1.
    int LineHeight();

    void DrawPoint(int x, int y, int64_t color);
    void DrawLineSolid(int x1, int y1, int x2, int y2, int64_t color);
    // style 0 solid, 1 on-off dashed, 2 double dashed.
    void DrawLine(int x1, int y1, int x2, int y2, int style, int64_t color);
    // Outline covering w x h pixels from (x, y).
    void DrawRectangle(int x, int y, int w, int h, int lineWidth, int64_t color);
    // Fills (w - 1) x (h - 1) pixels; a border is drawn over it when borderWidth > 0.
    void FillRectangle(int x, int y, int w, int h, int borderWidth, int64_t borderColor, int64_t fillColor);
    // Fills exactly w x h pixels from (x, y).
    void FillArea(int x, int y, int w, int h, int64_t color);
    // A one-pixel frame around w x h pixels from (x, y): the top and left edges in
    // `topLeft`, then the right and bottom edges in `bottomRight`, which own the
    // corners they share.
    void DrawBevel(int x, int y, int w, int h, int64_t topLeft, int64_t bottomRight);
    // The 3-D frames of the toolkit's edge colours: raised is light above and left,
    // sunken is dark there.
    void DrawRaisedFrame(int x, int y, int w, int h);
    void DrawSunkenFrame(int x, int y, int w, int h);
    // Text fitted to w (cut at word ends), wrapped onto further lines, aligned
    // 0 left, 1 right, otherwise centred, and centred vertically in h.
    void DrawText(int x, int y, int w, int h, const std::string& text, int64_t fg, int64_t bg, int align);
    // How many pixels wide DrawText draws `s` on one line.
    int TextWidth(const std::string& s);

    // Image transfers; w or h of 0 means the image's own size. Transfers are clipped
    // to what the image holds.
    void PutImage(int x, int y, int w, int h, XImage* image);
    void PutImageAt(int x, int y, XImage* image);
    void PutImagePart(int x, int y, int w, int h, XImage* image, int srcX, int srcY);
    // Draws the image with its black pixels replaced by what the window shows there.
    // The image is changed in place.
    void PutImageTransparent(int x, int y, int w, int h, XImage* image);
    void PutImagePartTransparent(int x, int y, int w, int h, XImage* image, int srcX, int srcY);
    // Copies w x h pixels at (srcX, srcY) of a server pixmap of pw x ph to (x, y),
    // clipped to the pixmap like the image transfers.
    void CopyPixmapPart(int x, int y, int w, int h, Pixmap pixmap, int pw, int ph, int srcX, int srcY);
    // A new server pixmap of the form's window holding the whole image, or 0; the
    // caller frees it.
    Pixmap ImageToPixmap(XImage* image);

private:
    void SetForeground(int64_t color);
    void SetBackground(int64_t color);
    // Puts this context's colours into the shared graphics context.
    void UseColors();
    unsigned long PixelOf(int64_t color) const;
    void Flush();
    // Tells the form which pixels a primitive changed.
    void Changed(int x, int y, int w, int h);
    XFontStruct* Font();
    void DrawTextBox(int x, int y, int w, int h, const std::string& text, int64_t fg, int64_t bg, int align,
                     bool centre);

    Form* form_ = nullptr;
    Display* display_ = nullptr;
    Drawable window_ = 0;
    GC gc_ = nullptr;  // the form's; not ours to free
    const ColorTranslator* colors_ = nullptr;
    unsigned long foreground_ = 0;
    unsigned long background_ = 0;
};
