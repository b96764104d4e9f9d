#pragma once
// A minimal PNG encoder for the icons: 8-bit RGBA, no filtering, the image data in
// stored (uncompressed) deflate blocks. Icons are small, so size does not matter,
// and the tool needs no compression library.
#include <string>
#include <vector>

// rgba holds width x height x 4 bytes, rows top to bottom. True when written.
bool WritePngRgba(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
