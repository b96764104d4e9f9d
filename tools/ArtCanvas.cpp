#include "ArtCanvas.h"

#include <fstream>

namespace {
unsigned char ToByte(float v) { return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }
}  // namespace

void RgbImage::Set(int x, int y, Colour c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    unsigned char* p = &bytes_[static_cast<std::size_t>((y * width_ + x) * 3)];
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
}

Colour RgbImage::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return {};
    }
    const unsigned char* p = &bytes_[static_cast<std::size_t>((y * width_ + x) * 3)];
    return Rgb(p[0], p[1], p[2]);
}

void RgbImage::Fill(int x, int y, int w, int h, Colour c)
{
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            Set(i, j, c);
        }
    }
}

void RgbImage::Blit(const RgbImage& source, int sx, int sy, int w, int h, int x, int y)
{
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            Set(x + i, y + j, source.Get(sx + i, sy + j));
        }
    }
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}
