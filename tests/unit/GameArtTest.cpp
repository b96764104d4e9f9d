// Checks on the art the build draws: the peg sheet the main form cuts its board from
// and the beep. They read the files from the run directory's Data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSheetWidth = 750;
constexpr int kCellW = 50;
constexpr int kCellH = 40;
constexpr int kHole = 14;
constexpr int kBoardLeft = 3;
constexpr int kBoardRight = 2;
constexpr int kBottom = 4;
constexpr int kBottomRight = 5;
constexpr int kBottomLeft = 6;
// Sheet cell of each peg colour 0..7.
constexpr int kPegCells[8] = {0, 1, 7, 8, 9, 10, 11, 12};

std::vector<unsigned char> ReadData(const std::string& name)
{
    std::ifstream in(std::string(QUORREL_DATA_DIR) + "/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Rgb {
    double r = 0, g = 0, b = 0;
};

class Sheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes_ = ReadData("resources50x40.bin");
        ASSERT_EQ(bytes_.size(), 90000u);
    }

    Rgb Pixel(int cell, int x, int y) const
    {
        const unsigned char* p = &bytes_[static_cast<std::size_t>((y * kSheetWidth + cell * kCellW + x) * 3)];
        return Rgb{double(p[0]), double(p[1]), double(p[2])};
    }

    // Mean colour of the peg's body: a ring clear of the mark in the middle and the rim.
    Rgb Body(int cell) const
    {
        Rgb sum;
        int n = 0;
        for (int y = 0; y < kCellH; ++y) {
            for (int x = 0; x < kCellW; ++x) {
                const double r = std::hypot(x + 0.5 - 25.0, y + 0.5 - 19.5);
                if (r >= 8.5 && r <= 12.5) {
                    const Rgb p = Pixel(cell, x, y);
                    sum.r += p.r, sum.g += p.g, sum.b += p.b;
                    ++n;
                }
            }
        }
        return Rgb{sum.r / n, sum.g / n, sum.b / n};
    }

    // Mean absolute difference between column ax of cell a and column bx of cell b.
    double ColumnDifference(int a, int ax, int b, int bx) const
    {
        double sum = 0;
        for (int y = 0; y < kCellH; ++y) {
            const Rgb p = Pixel(a, ax, y), q = Pixel(b, bx, y);
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
        return sum / (3 * kCellH);
    }

    std::vector<unsigned char> bytes_;
};

double Luma(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

double Linear(double v)
{
    v /= 255;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

using Matrix = std::array<std::array<double, 3>, 3>;
const Matrix kNormal = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
// Full-strength simulations of missing red and missing green cones, in linear RGB.
const Matrix kProtanopia = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
const Matrix kDeuteranopia = {
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};

// CIELAB of a colour as seen through the simulation.
std::array<double, 3> Seen(const Matrix& m, Rgb c)
{
    const double in[3] = {Linear(c.r), Linear(c.g), Linear(c.b)};
    double l[3];
    for (int i = 0; i < 3; ++i) {
        l[i] = std::clamp(m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2], 0.0, 1.0);
    }
    const double X = (0.4124 * l[0] + 0.3576 * l[1] + 0.1805 * l[2]) / 0.9505;
    const double Y = 0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2];
    const double Z = (0.0193 * l[0] + 0.1192 * l[1] + 0.9505 * l[2]) / 1.089;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(Y) - 16, 500 * (f(X) - f(Y)), 200 * (f(Y) - f(Z))};
}

TEST_F(Sheet, PegColoursStayApartInGreyscale)
{
    for (int a = 0; a < 8; ++a) {
        for (int b = a + 1; b < 8; ++b) {
            EXPECT_GE(std::abs(Luma(Body(kPegCells[a])) - Luma(Body(kPegCells[b]))), 16.0)
                << "colours " << a << " and " << b;
        }
    }
}

TEST_F(Sheet, PegColoursStayApartForRedAndGreenWeakSight)
{
    for (const Matrix* m : {&kNormal, &kProtanopia, &kDeuteranopia}) {
        for (int a = 0; a < 8; ++a) {
            for (int b = a + 1; b < 8; ++b) {
                const auto p = Seen(*m, Body(kPegCells[a])), q = Seen(*m, Body(kPegCells[b]));
                EXPECT_GE(std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]), 12.0)
                    << "colours " << a << " and " << b
                    << (m == &kNormal       ? ""
                        : m == &kProtanopia ? " (protanopia)"
                                            : " (deuteranopia)");
            }
        }
    }
}

