#pragma once
// The colours the toolkit falls back on and draws its 3-D edges with, as 0xRRGGBB.
#include <cstdint>

// A form's window and every control face without a back colour of its own.
inline constexpr int64_t kDefaultBackColor = 0xAAAAAA;
// Captions, texts and titles without a colour of their own.
inline constexpr int64_t kDefaultForeColor = 0x000000;
// The caption of a disabled button.
inline constexpr int64_t kDisabledForeColor = 0x9B9B9B;
// The two sides of a one-pixel bevel or sunken border.
inline constexpr int64_t kLightEdge = 0xFFFFFF;
inline constexpr int64_t kDarkEdge = 0x000000;
