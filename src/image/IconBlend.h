#pragma once
// The largest picture of a window-icon list blended over a solid colour, for window
// managers that read only the icon pixmap of the hints and show no transparency.
#include <cstddef>
#include <cstdint>
#include <vector>

class IconBlend {
public:
    // `icons` is a window-icon list as the window manager reads it: for each size
    // the width, the height and then width x height ARGB pixels. `background` is
    // 0xRRGGBB.
    IconBlend(const uint32_t* icons, std::size_t length, uint32_t background);

    // The width and height of the square picture; 0 when the list holds none.
    int Size() const { return size_; }
    // Size x Size pixels as red, green, blue bytes, rows top to bottom.
    const std::vector<unsigned char>& Rgb() const { return rgb_; }

private:
    int size_ = 0;
    std::vector<unsigned char> rgb_;
};
