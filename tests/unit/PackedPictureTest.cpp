#include "image/BuiltinPictures.h"
#include "image/PackedPicture.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// A packed picture whose palette entry i is (i, 16 * i, 255 - i), so every index can be
// read back from the red byte.
std::vector<unsigned char> Packed(std::vector<unsigned char> rows)
{
    std::vector<unsigned char> data;
    for (int i = 0; i < 16; ++i) {
        data.push_back(static_cast<unsigned char>(i));
        data.push_back(static_cast<unsigned char>(16 * i));
        data.push_back(static_cast<unsigned char>(255 - i));
    }
    data.insert(data.end(), rows.begin(), rows.end());
    return data;
}

// Palette index of each output pixel, rows top to bottom.
std::vector<int> Indices(const std::vector<unsigned char>& rgb)
{
    std::vector<int> out;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        out.push_back(rgb[i]);
    }
    return out;
}

TEST(UnpackPicture, HighNibbleIsTheLeftPixelAndColoursComeFromThePalette)
{
    const std::vector<unsigned char> data = Packed({0xAB});
    const std::vector<unsigned char> rgb = UnpackPicture(2, 1, data.data());
    EXPECT_EQ(rgb, (std::vector<unsigned char>{10, 160, 245, 11, 176, 244}));
}

TEST(UnpackPicture, OddWidthIgnoresTheLastLowNibbleAndRowsKeepTheirByteStride)
{
    // 3 x 2: two bytes per stored row; the 0xF nibbles must never show.
    const std::vector<unsigned char> data = Packed({0x12, 0x3F, 0x45, 0x6F});
    const std::vector<unsigned char> rgb = UnpackPicture(3, 2, data.data());
    ASSERT_EQ(rgb.size(), 18u);
    EXPECT_EQ(Indices(rgb), (std::vector<int>{4, 5, 6, 1, 2, 3}));
}

TEST(UnpackPicture, FirstStoredRowIsTheBottomRow)
{
    const std::vector<unsigned char> data = Packed({0x11, 0x00, 0x00});
    EXPECT_EQ(Indices(UnpackPicture(2, 3, data.data())), (std::vector<int>{0, 0, 0, 0, 1, 1}));
}

TEST(UnpackPicture, EmptyOrNegativeSizesGiveAnEmptyBufferWithoutReading)
{
    EXPECT_TRUE(UnpackPicture(0, 5, nullptr).empty());
    EXPECT_TRUE(UnpackPicture(5, 0, nullptr).empty());
    EXPECT_TRUE(UnpackPicture(-3, 4, nullptr).empty());
    EXPECT_TRUE(UnpackPicture(4, -1, nullptr).empty());
}

TEST(PackedPictureBytes, CountsPaletteAndHalfUsedBytesOfOddRows)
{
    EXPECT_EQ(PackedPictureBytes(3, 1), 50u);
    EXPECT_EQ(PackedPictureBytes(163, 50), 48u + 82u * 50u);
    EXPECT_EQ(PackedPictureBytes(0, 10), 48u);
    EXPECT_EQ(PackedPictureBytes(10, -2), 48u);
}

// Palette indices the pixels of a built-in picture use (the unused low nibble of an
// odd row's last byte does not count).
std::array<bool, 16> UsedIndices(int width, int height, const unsigned char* data)
{
    std::array<bool, 16> used{};
    const std::size_t rowBytes = PackedRowBytes(width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char pair = data[kPackedPaletteBytes + y * rowBytes + static_cast<std::size_t>(x / 2)];
            used[x % 2 == 0 ? pair >> 4 : pair & 0x0F] = true;
        }
    }
    return used;
}

TEST(BuiltinPictures, BannerUsesAllSixteenColours)
{
    const std::array<bool, 16> used = UsedIndices(kBannerWidth, kBannerHeight, kBannerPicture);
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(used[i]) << "palette entry " << i;
    }
}

TEST(BuiltinPictures, AboutUsesEightColoursAndTheOtherEntriesAreBlack)
{
    const std::array<bool, 16> used = UsedIndices(kAboutWidth, kAboutHeight, kAboutPicture);
    int count = 0;
    for (int i = 0; i < 16; ++i) {
        if (used[i]) {
            ++count;
        } else {
            EXPECT_EQ(kAboutPicture[i * 3] | kAboutPicture[i * 3 + 1] | kAboutPicture[i * 3 + 2], 0) << "entry " << i;
        }
    }
    EXPECT_EQ(count, 8);
}

TEST(BuiltinPictures, BannerShowsABluePanelInsideItsFrame)
{
    const std::vector<unsigned char> rgb = UnpackPicture(kBannerWidth, kBannerHeight, kBannerPicture);
    int blue = 0, total = 0;
    for (int y = 8; y < kBannerHeight - 8; ++y) {
        for (int x = 8; x < kBannerWidth - 8; ++x) {
            const unsigned char* p = &rgb[(y * kBannerWidth + x) * 3];
            blue += (p[2] > p[0] + 40 && p[2] > p[1]) ? 1 : 0;
            ++total;
        }
    }
    EXPECT_GT(blue * 3, total);  // the lettering covers much of the panel
}

}  // namespace
