#pragma once
#include <string>
// The peg sheet "Data/resources50x40.bin": a strip of fifteen 50 x 40 pictures as
// one 750 x 40 RGB buffer, and which picture shows what on the board.
#include <vector>

class PegSheet {
public:
    static constexpr const char* kPath = "Data/resources50x40.bin";
    static constexpr int kWidth = 750;
    static constexpr int kHeight = 40;
    static constexpr int kCellWidth = 50;  // picture n is the cell at x = 50 n
    static constexpr int kCellHeight = 40;
    static constexpr int kBytes = kWidth * kHeight * 3;
    static constexpr int kCovered = 13;  // a covered code peg
    static constexpr int kHole = 14;     // an empty hole of a guess row

    // Reads the sheet. A missing file leaves it empty; so does a short one, which the
    // frames could not read as a whole sheet; bytes past a full sheet are ignored.
    // Each case is logged.
    void Load();
    // The sheet for the image frames, or null when none was loaded.
    const unsigned char* Data() const { return data_.empty() ? nullptr : data_.data(); }

    // The picture showing colour value 0..8 (8 = covered), or -1 for another value.
    static int ColourPicture(int colour);
    // What the player is told when the sheet cannot be read: the folder the game
    // looked in, as an absolute path.
    static std::string MissingText();
    // The piece of the board at row 1..11 and column 1..6: the left and right edge
    // pieces, a hole, and along row 11 the bottom pieces.
    static int BoardPicture(int row, int column);

private:
    std::vector<unsigned char> data_;
};
