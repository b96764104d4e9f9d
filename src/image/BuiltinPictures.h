#pragma once
// The pictures the program carries inside itself, in the packed format of
// PackedPicture.h. Their bytes are drawn by the art tool at build time.
#include "image/PackedPicture.h"

#include <cstddef>
#include <cstdint>

// Title banner of the main form: "QUORREL" in yellow and white on a blue panel inside
// a bevelled frame, with a green, white and red strip at the right. Uses all 16 colours.
inline constexpr int kBannerWidth = 300;
inline constexpr int kBannerHeight = 75;
extern const unsigned char kBannerPicture[PackedPictureBytes(kBannerWidth, kBannerHeight)];

// Logo of the about box: white and green blocks, black and yellow lettering on blue,
// a green, white and red strip at the bottom right. Uses 8 colours; the rest are black.
inline constexpr int kAboutWidth = 163;
inline constexpr int kAboutHeight = 50;
extern const unsigned char kAboutPicture[PackedPictureBytes(kAboutWidth, kAboutHeight)];

// The window icon at 16, 32 and 48 pixels, drawn from the same art as the installed
// icons, one after the other in the _NET_WM_ICON layout: width, height, then
// width x height pixels 0xAARRGGBB, rows top to bottom.
extern const uint32_t kWindowIcons[];
extern const std::size_t kWindowIconsLength;
