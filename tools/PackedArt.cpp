#include "PackedArt.h"

#include "PixelFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

class IndexCanvas {
public:
    IndexCanvas(IndexedPicture& picture) : p_(picture) {}
    void Set(int x, int y, int index)
    {
        if (x >= 0 && y >= 0 && x < p_.width && y < p_.height) {
            p_.pixels[static_cast<std::size_t>(y * p_.width + x)] = static_cast<unsigned char>(index);
        }
    }
    void Fill(int x, int y, int w, int h, int index)
    {
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                Set(i, j, index);
            }
        }
    }

private:
    IndexedPicture& p_;
};

IndexedPicture NewPicture(int width, int height, const std::vector<std::array<int, 3>>& colours)
{
    IndexedPicture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(static_cast<std::size_t>(width * height), 0);
    for (std::size_t i = 0; i < colours.size() && i < 16; ++i) {
        for (int k = 0; k < 3; ++k) {
            p.palette[i * 3 + static_cast<std::size_t>(k)] =
                static_cast<unsigned char>(colours[i][static_cast<std::size_t>(k)]);
        }
    }
    return p;
}

// Distance in pixels from (x, y) to text drawn with round strokes, unit pixels per
// glyph pixel, its top-left corner at (left, top).
float TextDistance(const std::string& text, float left, float top, float unit, float x, float y)
{
    float best = 1e9f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const float gx = left + static_cast<float>(i) * (kGlyphWidth + 1) * unit;
        if (x < gx - 3 * unit || x > gx + (kGlyphWidth + 3) * unit) {
            continue;
        }
        best = std::min(best, GlyphStrokeDistance(text[i], (x - gx) / unit, (y - top) / unit) * unit);
    }
    return best;
}

// Crisp one-pixel-per-glyph-pixel text.
void DrawSmallText(IndexCanvas& canvas, const std::string& text, int left, int top, int index)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int col = 0; col < kGlyphWidth; ++col) {
                if (GlyphPixel(text[i], col, row)) {
                    canvas.Set(left + static_cast<int>(i) * (kGlyphWidth + 1) + col, top + row, index);
                }
            }
        }
    }
}

// 4 x 4 ordered dither threshold in (0, 1).
float Bayer(int x, int y)
{
    static constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (kMatrix[y & 3][x & 3] + 0.5f) / 16.0f;
}

// Index among first..first+levels-1 for a shade t in [0, 1], dithered.
int DitherLevel(float t, int x, int y, int first, int levels)
{
    const float v = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(levels - 1);
    const int low = static_cast<int>(v);
    return first + std::min(levels - 1, low + (v - static_cast<float>(low) > Bayer(x, y) ? 1 : 0));
}

}  // namespace

IndexedPicture MakeBannerPicture()
{
    enum {
        Black,
        FrameDark,
        FrameMid,
        FrameLight,
        White,
        Navy,
        BlueDark,
        Blue,
        BlueLight,
        Yellow,
        PaleYellow,
        Gold,
        Green,
        Red,
        Outline,
        FrameShine
    };
    IndexedPicture p = NewPicture(300, 75,
                                  {{0, 0, 0},
                                   {70, 70, 84},
                                   {140, 140, 156},
                                   {200, 200, 214},
                                   {255, 255, 255},
                                   {12, 22, 84},
                                   {22, 48, 140},
                                   {34, 78, 190},
                                   {66, 118, 226},
                                   {255, 214, 32},
                                   {255, 240, 140},
                                   {222, 150, 16},
                                   {0, 146, 70},
                                   {206, 32, 44},
                                   {110, 66, 8},
                                   {236, 236, 244}});
    IndexCanvas canvas(p);
    const int w = p.width, h = p.height;

    // The bevelled frame, ring by ring from the outside in: raised, a flat face, then
    // sunk towards the panel.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int d = std::min({x, y, w - 1 - x, h - 1 - y});
            if (d > 5) continue;
            const bool lit = (y == d || x == d) && !(w - 1 - x == d && y != d) && !(h - 1 - y == d && x != d);
            static constexpr int kLit[6] = {FrameDark, FrameShine, FrameLight, FrameMid, FrameDark, Black};
            static constexpr int kShade[6] = {FrameDark, FrameDark, FrameMid, FrameMid, FrameLight, Black};
            canvas.Set(x, y, lit ? kLit[d] : kShade[d]);
        }
    }

    // Blue panel, brightest near the top, with a faint sheen across.
    for (int y = 6; y < h - 6; ++y) {
        for (int x = 6; x < w - 6; ++x) {
            const float t =
                1.0f - static_cast<float>(y - 6) / 62.0f * 0.95f + 0.12f * std::sin(static_cast<float>(x) * 0.02f);
            canvas.Set(x, y, DitherLevel(t, x, y, Navy, 4));
        }
    }

    // Title with a dark outline and a drop shadow, shaded pale to gold from top to bottom.
    const std::string title = "QUORREL";
    const float unit = 5.4f, left = 26, top = 10, stroke = 0.62f * unit;
    const float letterHeight = kGlyphHeight * unit;
    for (int y = 6; y < h - 6; ++y) {
        for (int x = 6; x < 266; ++x) {
            const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            const float d = TextDistance(title, left, top, unit, fx, fy);
            if (d < stroke) {
                const float gy = (fy - top) / letterHeight;
                int index = gy < 0.3f ? PaleYellow : gy < 0.68f ? Yellow : Gold;
                if (TextDistance(title, left, top, unit, fx, fy - 2) >= stroke) index = White;
                canvas.Set(x, y, index);
            } else if (d < stroke + 1.4f) {
                canvas.Set(x, y, Outline);
            } else if (TextDistance(title, left, top, unit, fx - 3, fy - 3) < stroke + 1.4f) {
                canvas.Set(x, y, Black);
            }
        }
    }
    const std::string subtitle = "CODE BREAKER";
    const int subLeft = 136 - TextWidth(subtitle) / 2;
    DrawSmallText(canvas, subtitle, subLeft + 1, 58, Black);
    DrawSmallText(canvas, subtitle, subLeft, 57, White);

    // The small tricolour strip at the right, outlined against the panel.
    canvas.Fill(271, 15, 17, 45, Black);
    canvas.Fill(272, 16, 5, 43, Green);
    canvas.Fill(277, 16, 5, 43, White);
    canvas.Fill(282, 16, 5, 43, Red);
    return p;
}

