#pragma once
// Pictures in the display's own pixel layout. RGB buffers (width x height x 3 bytes,
// red, green, blue, rows top to bottom) are converted into XImages of the form's
// screen, their colours translated by its ColorTranslator, with pixel arrays the
// program allocates and frees itself. The first conversion probes the layout.
#include <X11/Xlib.h>
#include <memory>

#include "gui/PixelLayout.h"

class GUIElement;

// Converts an RGB buffer to a display image; null when rgb is null or nothing can
// be made. Free the result with FreeDisplayImage.
XImage* MakeDisplayImage(GUIElement* element, const unsigned char* rgb, int width, int height);
void FreeDisplayImage(XImage* image);

// Copies the image into a new pixmap on the element's form; the caller frees it.
Pixmap ImageToPixmap(GUIElement* element, XImage* image);

// Owns a display image and frees it with FreeDisplayImage.
struct DisplayImageDeleter {
    void operator()(XImage* image) const { FreeDisplayImage(image); }
};
using DisplayImagePtr = std::unique_ptr<XImage, DisplayImageDeleter>;
