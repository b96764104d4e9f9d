// One of each control on a test form, saved as controls.png in the build directory
// for a person to look at. The test itself checks only what a glance would: every
// control left its mark where it was placed, and no request was refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "FormWorld.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/ImageFrame.h"
#include "controls/PanelChildren.h"
#include "image/BuiltinPictures.h"
#include "image/MyImage.h"

namespace {
constexpr int kFormW = 780, kFormH = 330;

// The game's peg sheet from the ready data directory, or a made-up one without it.
std::vector<unsigned char> LoadSheet()
{
    std::ifstream in(std::string(QUORREL_DATA_DIR) + "/resources50x40.bin", std::ios::binary);
    std::vector<unsigned char> sheet((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (sheet.size() == 750u * 40 * 3) return sheet;
    return MakeSheet(750, 40);
}

// Writes the pixels as a binary PPM.
bool WritePpm(const WindowPixels& px, int w, int h, const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = px.At(x, y);
            const char rgb[] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
            out.write(rgb, 3);
        }
    return static_cast<bool>(out);
}

TEST(ControlsScreenshot, OneOfEachControlIsDrawnAndSaved)
{
    FormWorld world;
    Form* form = world.MakeForm(kFormW, kFormH);
    const std::vector<unsigned char> sheet = LoadSheet();

    // The whole sheet as fifteen opaque frames, and five transparent ones over green.
    // Owned by the form or the panel they sit on.
    std::vector<ImageFrame*> frames;
    for (int c = 0; c < 15; ++c) {
        auto* f = new ImageFrame(form, sheet.data(), 1, 750, 40, c, 0);
        f->SetSize(50, 40);
        f->SetPosition(10 + c * 50, 10);
        frames.push_back(f);
    }
    PanelChildren green(form);
    green.SetPosition(10, 60);
    green.SetSize(318, 52);
    green.SetBackColor(0x00AA00);
    for (int c = 0; c < 5; ++c) {
        auto* f = new ImageFrame(form, sheet.data(), 1, 750, 40, c + 1, 0);
        f->SetParent(&green);
        f->SetTransparent(true);
        f->SetSize(50, 40);
        f->SetPosition(6 + c * 50, 6);
        frames.push_back(f);
    }

    // The peg sheet has no black, so a made-up cell shows the transparency: a white
    // ring on black, which must come out as a ring on the panel's green.
    std::vector<unsigned char> ring(50 * 40 * 3, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const int dx = x - 25, dy = y - 20, r2 = dx * dx + dy * dy;
            if (r2 >= 100 && r2 <= 256) SetRgb(ring, 50, x, y, 0xFFFFFF);
        }
    ImageFrame ringFrame(form, ring.data(), 1, 50, 40, 0, 0);
    ringFrame.SetParent(&green);
    ringFrame.SetTransparent(true);
    ringFrame.SetSize(50, 40);
    ringFrame.SetPosition(262, 6);

    // A titled, sunken panel holding the banner, a button and a text cell.
    PanelChildren panel(form);
    panel.SetPosition(10, 125);
    panel.SetSize(330, 195);
    panel.SetBackColor(0xC8C8C8);
    panel.SetBorder(true);
    panel.SetText("Panel title");
    panel.SetTitleColor(0x000080);
    MyImage banner(&panel, kBannerPicture, kBannerWidth, kBannerHeight);
    banner.SetPosition(15, 20);
    ButtonCustom button(form, "GO");
    button.SetParent(&panel);
    button.SetSize(97, 28);
    button.SetPosition(15, 110);
    button.SetForeColor(0xFFFFFF);
    button.SetBackColor(0x00AA00);
    CellControl cell(form);
    cell.SetParent(&panel);
    cell.SetBackColor(0xFFFFFF);
    cell.SetForeColor(0x000000);
    cell.SetBorder(true);
    cell.SetSize(180, 40);
    cell.SetPosition(130, 105);
    cell.SetText("A text cell with a line that wraps");

    // The about picture in a sunken frame, straight on the form.
    MyImage about(form, kAboutPicture, kAboutWidth, kAboutHeight);
    about.SetPosition(360, 130);
    about.SetSunken(true);

    for (auto& f : frames) f->Show();
    ringFrame.Show();
    green.Show();
    panel.Show();
    about.Show();

    WindowPixels px = world.Read(form);
    ASSERT_TRUE(px.Ok());
    EXPECT_TRUE(world.NoXErrors()) << world.Log();
    EXPECT_EQ(px.At(20, 130), 0xC8C8C8u) << "panel background";
    EXPECT_EQ(px.At(10, 125), 0x000000u) << "sunken panel border";
    EXPECT_NE(px.At(25 + 150, 145 + 37), 0xC8C8C8u) << "banner";
    EXPECT_EQ(px.At(360, 130), 0x000000u) << "sunken picture frame";
    EXPECT_NE(px.CountOther(10, 10, 750, 40, 0xAAAAAA), 0) << "frames";
    EXPECT_EQ(px.At(10 + 262 + 25, 60 + 6 + 20), 0x00AA00u) << "transparent middle of the ring";
    EXPECT_EQ(px.At(10 + 262 + 25 + 13, 60 + 6 + 20), 0xFFFFFFu) << "the ring";

    const std::string base = std::string(QUORREL_BUILD_DIR) + "/controls";
    ASSERT_TRUE(WritePpm(px, kFormW, kFormH, base + ".ppm"));
    const std::string command = "convert '" + base + ".ppm' '" + base + ".png'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::remove((base + ".ppm").c_str());
}

}  // namespace