IndexedPicture MakeAboutPicture()
{
    enum { Black, White, Green, Yellow, Blue, Red, BlueDark, GreenLight };
    IndexedPicture p = NewPicture(163, 50,
                                  {{0, 0, 0},
                                   {255, 255, 255},
                                   {0, 150, 70},
                                   {255, 214, 32},
                                   {34, 78, 190},
                                   {206, 32, 44},
                                   {20, 44, 130},
                                   {120, 205, 130}});
    IndexCanvas canvas(p);

    // Left: a little grid of white and green blocks, like a row of guesses.
    canvas.Fill(0, 0, 40, 50, BlueDark);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int x = 3 + col * 12, y = 3 + row * 12;
            const bool green = (row + col) % 2 == 0;
            canvas.Fill(x, y, 10, 10, green ? Green : White);
            canvas.Fill(x, y, 10, 1, green ? GreenLight : White);
            canvas.Fill(x, y, 1, 10, green ? GreenLight : White);
            canvas.Fill(x + 1, y + 9, 9, 1, Black);
            canvas.Fill(x + 9, y + 1, 1, 9, Black);
        }
    }

    canvas.Fill(40, 0, 123, 50, BlueDark);
    canvas.Fill(42, 2, 119, 46, Blue);

    const std::string title = "QUORREL";
    const float unit = 2.4f, left = 52, top = 6, stroke = 0.6f * unit;
    for (int y = 2; y < 48; ++y) {
        for (int x = 42; x < 161; ++x) {
            const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
            if (TextDistance(title, left, top, unit, fx, fy) < stroke) {
                canvas.Set(x, y, Yellow);
            } else if (TextDistance(title, left, top, unit, fx - 1.5f, fy - 1.5f) < stroke) {
                canvas.Set(x, y, Black);
            }
        }
    }
    const std::string subtitle = "CODE BREAKER";
    DrawSmallText(canvas, subtitle, 101 - TextWidth(subtitle) / 2, 29, Black);

    canvas.Fill(133, 38, 25, 8, Black);
    canvas.Fill(134, 39, 8, 6, Green);
    canvas.Fill(142, 39, 7, 6, White);
    canvas.Fill(149, 39, 8, 6, Red);
    return p;
}

std::vector<unsigned char> PackPicture(const IndexedPicture& picture)
{
    std::vector<unsigned char> packed(picture.palette.begin(), picture.palette.end());
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; x += 2) {
            const auto at = [&](int px) { return picture.pixels[static_cast<std::size_t>(y * picture.width + px)]; };
            const unsigned char high = at(x);
            const unsigned char low = x + 1 < picture.width ? at(x + 1) : 0;
            packed.push_back(static_cast<unsigned char>((high << 4) | (low & 0x0F)));
        }
    }
    return packed;
}

std::string PackedPictureSource(const std::string& name, const std::string& widthName, const std::string& heightName,
                                const std::vector<unsigned char>& packed)
{
    std::string out = "const unsigned char " + name + "[PackedPictureBytes(" + widthName + ", " + heightName + ")] = {";
    char hex[8];
    for (std::size_t i = 0; i < packed.size(); ++i) {
        out += (i % 16 == 0) ? "\n  " : " ";
        std::snprintf(hex, sizeof hex, "0x%02x,", packed[i]);
        out += hex;
    }
    out += "\n};\n";
    return out;
}
