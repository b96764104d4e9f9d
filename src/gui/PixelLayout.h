#pragma once
// The display's pixel layout as the program finds it: once per process a known
// colour is drawn on a form and read back, and every property that differs from the
// 24-bit layout the pictures were first made for is logged. The colours themselves
// are translated by the screen's ColorTranslator; the probe's record and warnings
// tell what the screen is like. Also the transparent transfer's key replacement,
// which works on pixels in that layout.
#include <X11/Xlib.h>

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

// Probes the layout on the element's form once, at the first conversion of a
// picture; logs a warning per unexpected value. The probe's pixel stays at (0, 0)
// until the form paints there.
void ProbePixelFormat(GUIElement* element);

// Replaces the pixels of `image` whose value is the pixel `key` (the screen's pixel
// for the key colour) by the pixels at the same place of `under`, over w x h pixels.
// Pixel (i, j) of `under` lies over pixel (ox + i, oy + j) of `image`.
void ReplaceKeyColor(XImage* image, const XImage* under, int w, int h, unsigned long key, int ox = 0, int oy = 0);
