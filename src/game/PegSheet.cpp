#include "game/PegSheet.h"

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/Log.h"
#include "game/GameRules.h"
#include "game/WholeFile.h"

namespace {
constexpr int kRightPiece = 2;
constexpr int kLeftPiece = 3;
constexpr int kBottomPiece = 4;
constexpr int kBottomRight = 5;
constexpr int kBottomLeft = 6;
constexpr int kBottomRow = 11;
constexpr int kColourPictures[] = {0, 1, 7, 8, 9, 10, 11, 12, PegSheet::kCovered};
}  // namespace

void PegSheet::Load()
{
    // Only the sheet's own bytes are read: whatever follows them is not the frames' business.
    std::int64_t fileLength = 0;
    if (!LoadFileStart(kPath, kBytes, data_, fileLength)) return;
    if (data_.size() != kBytes) {
        WriteLog(std::string(kPath) + ": wrong size " + std::to_string(data_.size()) + ", expected " +
                 std::to_string(kBytes));
        data_.clear();
    } else if (fileLength > kBytes) {
        WriteLog(std::string(kPath) + ": " + std::to_string(fileLength) + " bytes, using the first " +
                 std::to_string(kBytes));
    }
}

int PegSheet::ColourPicture(int colour)
{
    return colour >= 0 && colour <= kCoveredColour ? kColourPictures[colour] : -1;
}

int PegSheet::BoardPicture(int row, int column)
{
    const bool bottom = row == kBottomRow;
    if (column == 1) return bottom ? kBottomLeft : kLeftPiece;
    if (column == 6) return bottom ? kBottomRight : kRightPiece;
    return bottom ? kBottomPiece : kHole;
}

std::string PegSheet::MissingText()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(kPath, error).parent_path();
    return "The pictures of the pegs were not found in " + folder.string() +
           "/. The game plays on, but its pegs and board cannot be shown.";
}
