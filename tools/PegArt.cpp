#include "PegArt.h"

#include "PixelFont.h"

#include <cmath>

namespace {

// Colour order follows the rainbow so that cycling a peg walks through hues. Each
// colour sits about 24 grey levels away from its neighbours and stays apart for
// red- and green-weak sight; the mark on every peg carries the colour a second way.
constexpr Colour kPegColours[8] = {
    Rgb(225, 50, 40),    // red
    Rgb(240, 130, 20),   // orange
    Rgb(255, 230, 60),   // yellow
    Rgb(30, 180, 95),    // green
    Rgb(130, 205, 250),  // sky blue
    Rgb(35, 55, 170),    // deep blue
    Rgb(250, 250, 245),  // white
    Rgb(30, 30, 36),     // black
};

enum class Mark { Triangle, Square, Disc, Plus, Diamond, Cross, Star, Ring };

constexpr Mark kPegMarks[8] = {Mark::Triangle, Mark::Square, Mark::Disc, Mark::Plus,
                               Mark::Diamond,  Mark::Cross,  Mark::Star, Mark::Ring};

constexpr Colour kWoodLight = Rgb(132, 86, 52);
constexpr Colour kWoodDark = Rgb(88, 54, 32);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kWhite = Rgb(255, 255, 255);

float Luma(Colour c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

// Walnut with grain running along x. The pattern repeats every cell in both
// directions, so identical pieces side by side and stacked join without a seam.
Colour Wood(float x, float y)
{
    const float u = x / kCellWidth * 2 * kPi;
    const float v = y / kCellHeight * 2 * kPi;
    const float warp = 0.55f * std::sin(u + 0.7f) + 0.25f * std::sin(2 * u + 2.1f);
    float grain = 0.5f + 0.22f * std::sin(3 * v + warp) + 0.12f * std::sin(8 * v + 0.8f * warp + 0.4f) +
                  0.07f * std::sin(17 * v + warp);
    // Fine streaks along the grain, and a little pore noise.
    grain += 0.14f * (Hash(0, static_cast<int>(y * 3)) - 0.5f);
    grain += 0.08f * (Hash(static_cast<int>(x * 2), static_cast<int>(y)) - 0.5f);
    return Mix(kWoodDark, kWoodLight, grain);
}

// The same wood turned upright, for the side stiles of the frame.
Colour WoodUpright(float x, float y)
{
    const float u = x / kCellWidth * 2 * kPi;
    const float v = y / kCellHeight * 2 * kPi;
    float grain =
        0.5f + 0.3f * std::sin(9 * u + 0.8f * std::sin(v + 0.3f)) + 0.12f * std::sin(23 * u + 1.7f * std::sin(v));
    grain += 0.10f * (Hash(static_cast<int>(x), static_cast<int>(y * 2)) - 0.5f);
    return Scale(Mix(kWoodDark, kWoodLight, grain), 1.06f);
}

// Bevel of a band [from, to): lit at its leading edge, shaded at its trailing edge.
Colour Bevel(Colour c, float t, float from, float to)
{
    if (t < from + 1) return Mix(c, kWhite, 0.30f);
    if (t < from + 2) return Mix(c, kWhite, 0.12f);
    if (t >= to - 1) return Mix(c, kBlack, 0.62f);
    if (t >= to - 2) return Mix(c, kBlack, 0.30f);
    return c;
}

// A rail: one board row, lit along its top edge and grooved along its bottom edge.
Colour Rail(float x, float y) { return Bevel(Wood(x, y), y, 0, kCellHeight); }

Colour LeftStile(float x, float y)
{
    if (x < 1) return Mix(WoodUpright(x, y), kBlack, 0.55f);
    return Bevel(WoodUpright(x, y), x, 1, 13);
}

Colour RightStile(float x, float y)
{
    if (x >= 49) return Mix(WoodUpright(x, y), kBlack, 0.55f);
    return Bevel(WoodUpright(x, y), x, 8, 49);
}

// Slot behind a row's answer cell: the white cell covers x 25..49, y 5..19 of the
// piece, so a recessed rim shows around it and it reads as a tab set into the frame.
Colour AnswerSlot(Colour c, float x, float y)
{
    if (x < 20 || y < 3 || y >= 22) return c;
    Colour recess = Mix(c, kBlack, 0.55f);
    if (x < 21.5f || y < 4.5f) recess = Mix(recess, kBlack, 0.35f);
    if (y >= 21) recess = Mix(c, kWhite, 0.18f);
    return recess;
}

// The plinth the rails stand on (board row 11).
Colour Base(float x, float y)
{
    Colour c = Scale(Wood(x, y * 0.5f + 7), 0.92f);
    if (y < 1) return Mix(c, kWhite, 0.35f);
    if (y < 2) return Mix(c, kWhite, 0.15f);
    if (y >= 39) return Mix(c, kBlack, 0.7f);
    if (y >= 34) return Mix(c, kBlack, 0.2f + 0.08f * (y - 34));
    // An engraved line along the plinth.
    if (y >= 9 && y < 10) return Mix(c, kBlack, 0.45f);
    if (y >= 10 && y < 11) return Mix(c, kWhite, 0.15f);
    return c;
}

// Where the stiles stand on the plinth, only their outer edge continues down.
Colour BaseLeftEnd(float x, float y)
{
    Colour c = Base(x, y);
    if (x < 1) return Mix(c, kBlack, 0.55f);
    if (x < 2 && y < 39) return Mix(c, kWhite, 0.3f);
    if (x < 3 && y < 39) return Mix(c, kWhite, 0.12f);
    return c;
}

Colour BaseRightEnd(float x, float y)
{
    Colour c = Base(x, y);
    if (x >= 49) return Mix(c, kBlack, 0.6f);
    if (x >= 47) return Mix(c, kBlack, 0.3f);
    return c;
}

bool InsideMark(Mark mark, float x, float y)
{
    const float r = std::hypot(x, y);
    switch (mark) {
    case Mark::Triangle: {
        const float ty = y - 0.12f;
        return ty <= 0.62f && ty >= -0.95f && std::abs(x) * 1.75f <= ty + 0.95f;
    }
    case Mark::Square:
        return std::abs(x) <= 0.66f && std::abs(y) <= 0.66f;
    case Mark::Disc:
        return r <= 0.76f;
    case Mark::Plus:
        return (std::abs(x) <= 0.27f && std::abs(y) <= 0.92f) || (std::abs(y) <= 0.27f && std::abs(x) <= 0.92f);
    case Mark::Diamond:
        return std::abs(x) + std::abs(y) <= 0.98f;
    case Mark::Cross: {
        const float u = (x + y) * 0.7071f, v = (x - y) * 0.7071f;
        return (std::abs(u) <= 0.25f && std::abs(v) <= 0.95f) || (std::abs(v) <= 0.25f && std::abs(u) <= 0.95f);
    }
    case Mark::Star: {
        // Five points: inside when the radius is below the star's outline at this angle.
        const float a = std::atan2(x, -y);
        const float sector = 2 * kPi / 5;
        float t = std::fmod(a + 10 * sector, sector) / sector;
        t = std::abs(t - 0.5f) * 2;
        const float outer = 1.12f, inner = 0.5f;
        return r <= inner + (outer - inner) * std::pow(t, 2.2f);
    }
    case Mark::Ring:
        return r >= 0.42f && r <= 0.82f;
    }
    return false;
}

// Soft shadow a round object of radius casts, offset down and to the right.
Colour CastShadow(Colour under, float dx, float dy, float radius)
{
    const float d = std::hypot(dx - radius * 0.12f, dy - radius * 0.18f);
    const float shade = 1 - SmoothStep(radius - 2.5f, radius + 2.5f, d);
    return Mix(under, kBlack, 0.55f * shade);
}

// A round peg seen from above: a shallow dome lit from the upper left, with its mark
// on the face. (dx, dy) is the point relative to the peg's centre.
Colour Peg(Colour under, float dx, float dy, float radius, int colour)
{
    under = CastShadow(under, dx, dy, radius);
    const float r = std::hypot(dx, dy);
    if (r > radius) return under;
    const Colour base = kPegColours[colour];
    const float n = r / radius;
    const float slope = n < 0.7f ? 0.25f * n : 0.175f + (n - 0.7f) * 3.2f;
    float nx = r > 0 ? dx / r * slope : 0, ny = r > 0 ? dy / r * slope : 0, nz = 1;
    const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    nx /= len, ny /= len, nz /= len;
    const float lx = -0.45f, ly = -0.6f, lz = 0.66f;
    const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    Colour c = Scale(base, 0.25f + 1.14f * diffuse);
    // Half vector of the light and a viewer straight above.
    const float hx = lx, hy = ly, hz = lz + 1;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    const float specular = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 60.0f);
    c = Mix(c, kWhite, 0.55f * specular);
    // Dark rim so light pegs stand off the board and dark pegs keep a visible edge.
    if (n > 0.93f) c = Mix(c, Luma(base) < 0.3f ? Rgb(120, 120, 130) : kBlack, 0.45f);
    const float markScale = radius * 0.46f;
    if (InsideMark(kPegMarks[colour], dx / markScale, dy / markScale)) {
        const bool lightPeg = Luma(base) > 0.55f;
        c = Mix(c, lightPeg ? Rgb(40, 30, 25) : Rgb(250, 248, 240), 0.88f);
    }
    return c;
}

// A drilled hole: a dark well whose upper wall lies in shadow and whose lower lip
// catches the light.
Colour Hole(Colour under, float dx, float dy, float radius)
{
    const float r = std::hypot(dx, dy);
    if (r > radius + 1.2f) return under;
    if (r > radius) {
        const float lit = (dx + dy) / (r * 1.4142f);
        return Mix(under, lit > 0 ? kWhite : kBlack, 0.3f * std::abs(lit));
    }
    const float depth = SmoothStep(-radius, radius, dy + 0.5f * dx);
    return Mix(Rgb(14, 8, 5), Rgb(60, 38, 24), depth * depth);
}

// The cover over the hidden code: a bronze plate with a question mark.
Colour Cover(Colour under, float dx, float dy)
{
    const float hw = 16, hh = 13, round = 6;
    const float qx = std::max(std::abs(dx) - (hw - round), 0.0f);
    const float qy = std::max(std::abs(dy) - (hh - round), 0.0f);
    const float outside = std::hypot(qx, qy) - round;
    under = Mix(under, kBlack,
                0.5f * (1 - SmoothStep(-1, 3.5f,
                                       std::hypot(std::max(std::abs(dx - 2) - (hw - round), 0.0f),
                                                  std::max(std::abs(dy - 3) - (hh - round), 0.0f)) -
                                           round)));
    if (outside > 0) return under;
    const Colour bronze = Mix(Rgb(150, 112, 58), Rgb(205, 165, 92), SmoothStep(hh, -hh, dy + 0.4f * dx));
    Colour c = bronze;
    if (outside > -2) {
        const float lit = -(dx / hw + dy / hh);
        c = Mix(bronze, lit > 0 ? kWhite : kBlack, std::min(0.5f, 0.35f * std::abs(lit) + 0.1f));
    }
    // The glyph is 5 x 7 units; 2.6 pixels a unit centres it on the plate.
    const float unit = 2.6f;
    const float d = GlyphStrokeDistance('?', dx / unit + 2.5f, dy / unit + 3.5f) * unit;
    if (d < 1.6f)
        c = Mix(c, Rgb(60, 40, 18), 0.85f);
    else if (d < 2.6f && dy + dx * 0.3f > 0)
        c = Mix(c, Rgb(235, 205, 140), 0.35f);
    return c;
}

constexpr float kPegRadius = 14.5f;
constexpr float kHoleRadius = 7.5f;
constexpr float kCentreX = 25.0f;
constexpr float kCentreY = 19.5f;

Colour ShadeCell(int cell, float x, float y)
{
    const float dx = x - kCentreX, dy = y - kCentreY;
    switch (cell) {
    case kCellBoardRight:
        return x < 8 ? Rail(x, y) : AnswerSlot(RightStile(x, y), x, y);
    case kCellBoardLeft:
        return x < 13 ? LeftStile(x, y) : Rail(x, y);
    case kCellBoardBottom:
        return Base(x, y);
    case kCellBoardBottomRight:
        return BaseRightEnd(x, y);
    case kCellBoardBottomLeft:
        return BaseLeftEnd(x, y);
    case kCellCovered:
        return Cover(Rail(x, y), dx, dy);
    case kCellHole:
        return Hole(Rail(x, y), dx, dy, kHoleRadius);
    default:
        break;
    }
    const int colour = cell < kCellPeg2 ? cell : cell - kCellPeg2 + 2;
    return Peg(Rail(x, y), dx, dy, kPegRadius, colour);
}

}  // namespace

