#pragma once
// Pictures in the display's own pixel layout. The layout is probed once per process
// by drawing a known colour on a form and reading it back; RGB buffers (width x
// height x 3 bytes, red, green, blue, rows top to bottom) are then converted into
// XImages whose pixel arrays the program allocates and frees itself.
#include <X11/Xlib.h>
#include <cstdint>
#include <memory>

class GUIElement;

// The pixel layout learned by the probe; `depth` is 0 until the probe has run.
struct PixelLayout {
    int format = ZPixmap;
    int xoffset = 0;
    int bitmapPad = 0;
    int bitsPerPixel = 0;
    int depth = 0;
    int bitmapBitOrder = 0;
    int ixRosso = 2;  // byte of red within a pixel
    int ixVerde = 1;  // byte of green
    int ixBlu = 0;    // byte of blue
};

// The process-wide layout (read-only outside the probe).
const PixelLayout& DisplayPixelLayout();
// Forgets the probed layout; tests use it to probe another server.
void ResetPixelLayoutForTests();

// Probes the layout on the element's form once; logs a warning per unexpected value.
void ProbePixelFormat(GUIElement* element);

// Converts an RGB buffer to a display image; null when rgb is null or nothing can
// be made. Free the result with FreeDisplayImage.
XImage* MakeDisplayImage(GUIElement* element, const unsigned char* rgb, int width, int height);
void FreeDisplayImage(XImage* image);

// Copies the image into a new pixmap on the element's form; the caller frees it.
Pixmap ImageToPixmap(GUIElement* element, XImage* image);

// Replaces the pixels of `image` whose value is the pixel `key` (the screen's pixel
// for the key colour) by the pixels at the same place of `under`, over w x h pixels.
// Pixel (i, j) of `under` lies over pixel (ox + i, oy + j) of `image`.
void ReplaceKeyColor(XImage* image, const XImage* under, int w, int h, unsigned long key, int ox = 0, int oy = 0);

// Owns a display image and frees it with FreeDisplayImage.
struct DisplayImageDeleter {
    void operator()(XImage* image) const { FreeDisplayImage(image); }
};
using DisplayImagePtr = std::unique_ptr<XImage, DisplayImageDeleter>;
