#include "image/DisplayImage.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <string>

#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"
#include "image/ServerImage.h"

namespace {
PixelLayout layout;

constexpr uint32_t kProbeColor = 0xCF3B76;
constexpr unsigned char kProbeRed = 207, kProbeGreen = 59, kProbeBlue = 118;

Form* FormOf(GUIElement* element)
{
    if (!element) return nullptr;
    GUIElement* f = element->IsKind(kKindForm) ? element : element->OwningForm();
    return static_cast<Form*>(f);
}

void Warn(const char* text, long value) { WriteLog(std::string(text) + std::to_string(value)); }

// When the window cannot be read back (not viewable yet), the layout is taken from
// the server's description of its pixmap formats instead.
void LayoutFromServer(Display* d, int screen)
{
    layout.depth = DefaultDepth(d, screen);
    layout.format = ZPixmap;
    layout.xoffset = 0;
    layout.bitmapBitOrder = BitmapBitOrder(d);
    layout.bitsPerPixel = 32;
    layout.bitmapPad = 32;
    int count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(d, &count)) {
        for (int i = 0; i < count; ++i) {
            if (formats[i].depth == layout.depth) {
                layout.bitsPerPixel = formats[i].bits_per_pixel;
                layout.bitmapPad = formats[i].scanline_pad;
            }
        }
        XFree(formats);
    }
}

// Where the three colour bytes of the pixel at (x, y) are; null when the pixel has
// too few bytes to hold them at the probed indices.
unsigned char* PixelAt(const XImage* image, int x, int y)
{
    const int bytes = image->bits_per_pixel / 8;
    if (bytes < 1 || std::max({layout.ixRosso, layout.ixVerde, layout.ixBlu}) >= bytes) return nullptr;
    return reinterpret_cast<unsigned char*>(image->data) + static_cast<size_t>(y) * image->bytes_per_line +
           static_cast<size_t>(x) * bytes;
}
}  // namespace

const PixelLayout& DisplayPixelLayout() { return layout; }
void ResetPixelLayoutForTests() { layout = PixelLayout{}; }

void ProbePixelFormat(GUIElement* element)
{
    if (layout.depth != 0) return;
    Form* form = FormOf(element);
    if (!form || !form->GetDisplay() || !form->GetWindow()) return;
    Display* d = form->GetDisplay();

    // Reading an unmapped window is a protocol error (forms build and paint their
    // controls before they are mapped), so only a viewable window is asked.
    XWindowAttributes attrs;
    const bool viewable =
        XGetWindowAttributes(d, form->GetWindow(), &attrs) != 0 && attrs.map_state == IsViewable;
    DrawContext dc(form);
    dc.DrawPoint(0, 0, kProbeColor);
    ServerImage img(viewable ? XGetImage(d, form->GetWindow(), 0, 0, 1, 1, AllPlanes, ZPixmap) : nullptr);
    if (!img) {
        LayoutFromServer(d, form->GetScreen()->GetScreenNumber());
        return;
    }
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

XImage* MakeDisplayImage(GUIElement* element, const unsigned char* rgb, int width, int height)
{
    Form* form = FormOf(element);
    if (!rgb || !form || !form->GetDisplay() || width <= 0 || height <= 0) return nullptr;
    ProbePixelFormat(form);
    if (layout.depth == 0) return nullptr;

    const int pixelBytes = std::max(1, layout.bitsPerPixel / 8);
    const int padBytes = std::max(1, layout.bitmapPad / 8);
    const int rowBytes = width * pixelBytes;
    int stride = rowBytes;
    if (rowBytes % padBytes != 0) {
        stride = (rowBytes / padBytes + 1) * padBytes;
        WriteLog("WARNING img width: " + std::to_string(width) + " - bytes_per_line_Pad != bytes_per_line: " +
                 std::to_string(stride) + " " + std::to_string(rowBytes));
    }

    auto* data = new unsigned char[static_cast<size_t>(stride) * height]();
    // A colour byte whose index lies outside the pixel (a 16- or 8-bit display) is
    // dropped: colours may be wrong there, but nothing is written past a pixel.
    const bool r = layout.ixRosso < pixelBytes, g = layout.ixVerde < pixelBytes, b = layout.ixBlu < pixelBytes;
    const unsigned char* src = rgb;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = data + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x, src += 3) {
            unsigned char* px = row + static_cast<size_t>(x) * pixelBytes;
            if (r) px[layout.ixRosso] = src[0];
            if (g) px[layout.ixVerde] = src[1];
            if (b) px[layout.ixBlu] = src[2];
        }
    }

    Display* d = form->GetDisplay();
    XImage* image = XCreateImage(d, DefaultVisual(d, form->GetScreen()->GetScreenNumber()),
                                 static_cast<unsigned>(layout.depth), layout.format, layout.xoffset,
                                 reinterpret_cast<char*>(data), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), padBytes * 8, stride);
    if (!image) delete[] data;
    return image;
}

void FreeDisplayImage(XImage* image)
{
    if (!image) return;
    delete[] reinterpret_cast<unsigned char*>(image->data);
    image->data = nullptr;
    XFree(image);
}

Pixmap ImageToPixmap(GUIElement* element, XImage* image)
{
    Form* form = FormOf(element);
    if (!form || !image || !form->GetWindow()) return 0;
    Display* d = form->GetDisplay();
    Pixmap pixmap = XCreatePixmap(d, form->GetWindow(), static_cast<unsigned>(image->width),
                                  static_cast<unsigned>(image->height), static_cast<unsigned>(image->depth));
    XGCValues values{};
    GC gc = XCreateGC(d, form->GetWindow(), GCCapStyle | GCJoinStyle, &values);
    if (!gc) {
        WriteLog("Errore XCreateGC");
        return pixmap;
    }
    XPutImage(d, pixmap, gc, image, 0, 0, 0, 0, static_cast<unsigned>(image->width),
              static_cast<unsigned>(image->height));
    XFreeGC(d, gc);
    return pixmap;
}

void ReplaceKeyColor(XImage* image, const XImage* under, int w, int h, uint32_t key, int ox, int oy)
{
    if (ox < 0 || oy < 0) return;
    w = std::min({w, image->width - ox, under->width});
    h = std::min({h, image->height - oy, under->height});
    const unsigned char kr = key >> 16 & 0xFF, kg = key >> 8 & 0xFF, kb = key & 0xFF;
    const bool direct = image->bits_per_pixel == under->bits_per_pixel && PixelAt(image, 0, 0) != nullptr;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (direct) {
                unsigned char* p = PixelAt(image, ox + x, oy + y);
                if (p[layout.ixRosso] != kr || p[layout.ixVerde] != kg || p[layout.ixBlu] != kb) continue;
                const unsigned char* q = PixelAt(under, x, y);
                p[layout.ixRosso] = q[layout.ixRosso];
                p[layout.ixVerde] = q[layout.ixVerde];
                p[layout.ixBlu] = q[layout.ixBlu];
            } else if (XGetPixel(image, ox + x, oy + y) == key) {
                // Layouts the byte indices cannot describe compare whole pixel values.
                XPutPixel(image, ox + x, oy + y, XGetPixel(const_cast<XImage*>(under), x, y));
            }
        }
    }
}
