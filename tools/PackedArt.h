#pragma once
// The banner and about pictures, drawn with 16-colour palettes and packed in the
// program's packed-picture format (see src/image/PackedPicture.h).
#include <array>
#include <string>
#include <vector>

struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::array<unsigned char, 48> palette{};
    std::vector<unsigned char> pixels;  // one palette index per pixel, rows top to bottom
};

IndexedPicture MakeBannerPicture();
IndexedPicture MakeAboutPicture();

// Palette, then two pixels per byte (left pixel in the high nibble), bottom row first.
std::vector<unsigned char> PackPicture(const IndexedPicture& picture);

// C++ source defining one constant array named name with the packed bytes.
std::string PackedPictureSource(const std::string& name, const std::string& widthName, const std::string& heightName,
                                const std::vector<unsigned char>& packed);
