#pragma once
// The packed picture: the compact 16-colour format the built-in pictures are stored in.
// Layout: a 48-byte palette (16 entries of red, green, blue; entry 0 first), then the
// pixel rows, bottom row first, each ceil(width / 2) bytes with two palette indices
// per byte (high nibble = left pixel). Width and height travel beside the array.
#include <cstddef>
#include <vector>

inline constexpr int kPackedPaletteBytes = 48;

// Bytes one packed row takes: two pixels per byte, the last byte half used for odd widths.
constexpr std::size_t PackedRowBytes(int width)
{
    return width > 0 ? static_cast<std::size_t>(width / 2 + width % 2) : 0;
}

// Total size of a packed picture of width x height, palette included.
constexpr std::size_t PackedPictureBytes(int width, int height)
{
    return kPackedPaletteBytes + PackedRowBytes(width) * static_cast<std::size_t>(height > 0 ? height : 0);
}

// Turns a packed picture into an RGB buffer of width x height x 3 bytes (red, green,
// blue, rows top to bottom, no padding). A width or height of 0 or less gives an empty
// buffer without reading data; otherwise data must hold PackedPictureBytes(width, height).
std::vector<unsigned char> UnpackPicture(int width, int height, const unsigned char* data);
