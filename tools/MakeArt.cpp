// The art tool: run by the build, it draws every picture and sound of the game from
// code and writes them where the program and its build expect them.
//
//   MakeArt <data dir> <generated source> <tool output dir>
//
// data dir receives resources50x40.bin and beep.wav; the generated source holds the
// packed banner and about pictures and the window icons; the tool output dir receives the icons and
// previews of the board, banner and about picture for a person to look at.
#include "ArtCanvas.h"
#include "BeepSound.h"
#include "PackedArt.h"
#include "PegArt.h"
#include "PngWriter.h"
#include "PixelFont.h"

#include "image/PackedPicture.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

RgbImage ToImage(int width, int height, const std::vector<unsigned char>& rgb)
{
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
      image.Set(x, y, Rgb(p[0], p[1], p[2]));
    }
  }
  return image;
}

// The packed bytes must come back as the drawn picture through the program's own
// unpacker; a mismatch would mean the program shows something else than was drawn.
bool UnpacksToPicture(const IndexedPicture& picture, const std::vector<unsigned char>& packed)
{
  const std::vector<unsigned char> rgb = UnpackPicture(picture.width, picture.height, packed.data());
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    for (std::size_t k = 0; k < 3; ++k) {
      if (rgb[i * 3 + k] != picture.palette[picture.pixels[i] * 3u + k]) return false;
    }
  }
  return true;
}

void DrawText(RgbImage& image, const std::string& text, int left, int top, Colour colour)
{
  for (std::size_t i = 0; i < text.size(); ++i) {
    for (int row = 0; row < kGlyphHeight; ++row) {
      for (int col = 0; col < kGlyphWidth; ++col) {
        if (GlyphPixel(text[i], col, row)) image.Set(left + static_cast<int>(i) * 6 + col, top + row, colour);
      }
    }
  }
}

// The main form as the program lays it out: banner, code row, input row, and the
// board of ten rows with their answer cells, part-way through a game.
RgbImage MakeBoardPreview(const RgbImage& sheet, const RgbImage& banner)
{
  RgbImage form(800, 600);
  form.Fill(0, 0, 800, 600, Rgb(255, 255, 255));
  form.Fill(15, 0, 300, 600, Rgb(255, 253, 229));
  form.Blit(banner, 0, 0, banner.Width(), banner.Height(), 15, 30);
  const auto cell = [&](int picture, int x, int y) { form.Blit(sheet, picture * kCellWidth, 0, kCellWidth, kCellHeight, x, y); };

  const int input[4] = {2, 5, 6, 7};
  for (int k = 0; k < 4; ++k) {
    cell(kCellCovered, 55 + 51 * k, 190);
    cell(PegCell(input[k]), 55 + 51 * k, 241);
  }
  form.Fill(55, 316, 97, 28, Rgb(0, 170, 0));
  form.Fill(162, 316, 97, 28, Rgb(255, 0, 0));
  DrawText(form, "GO", 97, 326, Rgb(255, 255, 255));
  DrawText(form, "CANCEL", 193, 326, Rgb(255, 255, 255));

  // Guesses from the bottom row up, with made-up answers; the top rows stay empty.
  const int guesses[8][6] = {{0, 1, 2, 3, 1, 1}, {4, 5, 6, 7, 0, 2}, {1, 0, 5, 4, 2, 0}, {3, 3, 6, 6, 0, 1},
                             {7, 2, 4, 1, 1, 2}, {5, 7, 0, 2, 2, 1}, {0, 4, 3, 5, 0, 0}, {6, 1, 7, 3, 1, 3}};
  for (int row = 1; row <= 11; ++row) {
    for (int column = 1; column <= 6; ++column) {
      int picture;
      if (column == 1) picture = row == 11 ? kCellBoardBottomLeft : kCellBoardLeft;
      else if (column == 6) picture = row == 11 ? kCellBoardBottomRight : kCellBoardRight;
      else picture = row == 11 ? kCellBoardBottom : kCellHole;
      const int guess = 10 - row;
      if (row <= 10 && column >= 2 && column <= 5 && guess < 8) picture = PegCell(guesses[guess][column - 2]);
      cell(picture, 375 + 50 * column, 40 + 40 * row);
      if (column == 6 && row <= 10) {
        form.Fill(700, 40 * row + 45, 70, 15, Rgb(255, 255, 255));
        if (guess < 8) {
          const std::string answer = "P " + std::to_string(guesses[guess][4]) + " C " + std::to_string(guesses[guess][5]);
          DrawText(form, answer, 704, 40 * row + 49, Rgb(0, 0, 0));
        }
      }
    }
  }
  return form;
}

