#pragma once
// Small drawing kit of the art tool: float colours, an RGB image, supersampled
// rendering of a shading function, and file writers. Standard library only.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0;
};

constexpr Colour Rgb(int r, int g, int b) { return Colour{r / 255.0f, g / 255.0f, b / 255.0f}; }

inline Colour Mix(Colour a, Colour b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Colour Scale(Colour c, float k) { return Colour{c.r * k, c.g * k, c.b * k}; }

inline Colour Add(Colour a, Colour b) { return Colour{a.r + b.r, a.g + b.g, a.b + b.b}; }

inline float SmoothStep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

inline constexpr float kPi = 3.14159265358979f;

// Deterministic per-point noise in [0, 1): the same point always gives the same value,
// which keeps repeated pieces identical.
inline float Hash(int x, int y)
{
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65536.0f;
}

class RgbImage {
public:
    RgbImage(int width, int height)
        : width_(width), height_(height), bytes_(static_cast<std::size_t>(width * height * 3), 0)
    {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<unsigned char>& Bytes() const { return bytes_; }

    void Set(int x, int y, Colour c);
    Colour Get(int x, int y) const;
    void Fill(int x, int y, int w, int h, Colour c);
    // Copies a w x h region of source at (sx, sy) to (x, y) of this image.
    void Blit(const RgbImage& source, int sx, int sy, int w, int h, int x, int y);

private:
    int width_;
    int height_;
    std::vector<unsigned char> bytes_;
};

// Renders shade(localX, localY) into the w x h region at (x0, y0), averaging
// samples x samples points per pixel; local coordinates run from 0 at the region's
// top-left corner, pixel centres at n + 0.5.
template <class Shader>
void RenderRegion(RgbImage& image, int x0, int y0, int w, int h, int samples, Shader shade)
{
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Colour sum;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = x + (sx + 0.5f) / samples;
                    const float py = y + (sy + 0.5f) / samples;
                    sum = Add(sum, shade(px, py));
                }
            }
            image.Set(x0 + x, y0 + y, Scale(sum, 1.0f / (samples * samples)));
        }
    }
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
