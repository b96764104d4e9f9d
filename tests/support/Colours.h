#pragma once
// Colours the tests look for on the screen, as 0xRRGGBB: the game's cream band and
// the plain colours of its buttons, frames and text.
#include <cstdint>

inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kCream = 0xFFFDE5;
inline constexpr uint32_t kGreen = 0x00AA00;
inline constexpr uint32_t kRed = 0xFF0000;
inline constexpr uint32_t kBlue = 0x0000FF;
inline constexpr uint32_t kGrey = 0x808080;
