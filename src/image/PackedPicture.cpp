#include "image/PackedPicture.h"

std::vector<unsigned char> UnpackPicture(int width, int height, const unsigned char* data)
{
    if (width <= 0 || height <= 0 || data == nullptr) {
        return {};
    }
    const unsigned char* palette = data;
    const unsigned char* rows = data + kPackedPaletteBytes;
    const std::size_t rowBytes = PackedRowBytes(width);
    const std::size_t w = static_cast<std::size_t>(width);
    std::vector<unsigned char> rgb(w * static_cast<std::size_t>(height) * 3);

    for (int stored = 0; stored < height; ++stored) {
        const unsigned char* in = rows + static_cast<std::size_t>(stored) * rowBytes;
        // The first stored row is the picture's bottom row.
        unsigned char* out = rgb.data() + static_cast<std::size_t>(height - 1 - stored) * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            const unsigned char pair = in[x / 2];
            const unsigned index = (x % 2 == 0) ? (pair >> 4) : (pair & 0x0F);
            const unsigned char* colour = palette + index * 3;
            out[x * 3 + 0] = colour[0];
            out[x * 3 + 1] = colour[1];
            out[x * 3 + 2] = colour[2];
        }
    }
    return rgb;
}
