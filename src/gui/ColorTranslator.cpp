#include "gui/ColorTranslator.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace {
constexpr int kCubeLevels = 5;   // 0, 63, 127, 191, 255 a channel
constexpr int kRampLevels = 16;  // 0, 17, 34, ... 255; holds the greys the forms use
constexpr int kRampStep = 255 / (kRampLevels - 1);
constexpr bool kHostIsLsbFirst = std::endian::native == std::endian::little;

// 8-bit channel value c scaled to `width` bits, rounded to the nearest.
unsigned long Scale(unsigned c, int width)
{
    if (width <= 0) return 0;
    const unsigned long max = (1ul << width) - 1;
    return (c * max + 127) / 255;
}

unsigned Luminance(unsigned r, unsigned g, unsigned b) { return (299 * r + 587 * g + 114 * b + 500) / 1000; }

unsigned long Distance(unsigned r, unsigned g, unsigned b, unsigned r2, unsigned g2, unsigned b2)
{
    const long dr = static_cast<long>(r) - r2, dg = static_cast<long>(g) - g2, db = static_cast<long>(b) - b2;
    return static_cast<unsigned long>(dr * dr + dg * dg + db * db);
}

// Stores v as a pixel of `bytes` bytes at p, most significant byte first or last.
void StoreBytes(char* p, unsigned long v, int bytes, bool lsbFirst)
{
    for (int i = 0; i < bytes; ++i) p[lsbFirst ? i : bytes - 1 - i] = static_cast<char>(v >> (8 * i) & 0xFF);
}
}  // namespace

ColorTranslator::ColorTranslator(Display* display, int screen)
    : display_(display),
      visual_(DefaultVisual(display, screen)),
      colormap_(DefaultColormap(display, screen)),
      depth_(DefaultDepth(display, screen))
{
    // A DirectColor screen shows a pixel through colormap ramps nobody has set up
    // (cream and white came out black). A TrueColor visual of the same depth shows
    // it as it is; the program's windows then take that visual and its own colormap.
    XVisualInfo trueColor{};
    if (visual_->c_class == DirectColor && XMatchVisualInfo(display, screen, depth_, TrueColor, &trueColor)) {
        visual_ = trueColor.visual;
        colormap_ = XCreateColormap(display, RootWindow(display, screen), visual_, AllocNone);
        ownColormap_ = true;
    }
    int count = 0;
    if (XPixmapFormatValues* formats = XListPixmapFormats(display, &count)) {
        for (int i = 0; i < count; ++i) {
            if (formats[i].depth == depth_) {
                bitsPerPixel_ = formats[i].bits_per_pixel;
                scanlinePad_ = formats[i].scanline_pad;
            }
        }
        XFree(formats);
    }
    switch (visual_->c_class) {
    case TrueColor:
    case DirectColor:
        SetUpMasks();
        break;
    case StaticGray:
        SetUpGray();
        break;
    default:  // PseudoColor, StaticColor, GrayScale
        SetUpCube();
        break;
    }
}

ColorTranslator::~ColorTranslator()
{
    if (!allocated_.empty())
        XFreeColors(display_, colormap_, allocated_.data(), static_cast<int>(allocated_.size()), 0);
    if (ownColormap_) XFreeColormap(display_, colormap_);
}

void ColorTranslator::SetUpMasks()
{
    kind_ = Kind::Masks;
    auto fill = [](std::array<unsigned long, 256>& table, unsigned long mask) {
        const int shift = mask ? std::countr_zero(mask) : 0;
        const int width = std::popcount(mask);
        for (unsigned c = 0; c < 256; ++c) table[c] = Scale(c, width) << shift;
    };
    fill(red_, visual_->red_mask);
    fill(green_, visual_->green_mask);
    fill(blue_, visual_->blue_mask);
    const unsigned long masks[] = {visual_->red_mask, visual_->green_mask, visual_->blue_mask};
    eightBitChannels_ = std::all_of(std::begin(masks), std::end(masks), [](unsigned long m) {
        return std::popcount(m) == 8 && (m >> std::countr_zero(m)) == 0xFF && std::countr_zero(m) <= 24;
    });
    redShift_ = std::countr_zero(visual_->red_mask);
    greenShift_ = std::countr_zero(visual_->green_mask);
    blueShift_ = std::countr_zero(visual_->blue_mask);
}

std::vector<ColorTranslator::Cell> ColorTranslator::ColormapEntries()
{
    const int n = std::clamp(visual_->map_entries, 0, 4096);
    std::vector<XColor> colors(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) colors[static_cast<size_t>(i)].pixel = static_cast<unsigned long>(i);
    if (n > 0) XQueryColors(display_, colormap_, colors.data(), n);
    std::vector<Cell> entries;
    for (const XColor& c : colors)
        entries.push_back(Cell{c.pixel, c.red >> 8u & 0xFFu, c.green >> 8u & 0xFFu, c.blue >> 8u & 0xFFu});
    return entries;
}

void ColorTranslator::Allocate(unsigned r, unsigned g, unsigned b)
{
    XColor want{};
    want.red = static_cast<unsigned short>(r * 257);
    want.green = static_cast<unsigned short>(g * 257);
    want.blue = static_cast<unsigned short>(b * 257);
    want.flags = DoRed | DoGreen | DoBlue;
    // A full colormap refuses quietly; the colour then falls to the nearest cell held.
    // A static colormap only names its closest cell: there is nothing to give back.
    if (XAllocColor(display_, colormap_, &want) && (visual_->c_class == PseudoColor || visual_->c_class == GrayScale))
        allocated_.push_back(want.pixel);
}

