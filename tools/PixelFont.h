#pragma once
// The art tool's own 5 x 7 capital font, used for the lettering of the pictures
// and the mark of the covered peg.
#include <string>

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// True when pixel (col, row) of the glyph for c is set; unknown characters are blank.
bool GlyphPixel(char c, int col, int row);

// Distance from (x, y) to the glyph for c drawn as round strokes joining its pixel
// centres, in glyph pixels; the glyph's top-left corner is at (0, 0) and one glyph
// pixel is one unit. Blank glyphs give a large distance.
float GlyphStrokeDistance(char c, float x, float y);

// Width of text in glyph pixels with one blank column between characters.
inline int TextWidth(const std::string& text)
{
    return text.empty() ? 0 : static_cast<int>(text.size()) * (kGlyphWidth + 1) - 1;
}
