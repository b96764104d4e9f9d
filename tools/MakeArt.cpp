// The art tool: run by the build, it draws every picture and sound of the game from
// code and writes them where the program and its build expect them.
//
//   MakeArt <data dir> <generated source> <tool output dir>
//
// data dir receives resources50x40.bin and beep.wav; the generated source holds the
// packed banner and about pictures and the window icons; the tool output dir receives
// the icons.
#include "ArtCanvas.h"
#include "BeepSound.h"
#include "PackedArt.h"
#include "PegArt.h"
#include "PngWriter.h"

#include "image/PackedPicture.h"

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

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

    bool ok = WriteBytes((dataDir / "resources50x40.bin").string(), sheet.Bytes());
    ok = WriteBytes((dataDir / "beep.wav").string(), MakeBeepWav()) && ok;
    ok = WriteText(source.string(), generated) && ok;
    for (int size : {48, 128, 256})
        ok = WritePngRgba((outDir / ("quorrel-" + std::to_string(size) + ".png")).string(), size, size,
                          MakeIconRgba(size)) &&
             ok;
    if (!ok) {
        std::fprintf(stderr, "MakeArt: could not write every output\n");
        return 1;
    }
    return 0;
}
