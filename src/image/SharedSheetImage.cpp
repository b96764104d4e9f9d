#include "image/SharedSheetImage.h"

#include <algorithm>
#include <vector>

#include "gui/Form.h"
#include "image/DisplayImage.h"

namespace {
// The converted sheet and its copy on the server, freed together.
struct SheetOnServer {
    DisplayImagePtr image;
    Display* display = nullptr;
    Pixmap pixmap = 0;
    ~SheetOnServer()
    {
        if (pixmap) XFreePixmap(display, pixmap);
    }
};

// An image belongs to the display it was made for: tests run several servers in turn.
struct Entry {
    const unsigned char* rgb;
    int width;
    int height;
    Display* display;
    std::weak_ptr<XImage> image;
    Pixmap pixmap;
};

// A handful of sheets at most: a list is all the index it needs.
std::vector<Entry>& Entries()
{
    static std::vector<Entry> entries;
    return entries;
}

void DropExpired()
{
    auto& entries = Entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(), [](const Entry& e) { return e.image.expired(); }),
                  entries.end());
}

Display* DisplayOf(GUIElement* element)
{
    if (!element) return nullptr;
    Form* form = element->HostForm();
    return form ? form->GetDisplay() : nullptr;
}
}  // namespace

SharedDisplayImage AcquireSheetImage(GUIElement* element, const unsigned char* rgb, int width, int height)
{
    Display* display = DisplayOf(element);
    if (!rgb || !display) return nullptr;
    DropExpired();
    for (const Entry& e : Entries()) {
        if (e.rgb == rgb && e.width == width && e.height == height && e.display == display) {
            if (SharedDisplayImage image = e.image.lock()) return image;
        }
    }
    XImage* made = MakeDisplayImage(element, rgb, width, height);
    if (!made) return nullptr;
    auto sheet = std::make_shared<SheetOnServer>();
    sheet->image.reset(made);
    sheet->display = display;
    sheet->pixmap = ImageToPixmap(element, made);
    // Holders see the image; the pixmap goes with it when the last one lets go.
    SharedDisplayImage image(sheet, made);
    Entries().push_back(Entry{rgb, width, height, display, image, sheet->pixmap});
    return image;
}

Pixmap SheetPixmapOf(const SharedDisplayImage& image)
{
    if (!image) return 0;
    for (const Entry& e : Entries())
        if (!e.image.expired() && e.image.lock() == image) return e.pixmap;
    return 0;
}

std::size_t LiveSheetImageCount()
{
    DropExpired();
    return Entries().size();
}
