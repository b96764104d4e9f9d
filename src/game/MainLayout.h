#pragma once
// Where the main window's own drawing and its left-hand controls stand, in form
// pixels: the numbers stand here once.
#include "game/PegSheet.h"

namespace main_layout {
// The code row and the input row on the left: pegs one pixel apart.
constexpr int kPegRowX = 55;
constexpr int kPegPitch = PegSheet::kCellWidth + 1;
constexpr int kCodeRowY = 190;
constexpr int kInputRowY = 241;
constexpr int PegX(int k) { return kPegRowX + kPegPitch * k; }

constexpr int kTimerInterval = 400;

// The current-peg mark: a bar under the input peg, on the cream band above GO.
constexpr int kMarkInsetX = 5;
constexpr int kMarkY = 285;
constexpr int kMarkWidth = 40;
constexpr int kMarkHeight = 5;
}  // namespace main_layout