// The window icons in the _NET_WM_ICON layout, as C++ source.
std::string WindowIconSource(std::initializer_list<int> sizes)
{
  std::string out = "const uint32_t kWindowIcons[] = {";
  std::size_t count = 0;
  char hex[16];
  auto put = [&](uint32_t v) {
    out += (count++ % 8 == 0) ? "\n  " : " ";
    std::snprintf(hex, sizeof hex, "0x%08x,", static_cast<unsigned>(v));
    out += hex;
  };
  for (int size : sizes) {
    put(static_cast<uint32_t>(size));
    put(static_cast<uint32_t>(size));
    const std::vector<unsigned char> rgba = MakeIconRgba(size);
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
      put(static_cast<uint32_t>(rgba[i + 3]) << 24 | static_cast<uint32_t>(rgba[i]) << 16 |
          static_cast<uint32_t>(rgba[i + 1]) << 8 | rgba[i + 2]);
  }
  out += "\n};\nconst std::size_t kWindowIconsLength = " + std::to_string(count) + ";\n";
  return out;
}

bool WriteText(const std::string& path, const std::string& text)
{
  std::ofstream out(path, std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <data dir> <generated source> <tool output dir>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dataDir = argv[1], source = argv[2], outDir = argv[3];
  std::error_code error;
  std::filesystem::create_directories(dataDir, error);
  std::filesystem::create_directories(outDir, error);
  std::filesystem::create_directories(source.parent_path(), error);

  const RgbImage sheet = MakePegSheet();
  const IndexedPicture banner = MakeBannerPicture();
  const IndexedPicture about = MakeAboutPicture();
  const std::vector<unsigned char> bannerPacked = PackPicture(banner);
  const std::vector<unsigned char> aboutPacked = PackPicture(about);
  if (!UnpacksToPicture(banner, bannerPacked) || !UnpacksToPicture(about, aboutPacked)) {
    std::fprintf(stderr, "MakeArt: packed pictures do not unpack to what was drawn\n");
    return 1;
  }

  const std::string generated =
    "// Made by the art tool (tools/MakeArt.cpp) at build time; edit the tool, not this file.\n"
    "#include \"image/BuiltinPictures.h\"\n\n" +
    PackedPictureSource("kBannerPicture", "kBannerWidth", "kBannerHeight", bannerPacked) + "\n" +
    PackedPictureSource("kAboutPicture", "kAboutWidth", "kAboutHeight", aboutPacked) + "\n" +
    WindowIconSource({16, 32, 48});

  const RgbImage bannerImage = ToImage(banner.width, banner.height, UnpackPicture(banner.width, banner.height, bannerPacked.data()));
  const RgbImage aboutImage = ToImage(about.width, about.height, UnpackPicture(about.width, about.height, aboutPacked.data()));

  bool ok = WriteBytes((dataDir / "resources50x40.bin").string(), sheet.Bytes());
  ok = WriteBytes((dataDir / "beep.wav").string(), MakeBeepWav()) && ok;
  ok = WriteText(source.string(), generated) && ok;
  for (int size : {48, 128, 256})
    ok = WritePngRgba((outDir / ("quorrel-" + std::to_string(size) + ".png")).string(), size, size, MakeIconRgba(size)) && ok;
  ok = WritePpm((outDir / "preview-board.ppm").string(), MakeBoardPreview(sheet, bannerImage)) && ok;
  ok = WritePpm((outDir / "preview-banner.ppm").string(), bannerImage) && ok;
  ok = WritePpm((outDir / "preview-about.ppm").string(), aboutImage) && ok;
  ok = WritePpm((outDir / "preview-sheet.ppm").string(), sheet) && ok;
  if (!ok) {
    std::fprintf(stderr, "MakeArt: could not write every output\n");
    return 1;
  }
  return 0;
}
