#include "gui/FontSpec.h"

#include "app/Log.h"
#include "app/StartPhases.h"

FontSpec::~FontSpec() { Free(); }

FontSpec::FontSpec(const FontSpec& other)
    : family(other.family),
      size(other.size),
      bold(other.bold),
      italic(other.italic),
      style1(other.style1),
      style2(other.style2),
      extra(other.extra)
{}

FontSpec& FontSpec::operator=(const FontSpec& other)
{
    if (this == &other) return *this;
    // A font loaded for the old description would go on being used for the new one.
    if (family != other.family || size != other.size || bold != other.bold || italic != other.italic ||
        style1 != other.style1 || style2 != other.style2 || extra != other.extra)
        Free();
    family = other.family;
    size = other.size;
    bold = other.bold;
    italic = other.italic;
    style1 = other.style1;
    style2 = other.style2;
    extra = other.extra;
    return *this;
}

const std::string& FontSpec::BuildName()
{
    name = family.empty() ? "-*-*-" : "-" + family + "-";
    name += bold ? "Bold-R-" : "Medium-R-";
    name += italic ? "Italic--" : "Normal--";
    name += std::to_string(size);
    name += "-*";
    return name;
}

bool FontSpec::Load(Display* d)
{
    Free();
    if (!d) return false;
    display = d;  // remembered even on failure so that a missing font is tried once
    const std::string& pattern = BuildName();
    // A pattern ending in "-*" makes Xlib read its whole locale database to find the
    // charset (most of the cost of starting). The program runs in the C locale, whose
    // charset is ISO 8859-1, so asking for it outright finds the same font at once.
    if (pattern.ends_with("-*")) font = XLoadQueryFont(d, (pattern + "-*-*-*-*-ISO8859-1").c_str());
    if (!font) font = XLoadQueryFont(d, pattern.c_str());
    if (!font) {
        WriteLog("XLoadQueryFont failed");
        // Every X server carries "fixed"; captions and counters still show with it.
        font = XLoadQueryFont(d, "fixed");
    }
    if (!font) return false;
    loaded = true;
    return true;
}

XFontStruct* FontSpec::Get(Display* d)
{
    if (display == d) return font;
    const StartPhases::Phase left = StartPhases::Enter(StartPhases::kFontAndProbe);
    Load(d);
    StartPhases::Enter(left);
    return font;
}

void FontSpec::Free()
{
    if (font && display) XFreeFont(display, font);
    font = nullptr;
    display = nullptr;
    loaded = false;
}
