#pragma once
// A font description and the font loaded for it. The record owns the loaded font
// and frees it on the display it came from.
#include <X11/Xlib.h>
#include <string>

struct FontSpec {
    XFontStruct* font = nullptr;
    bool loaded = false;
    Display* display = nullptr;
    std::string family;
    int size = 14;
    unsigned char bold = 0;
    unsigned char italic = 0;
    unsigned char style1 = 0;
    unsigned char style2 = 0;
    unsigned char extra = 1;
    std::string name;  // the last pattern built by BuildName

    FontSpec() = default;
    ~FontSpec();
    // Copies describe the same font; the loaded font stays with its original record.
    FontSpec(const FontSpec& other);
    FontSpec& operator=(const FontSpec& other);

    // The XLFD pattern for this description, e.g. "-*-*-Medium-R-Normal--14-*".
    const std::string& BuildName();
    // Loads the first font matching the pattern on `d`, freeing any earlier one.
    // Falls back to "fixed" (always present) so that text still shows.
    bool Load(Display* d);
    // The loaded font, loading it on `d` the first time it is asked for.
    XFontStruct* Get(Display* d);
    void Free();
};