TEST_F(Sheet, EveryPegCarriesItsOwnMark)
{
    // The mark is what differs strongly from the peg's body inside its face.
    std::array<std::vector<bool>, 8> marks;
    for (int c = 0; c < 8; ++c) {
        const Rgb body = Body(kPegCells[c]);
        for (int y = 12; y < 28; ++y) {
            for (int x = 17; x < 33; ++x) {
                marks[c].push_back(std::abs(Luma(Pixel(kPegCells[c], x, y)) - Luma(body)) > 60);
            }
        }
    }
    for (int a = 0; a < 8; ++a) {
        EXPECT_GE(std::count(marks[a].begin(), marks[a].end(), true), 20) << "colour " << a;
        for (int b = a + 1; b < 8; ++b) {
            int differing = 0;
            for (std::size_t i = 0; i < marks[a].size(); ++i) {
                differing += marks[a][i] != marks[b][i] ? 1 : 0;
            }
            EXPECT_GE(differing, 12) << "marks of colours " << a << " and " << b;
        }
    }
}

TEST_F(Sheet, PegsCoveredPegAndHoleStandOnTheSameRail)
{
    // Their outer columns must match exactly, or the board would show where a peg was set.
    for (int cell : {0, 1, 7, 8, 9, 10, 11, 12, 13}) {
        for (int x : {0, 1, 2, 47, 48, 49}) {
            EXPECT_EQ(ColumnDifference(cell, x, kHole, x), 0.0) << "cell " << cell << " column " << x;
        }
    }
}

TEST_F(Sheet, BoardPiecesJoinWithoutVisibleSeams)
{
    // Across each joint the change must be no larger than a step inside the wood.
    const double inside = ColumnDifference(kHole, 5, kHole, 6) + 6;
    EXPECT_LE(ColumnDifference(kBoardLeft, 49, kHole, 0), inside);
    EXPECT_LE(ColumnDifference(kHole, 49, kHole, 0), inside);
    EXPECT_LE(ColumnDifference(kHole, 49, kBoardRight, 0), inside);
    EXPECT_LE(ColumnDifference(kBottomLeft, 49, kBottom, 0), inside);
    EXPECT_LE(ColumnDifference(kBottom, 49, kBottom, 0), inside);
    EXPECT_LE(ColumnDifference(kBottom, 49, kBottomRight, 0), inside);
}

TEST_F(Sheet, CoveredPegIsUnlikeEveryColour)
{
    for (int c = 0; c < 8; ++c) {
        const auto p = Seen(kNormal, Body(13)), q = Seen(kNormal, Body(kPegCells[c]));
        EXPECT_GE(std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]), 12.0) << "colour " << c;
    }
}

std::uint32_t Little(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    }
    return v;
}

TEST(Beep, IsAShortSoftMonoPcmSoundThatStartsAndEndsInSilence)
{
    const std::vector<unsigned char> wav = ReadData("beep.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Little(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(Little(wav, 20, 2), 1u);   // PCM
    EXPECT_EQ(Little(wav, 22, 2), 1u);   // mono
    EXPECT_EQ(Little(wav, 34, 2), 16u);  // bits per sample
    const std::uint32_t rate = Little(wav, 24, 4);
    const std::uint32_t dataBytes = Little(wav, 40, 4);
    ASSERT_EQ(dataBytes + 44, wav.size());
    const double seconds = double(dataBytes) / 2 / rate;
    EXPECT_GT(seconds, 0.05);
    EXPECT_LT(seconds, 0.3);

    int peak = 0;
    const std::size_t samples = dataBytes / 2;
    for (std::size_t i = 0; i < samples; ++i) {
        peak = std::max(peak, std::abs(int(static_cast<std::int16_t>(Little(wav, 44 + 2 * i, 2)))));
    }
    EXPECT_GT(peak, 3000);
    EXPECT_LT(peak, 16384);
    EXPECT_LT(std::abs(int(static_cast<std::int16_t>(Little(wav, 44, 2)))), 200);
    EXPECT_LT(std::abs(int(static_cast<std::int16_t>(Little(wav, 44 + 2 * (samples - 1), 2)))), 200);
}

}  // namespace
