#pragma once
// The game's own colours, as 0xRRGGBB: the main window and the windows it opens
// (the statistics) paint with the same ones.
#include <cstdint>

namespace game_colours {
inline constexpr int64_t kCream = 0xFFFDE5;
inline constexpr int64_t kWhite = 0xFFFFFF;
inline constexpr int64_t kBlack = 0x000000;
inline constexpr int64_t kGoGreen = 0x00AA00;
inline constexpr int64_t kCancelRed = 0xFF0000;
}  // namespace game_colours
