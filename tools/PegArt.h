#pragma once
// The peg sheet: a strip of 15 cells of 50 x 40 that the main form cuts into pegs,
// holes and board pieces, and the program icons drawn with the same pieces.
#include "ArtCanvas.h"

inline constexpr int kCellWidth = 50;
inline constexpr int kCellHeight = 40;
inline constexpr int kSheetCells = 15;

// Cell numbers of the sheet as the main form uses them.
enum SheetCell {
    kCellPeg0 = 0,
    kCellPeg1 = 1,
    kCellBoardRight = 2,
    kCellBoardLeft = 3,
    kCellBoardBottom = 4,
    kCellBoardBottomRight = 5,
    kCellBoardBottomLeft = 6,
    kCellPeg2 = 7,  // pegs of colours 2 to 7 follow in cells 7 to 12
    kCellCovered = 13,
    kCellHole = 14,
};

// Sheet cell showing a peg of colour 0..7, or the covered peg for 8.
int PegCell(int colour);

// Nominal colour of each of the eight pegs.
Colour PegColour(int colour);

RgbImage MakePegSheet();

// A square icon of size x size: a small board with four pegs. Pixels outside the
// board's rounded outline are black (0, 0, 0) so a converter can key them out.
RgbImage MakeIcon(int size);
// The same icon as RGBA, transparent outside the tile, for the desktop's icon theme.
std::vector<unsigned char> MakeIconRgba(int size);