std::vector<unsigned long> ColorTranslator::FreeCells()
{
    // Static colormaps have no free cells; the request would only be refused.
    if (visual_->c_class != PseudoColor && visual_->c_class != GrayScale) return {};
    // The largest number of writable cells the server grants at once is the number
    // of free ones: a binary search takes a handful of round trips.
    std::vector<unsigned long> cells(static_cast<size_t>(std::max(visual_->map_entries, 0)));
    std::vector<unsigned long> found;
    unsigned low = 0, high = static_cast<unsigned>(cells.size());
    while (low < high) {
        const unsigned n = (low + high + 1) / 2;
        if (XAllocColorCells(display_, colormap_, False, nullptr, 0, cells.data(), n)) {
            found.assign(cells.begin(), cells.begin() + n);
            XFreeColors(display_, colormap_, cells.data(), static_cast<int>(n), 0);
            low = n;
        } else {
            high = n - 1;
        }
    }
    return found;
}

void ColorTranslator::SetUpCube()
{
    kind_ = Kind::Cube;
    for (int r = 0; r < kCubeLevels; ++r)
        for (int g = 0; g < kCubeLevels; ++g)
            for (int b = 0; b < kCubeLevels; ++b)
                Allocate(static_cast<unsigned>(r * 255 / (kCubeLevels - 1)),
                         static_cast<unsigned>(g * 255 / (kCubeLevels - 1)),
                         static_cast<unsigned>(b * 255 / (kCubeLevels - 1)));
    for (int k = 1; k < kRampLevels - 1; ++k) {
        const unsigned v = static_cast<unsigned>(k * kRampStep);
        Allocate(v, v, v);
    }
    // Every allocated cell is a candidate: the cube, the server's own colours and
    // what other programs share read-only.
    std::vector<unsigned long> free = FreeCells();
    std::sort(free.begin(), free.end());
    for (const Cell& c : ColormapEntries())
        if (!std::binary_search(free.begin(), free.end(), c.pixel)) cells_.push_back(c);
}

void ColorTranslator::SetUpGray()
{
    kind_ = Kind::Gray;
    const std::vector<Cell> entries = ColormapEntries();
    for (unsigned lum = 0; lum < 256; ++lum) {
        unsigned long bestDistance = ~0ul;
        for (const Cell& e : entries) {
            const unsigned shown = Luminance(e.r, e.g, e.b);
            const unsigned long d = shown > lum ? shown - lum : lum - shown;
            if (d < bestDistance) {
                bestDistance = d;
                grayPixel_[lum] = e.pixel;
            }
        }
    }
}

unsigned long ColorTranslator::MappedPixel(unsigned r, unsigned g, unsigned b) const
{
    if (kind_ == Kind::Gray) return grayPixel_[Luminance(r, g, b)];
    const uint32_t rgb = r << 16 | g << 8 | b;
    if (auto it = nearest_.find(rgb); it != nearest_.end()) return it->second;
    unsigned long pixel = 0, bestDistance = ~0ul;
    for (const Cell& c : cells_) {
        const unsigned long d = Distance(r, g, b, c.r, c.g, c.b);
        if (d < bestDistance) {
            bestDistance = d;
            pixel = c.pixel;
        }
    }
    nearest_.emplace(rgb, pixel);
    return pixel;
}

void ColorTranslator::WriteImage(XImage* image, const unsigned char* rgb, int width, int height) const
{
    const int w = std::min(width, image->width), h = std::min(height, image->height);
    const int bpp = image->bits_per_pixel;
    const bool lsbFirst = image->byte_order == LSBFirst;
    const bool hostOrder = lsbFirst == kHostIsLsbFirst;
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = rgb + static_cast<size_t>(y) * width * 3;
        char* row = image->data + static_cast<size_t>(y) * image->bytes_per_line;
        if (bpp == 32 && hostOrder && eightBitChannels_) {
            // The common 24-bit screen: no lookups at all.
            for (int x = 0; x < w; ++x, src += 3) {
                const uint32_t v =
                    uint32_t{src[0]} << redShift_ | uint32_t{src[1]} << greenShift_ | uint32_t{src[2]} << blueShift_;
                std::memcpy(row + static_cast<size_t>(x) * 4, &v, 4);
            }
        } else if (bpp == 32 && hostOrder) {
            for (int x = 0; x < w; ++x, src += 3) {
                const auto v = static_cast<uint32_t>(Pixel(src[0], src[1], src[2]));
                std::memcpy(row + static_cast<size_t>(x) * 4, &v, 4);
            }
        } else if (bpp == 16 && hostOrder) {
            for (int x = 0; x < w; ++x, src += 3) {
                const auto v = static_cast<uint16_t>(Pixel(src[0], src[1], src[2]));
                std::memcpy(row + static_cast<size_t>(x) * 2, &v, 2);
            }
        } else if (bpp % 8 == 0 && bpp >= 8 && bpp <= 32) {
            const int bytes = bpp / 8;
            for (int x = 0; x < w; ++x, src += 3)
                StoreBytes(row + static_cast<size_t>(x) * bytes, Pixel(src[0], src[1], src[2]), bytes, lsbFirst);
        } else {
            // Pixels smaller than a byte: Xlib knows how they are packed.
            for (int x = 0; x < w; ++x, src += 3) XPutPixel(image, x, y, Pixel(src[0], src[1], src[2]));
        }
    }
}
