#include "gui/PixelLayout.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cstring>
#include <string>

#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "gui/ColorTranslator.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "gui/ServerImage.h"

namespace {
PixelLayout layout;
// Whether the layout was read back from a drawing: a layout taken from the server's
// description (a window not mapped yet) serves until then, and the probe runs again
// on the first viewable window, which logs what differs.
bool readBack = false;

constexpr uint32_t kProbeColor = 0xCF3B76;
constexpr unsigned char kProbeRed = 207, kProbeGreen = 59, kProbeBlue = 118;

Form* FormOf(GUIElement* element) { return element ? element->HostForm() : nullptr; }

// The value of a pixel of `bytes` bytes at p, least significant byte first or last.
unsigned long LoadBytes(const char* p, int bytes, bool lsbFirst)
{
    unsigned long v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<unsigned long>(static_cast<unsigned char>(p[lsbFirst ? i : bytes - 1 - i])) << (8 * i);
    return v;
}

void Warn(const char* text, long value) { WriteLog(std::string(text) + std::to_string(value)); }

// When the window cannot be read back (not viewable yet), the layout is taken from
// the server's description of its pixmap formats, which the screen's colour
// translator has already looked up.
void LayoutFromServer(Display* d, int screen, const ColorTranslator* colors)
{
    layout.depth = DefaultDepth(d, screen);
    layout.format = ZPixmap;
    layout.xoffset = 0;
    layout.bitmapBitOrder = BitmapBitOrder(d);
    layout.bitsPerPixel = colors ? colors->BitsPerPixel() : 32;
    layout.bitmapPad = colors ? colors->ScanlinePad() : 32;
}

}  // namespace

const PixelLayout& DisplayPixelLayout() { return layout; }
void ResetPixelLayoutForTests()
{
    layout = PixelLayout{};
    readBack = false;
}

void ProbePixelFormat(GUIElement* element)
{
    if (readBack) return;
    Form* form = FormOf(element);
    if (!form || !form->GetDisplay() || !form->GetWindow()) return;
    Display* d = form->GetDisplay();

    // The pixel is read back where it was drawn. A window drawn at a larger scale is
    // drawn in its off-screen picture, which can always be read. A window itself can
    // be read only while it is viewable (else a protocol error; forms build and
    // paint their controls before they are mapped): one being exposed is, one not
    // mapped yet is not, and of the others the server is asked.
    const Drawable target = form->DrawTarget();
    XWindowAttributes attrs;
    const bool readable =
        target != form->GetWindow() || form->Exposing() ||
        (form->IsVisible() && XGetWindowAttributes(d, form->GetWindow(), &attrs) != 0 && attrs.map_state == IsViewable);
    DrawContext dc(form);
    dc.DrawPoint(0, 0, kProbeColor);
    ServerImage img(readable && target ? XGetImage(d, target, 0, 0, 1, 1, AllPlanes, ZPixmap) : nullptr);
    if (!img) {
        if (layout.depth == 0)
            LayoutFromServer(d, form->GetScreen()->GetScreenNumber(), form->GetScreen()->GetColors());
        return;
    }
    readBack = true;
    layout.bitmapPad = img->bitmap_pad;
    layout.bitmapBitOrder = img->bitmap_bit_order;
    layout.bitsPerPixel = img->bits_per_pixel;
    layout.format = img->format;
    layout.xoffset = img->xoffset;
    layout.depth = img->depth;

    if (img->format != ZPixmap) Warn("WARNING img->format: ", img->format);
    if (img->xoffset != 0) Warn("WARNING img->xoffset: ", img->xoffset);
    if (img->bitmap_pad != 32) Warn("WARNING img->bitmap_pad: ", img->bitmap_pad);
    if (img->bitmap_unit != 32) Warn("WARNING img->bitmap_unit: ", img->bitmap_unit);
    if (img->depth != 24) Warn("WARNING img->depth: ", img->depth);
    if (img->bits_per_pixel != 32) Warn("WARNING img->bits_per_pixel: ", img->bits_per_pixel);
    if (img->bitmap_bit_order != 0) Warn("WARNING img->bitmap_bit_order: ", img->bitmap_bit_order);
    if (img->byte_order != 0) Warn("WARNING img->byte_order: ", img->byte_order);

    bool red = false, green = false, blue = false;
    const int bytes = std::min(img->bits_per_pixel / 8, 8);
    const auto* pixel = reinterpret_cast<const unsigned char*>(img->data);
    for (int i = 0; i < bytes; ++i) {
        if (pixel[i] == kProbeRed) {
            layout.ixRosso = i;
            red = true;
        } else if (pixel[i] == kProbeGreen) {
            layout.ixVerde = i;
            green = true;
        } else if (pixel[i] == kProbeBlue) {
            layout.ixBlu = i;
            blue = true;
        }
    }
    const bool all = red && green && blue;
    if (!all || layout.ixRosso != 2) Warn("WARNING MyImage::ixRosso: ", layout.ixRosso);
    if (!all || layout.ixVerde != 1) Warn("WARNING MyImage::ixVerde: ", layout.ixVerde);
    if (!all || layout.ixBlu != 0) Warn("WARNING MyImage::ixBlu: ", layout.ixBlu);
}

void ReplaceKeyColor(XImage* image, const XImage* under, int w, int h, unsigned long key, int ox, int oy)
{
    if (ox < 0 || oy < 0) return;
    w = std::min({w, image->width - ox, under->width});
    h = std::min({h, image->height - oy, under->height});
    // Only the bits of the depth carry colour; a 32-bit pixel's spare byte may hold anything.
    const unsigned long planes = image->depth >= 32 ? ~0ul : (1ul << image->depth) - 1;
    const bool sameLayout = image->bits_per_pixel == under->bits_per_pixel && image->byte_order == under->byte_order;
    const int bytes = image->bits_per_pixel / 8;
    const bool wholeBytes = image->bits_per_pixel % 8 == 0 && bytes >= 1 && bytes <= 4;
    const bool lsbFirst = image->byte_order == LSBFirst;
    auto* under_ = const_cast<XImage*>(under);
    for (int y = 0; y < h; ++y) {
        char* row = image->data + static_cast<size_t>(oy + y) * image->bytes_per_line;
        const char* source = under->data + static_cast<size_t>(y) * under->bytes_per_line;
        for (int x = 0; x < w; ++x) {
            const unsigned long pixel = wholeBytes
                                            ? LoadBytes(row + static_cast<size_t>(ox + x) * bytes, bytes, lsbFirst)
                                            : XGetPixel(image, ox + x, oy + y);
            if ((pixel & planes) != (key & planes)) continue;
            if (sameLayout && wholeBytes)
                std::memcpy(row + static_cast<size_t>(ox + x) * bytes, source + static_cast<size_t>(x) * bytes,
                            static_cast<size_t>(bytes));
            else
                XPutPixel(image, ox + x, oy + y, XGetPixel(under_, x, y));
        }
    }
}