int PegCell(int colour)
{
    if (colour < 2) return colour;
    if (colour < 8) return kCellPeg2 + colour - 2;
    return kCellCovered;
}

Colour PegColour(int colour) { return kPegColours[colour & 7]; }

RgbImage MakePegSheet()
{
    RgbImage sheet(kCellWidth * kSheetCells, kCellHeight);
    for (int cell = 0; cell < kSheetCells; ++cell) {
        RenderRegion(sheet, cell * kCellWidth, 0, kCellWidth, kCellHeight, 6,
                     [cell](float x, float y) { return ShadeCell(cell, x, y); });
    }
    return sheet;
}

namespace {
// Distance outside the icon's rounded square, in units of a 100-unit square.
float IconCornerDistance(float x, float y)
{
    return std::hypot(std::max(std::abs(x - 50) - 34, 0.0f), std::max(std::abs(y - 50) - 34, 0.0f));
}
}  // namespace

std::vector<unsigned char> MakeIconRgba(int size)
{
    // The drawn icon fades its edge into black; the alpha is the tile's coverage of each
    // pixel, and dividing it out gives back the colour before that fade.
    const RgbImage icon = MakeIcon(size);
    const float unit = size / 100.0f;
    constexpr int kSamples = 6;
    std::vector<unsigned char> rgba(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int inside = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    if (IconCornerDistance((x + (sx + 0.5f) / kSamples) / unit, (y + (sy + 0.5f) / kSamples) / unit) <=
                        14)
                        ++inside;
            const float alpha = inside / float(kSamples * kSamples);
            const Colour c = icon.Get(x, y);
            unsigned char* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            auto undo = [alpha](float v) {
                return static_cast<unsigned char>(alpha > 0 ? std::min(255.0f, v * 255 / alpha + 0.5f) : 0);
            };
            p[0] = undo(c.r);
            p[1] = undo(c.g);
            p[2] = undo(c.b);
            p[3] = static_cast<unsigned char>(alpha * 255 + 0.5f);
        }
    }
    return rgba;
}

RgbImage MakeIcon(int size)
{
    RgbImage icon(size, size);
    // The icon is drawn on a 100-unit square: a rounded wooden tile with four pegs.
    const float unit = size / 100.0f;
    const int colours[4] = {0, 2, 3, 5};
    RenderRegion(icon, 0, 0, size, size, 6, [&](float px, float py) {
        const float x = px / unit, y = py / unit;
        const float q = IconCornerDistance(x, y);
        if (q > 14) return kBlack;
        Colour c = Wood(x * 1.5f, y * 0.8f);
        if (q > 11.5f)
            c = Mix(c, kBlack, 0.6f);
        else if (q > 9)
            c = Mix(c, (x + y < 100) ? kWhite : kBlack, 0.3f);
        for (int i = 0; i < 4; ++i) {
            const float cx = 29 + 42 * (i % 2), cy = 29 + 42 * (i / 2);
            if (std::abs(x - cx) < 22 && std::abs(y - cy) < 22) {
                c = Peg(c, x - cx, y - cy, 17, colours[i]);
            }
        }
        return c;
    });
    return icon;
}
