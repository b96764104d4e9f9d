#include "image/DisplayImage.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/Log.h"
#include "app/ScreenConnection.h"
#include "app/StartPhases.h"
#include "gui/ColorTranslator.h"
#include "gui/DrawContext.h"
#include "gui/Form.h"

namespace {
Form* FormOf(GUIElement* element) { return element ? element->HostForm() : nullptr; }
}  // namespace

XImage* MakeDisplayImage(GUIElement* element, const unsigned char* rgb, int width, int height)
{
    Form* form = FormOf(element);
    if (!rgb || !form || !form->GetDisplay() || width <= 0 || height <= 0) return nullptr;
    // The first conversion probes the pixel layout; a start charges that to its font and probe.
    const StartPhases::Phase left = StartPhases::Enter(StartPhases::kFontAndProbe);
    ProbePixelFormat(form);
    StartPhases::Enter(left);
    const ColorTranslator* colors = form->GetScreen()->GetColors();
    if (DisplayPixelLayout().depth == 0 || !colors) return nullptr;

    // The image takes the layout of the form's own screen, which is what the probe
    // finds there; the colours go through that screen's translation.
    const int bitsPerPixel = colors->BitsPerPixel();
    const int padBytes = std::max(1, colors->ScanlinePad() / 8);
    const int rowBytes = (width * bitsPerPixel + 7) / 8;
    int stride = rowBytes;
    if (rowBytes % padBytes != 0) {
        stride = (rowBytes / padBytes + 1) * padBytes;
        WriteLog("WARNING img width: " + std::to_string(width) +
                 " - bytes_per_line_Pad != bytes_per_line: " + std::to_string(stride) + " " + std::to_string(rowBytes));
    }

    // Whole-byte pixels are written byte for byte below; only padding needs zeroing.
    const size_t bytes = static_cast<size_t>(stride) * height;
    auto* data = new unsigned char[bytes];
    const bool wholeBytes = bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (stride != rowBytes || !wholeBytes) std::memset(data, 0, bytes);
    XImage* image = XCreateImage(form->GetDisplay(), colors->GetVisual(), static_cast<unsigned>(colors->Depth()),
                                 ZPixmap, 0, reinterpret_cast<char*>(data), static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), padBytes * 8, stride);
    if (!image) {
        delete[] data;
        return nullptr;
    }
    colors->WriteImage(image, rgb, width, height);
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
    DrawContext dc(form);
    return dc.ImageToPixmap(image);
}
