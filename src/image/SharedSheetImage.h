#pragma once
// One display image per picture sheet, shared by every control cut from it. The main
// form lays its whole board out of frames over one 750 x 40 sheet; converting that
// sheet once per frame would cost a 120 KB image each. The first control that paints
// converts the sheet; each holder keeps the image alive, and the last one to let go
// frees it, with its server copy. Nothing needs to be released at shut-down.
#include <X11/Xlib.h>
#include <cstddef>
#include <memory>

class GUIElement;

using SharedDisplayImage = std::shared_ptr<XImage>;

// The display image of the RGB sheet `rgb` (width x height) on the display of
// `element`'s form: the one already made while any holder keeps it, else a new one.
// Null when the sheet cannot be converted. The sheet buffer must stay unchanged and
// alive while the image is held.
SharedDisplayImage AcquireSheetImage(GUIElement* element, const unsigned char* rgb, int width, int height);

// The same sheet uploaded once into a server pixmap, so that opaque cells are copied
// on the server instead of sent as images again and again; 0 when there is none.
// Lives exactly as long as the image.
Pixmap SheetPixmapOf(const SharedDisplayImage& image);

// How many sheet images are alive; tests watch the sharing and the release.
std::size_t LiveSheetImageCount();
