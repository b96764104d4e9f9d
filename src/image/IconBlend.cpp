#include "image/IconBlend.h"

IconBlend::IconBlend(const uint32_t* icons, std::size_t length, uint32_t background)
{
    const uint32_t* end = icons + length;
    const uint32_t* largest = nullptr;
    for (const uint32_t* icon = icons; icon + 2 <= end; icon += 2 + static_cast<std::size_t>(icon[0]) * icon[1])
        if (!largest || icon[0] > largest[0]) largest = icon;
    if (!largest) return;
    size_ = static_cast<int>(largest[0]);
    const std::size_t pixels = static_cast<std::size_t>(size_) * size_;
    rgb_.resize(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
        const uint32_t argb = largest[2 + i];
        const uint32_t alpha = argb >> 24;
        for (int c = 0; c < 3; ++c) {
            const uint32_t fore = argb >> (16 - 8 * c) & 0xFF;
            const uint32_t back = background >> (16 - 8 * c) & 0xFF;
            rgb_[i * 3 + c] = static_cast<unsigned char>((fore * alpha + back * (255 - alpha) + 127) / 255);
        }
    }
}
