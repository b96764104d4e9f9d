// The packed-picture unpacker on any size and any bytes. The first four input bytes
// give the width and height (each -8..247), the rest is the picture, cut or padded
// with zeros to exactly the size the format asks for and kept in a buffer of just
// that size, so that reading one byte too far is caught. The result is compared
// with a slow decoding written from the format's description.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/PackedPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4) return 0;
    const int width = static_cast<int>(data[0] | (data[1] & 0x0F) << 8) % 256 - 8;
    const int height = static_cast<int>(data[2] | (data[3] & 0x0F) << 8) % 256 - 8;
    const size_t need = PackedPictureBytes(width, height);
    const bool empty = width <= 0 || height <= 0;

    // A zero-size picture must not be read at all: hand it a buffer of no bytes.
    const size_t bytes = empty ? 0 : need;
    unsigned char* packed = static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1));
    const size_t copy = size - 4 < bytes ? size - 4 : bytes;
    if (copy) std::memcpy(packed, data + 4, copy);
    if (bytes > copy) std::memset(packed + copy, 0, bytes - copy);

    const std::vector<unsigned char> rgb = UnpackPicture(width, height, empty ? packed + 1 : packed);
    if (empty) {
        if (!rgb.empty()) std::abort();
        std::free(packed);
        return 0;
    }
    if (rgb.size() != static_cast<size_t>(width) * height * 3) std::abort();
    const size_t rowBytes = (static_cast<size_t>(width) + 1) / 2;
    for (int y = 0; y < height; ++y) {
        // The picture's top row is the last one stored.
        const unsigned char* row = packed + kPackedPaletteBytes + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const unsigned index = x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
            const unsigned char* want = packed + index * 3;
            const unsigned char* got = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            if (std::memcmp(want, got, 3) != 0) {
                std::fprintf(stderr, "pixel (%d, %d) of %d x %d is wrong\n", x, y, width, height);
                std::abort();
            }
        }
    }
    std::free(packed);
    return 0;
}
