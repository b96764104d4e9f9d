#pragma once
// Turns the program's 0xRRGGBB colours into the pixel values of one screen's default
// visual, so that every colour reaches the screen as that screen's own pixel for it.
//
// - TrueColor and DirectColor, any depth: each channel is scaled from 8 bits to the
//   width of its mask and shifted into place (three table lookups per colour). On a
//   24-bit 8-8-8 screen a colour is its own pixel value.
// - PseudoColor, StaticColor and GrayScale: a 5 x 5 x 5 colour cube and a ramp of
//   16 greys are allocated read-only from the default colormap once (where the
//   colormap is full, a cell falls back to what it already holds), and a colour maps
//   to the nearest colour among the colormap's allocated cells: ours, the server's
//   and those other programs share. The cells are freed with the object.
// - StaticGray: a colour maps by its luminance to the nearest grey of the colormap.
//
// Nothing here talks to the server after construction.
#include <X11/Xlib.h>
#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

class ColorTranslator {
public:
    ColorTranslator(Display* display, int screen);
    ~ColorTranslator();
    ColorTranslator(const ColorTranslator&) = delete;
    ColorTranslator& operator=(const ColorTranslator&) = delete;

    // The screen's pixel value for 0xRRGGBB (bits above 24 are ignored).
    unsigned long Pixel(uint32_t rgb) const
    {
        if (kind_ == Kind::Masks) return red_[rgb >> 16 & 0xFF] | green_[rgb >> 8 & 0xFF] | blue_[rgb & 0xFF];
        return MappedPixel(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
    }
    unsigned long Pixel(unsigned r, unsigned g, unsigned b) const
    {
        if (kind_ == Kind::Masks) return red_[r] | green_[g] | blue_[b];
        return MappedPixel(r, g, b);
    }

    // The visual the program's windows use and its depth, and the pixmap format for
    // that depth. It is the default visual, except on a DirectColor screen that also
    // offers TrueColor at the same depth; windows of a visual other than the
    // default must be made with `GetColormap`.
    Visual* GetVisual() const { return visual_; }
    Colormap GetColormap() const { return colormap_; }
    int Depth() const { return depth_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    int ScanlinePad() const { return scanlinePad_; }

    // Writes width x height pixels of an RGB buffer (three bytes a pixel, no row
    // padding) into `image`, following the image's own bits per pixel, byte order
    // and line length. The image must be at least width x height.
    void WriteImage(XImage* image, const unsigned char* rgb, int width, int height) const;

private:
    enum class Kind { Masks, Cube, Gray };
    struct Cell {
        unsigned long pixel = 0;
        unsigned r = 0, g = 0, b = 0;  // what the cell shows, 8 bits a channel
    };

    void SetUpMasks();
    void SetUpCube();
    void SetUpGray();
    void Allocate(unsigned r, unsigned g, unsigned b);
    // The cells of the colormap nobody has allocated, found by taking them for a moment.
    std::vector<unsigned long> FreeCells();
    std::vector<Cell> ColormapEntries();
    unsigned long MappedPixel(unsigned r, unsigned g, unsigned b) const;

    Display* display_;
    Visual* visual_;
    Colormap colormap_;
    bool ownColormap_ = false;
    Kind kind_ = Kind::Masks;
    int depth_ = 0;
    int bitsPerPixel_ = 32;
    int scanlinePad_ = 32;

    std::array<unsigned long, 256> red_{}, green_{}, blue_{};  // masks: each channel's share of a pixel
    // masks: every channel 8 bits wide, so a colour is its channels shifted into place
    bool eightBitChannels_ = false;
    int redShift_ = 0, greenShift_ = 0, blueShift_ = 0;

    std::vector<Cell> cells_;                                      // cube: the allocated cells to choose from
    mutable std::unordered_map<uint32_t, unsigned long> nearest_;  // cube: colours already mapped
    std::array<unsigned long, 256> grayPixel_{};                   // gray: luminance -> pixel
    std::vector<unsigned long> allocated_;                         // cells to give back
};
