// The display connection: what it reads from the server, the registered screen, the
// depth warning and closing.
#include <gtest/gtest.h>

#include "FileContents.h"
#include "ScopedTempDir.h"
#include "XvfbServer.h"
#include "app/Log.h"
#include "app/ScreenConnection.h"

namespace {

class ScreenConnectionTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    ScopedTempDir dir;
};

XvfbServer::Options SixteenBitServer()
{
    XvfbServer::Options o;
    o.width = 640;
    o.height = 480;
    o.depth = 16;
    return o;
}

}  // namespace

TEST_F(ScreenConnectionTest, ReadsTheDefaultScreensSizeAndDepth)
{
    ScreenConnection screen;
    ASSERT_NE(screen.GetDisplay(), nullptr);
    EXPECT_EQ(screen.GetScreenWidth(), 1280);
    EXPECT_EQ(screen.GetScreenHeight(), 1024);
    EXPECT_EQ(screen.GetScreenDepth(), 24);
    EXPECT_NE(screen.GetVisualInfo(), nullptr);
    EXPECT_FALSE(dir.Exists(kLogFileName));
    EXPECT_TRUE(screen.Close());
}

TEST_F(ScreenConnectionTest, CloseReturnsTrueOnceAndFalseAfterwards)
{
    ScreenConnection screen;
    EXPECT_TRUE(screen.Close());
    EXPECT_EQ(screen.GetDisplay(), nullptr);
    EXPECT_EQ(screen.GetVisualInfo(), nullptr);
    EXPECT_FALSE(screen.Close());
}

TEST_F(ScreenConnectionTest, ScreenSizeIsZeroWhenNoConnectionExists)
{
    EXPECT_EQ(ScreenWidth(), 0);
    EXPECT_EQ(ScreenHeight(), 0);
}

TEST_F(ScreenConnectionTest, TheFirstConnectionAnswersTheScreenSize)
{
    ScreenConnection screen;
    EXPECT_EQ(ScreenWidth(), 1280);
    EXPECT_EQ(ScreenHeight(), 1024);
}

TEST_F(ScreenConnectionTest, ASecondConnectionDoesNotChangeTheRegisteredScreen)
{
    ScreenConnection first;
    XvfbServer other(SixteenBitServer());
    ASSERT_TRUE(other.Ok());
    ScopedDisplayEnv env(other.DisplayName());
    ScreenConnection second;
    ASSERT_NE(second.GetDisplay(), nullptr);
    EXPECT_EQ(second.GetScreenWidth(), 640);
    EXPECT_EQ(ScreenWidth(), 1280);
    EXPECT_EQ(ScreenHeight(), 1024);
}

TEST_F(ScreenConnectionTest, ASixteenBitScreenLogsTheDepthMessageOnceAndStaysOpen)
{
    XvfbServer server(SixteenBitServer());
    ASSERT_TRUE(server.Ok());
    ScopedDisplayEnv env(server.DisplayName());
    ScreenConnection screen;
    EXPECT_NE(screen.GetDisplay(), nullptr);
    EXPECT_EQ(screen.GetScreenDepth(), 16);
    EXPECT_EQ(ReadLog(dir.Path()), "This app requires 24-bit depth.\n");
    EXPECT_TRUE(screen.Close());
}

TEST_F(ScreenConnectionTest, AFailedOpenLogsAndKeepsTheStartValues)
{
    ScopedDisplayEnv env(":4999");  // no server there
    ScreenConnection screen;
    EXPECT_EQ(screen.GetDisplay(), nullptr);
    EXPECT_EQ(screen.GetScreenWidth(), 800);
    EXPECT_EQ(screen.GetScreenHeight(), 600);
    EXPECT_EQ(screen.GetScreenDepth(), 8);
    EXPECT_EQ(ReadLog(dir.Path()), "XOpenDisplay(0) failed.\n");
    EXPECT_FALSE(screen.Close());
}

TEST_F(ScreenConnectionTest, AFailedOpenIsNotRegistered)
{
    ScopedDisplayEnv env(":4999");
    ScreenConnection screen;
    EXPECT_EQ(ScreenWidth(), 0);
}

TEST(ScreenScaleTest, RoundsTheResolutionBy96ClampsTo1To4AndLowersUntilTheWindowFits)
{
    struct Case {
        double dpi;
        int screenWidth, screenHeight, scale;
    };
    for (const Case& c : {Case{0, 3840, 2160, 1}, Case{-96, 3840, 2160, 1}, Case{143.9, 3840, 2160, 1},
                          Case{144, 3840, 2160, 2}, Case{1e300, 7680, 4320, 4}, Case{384, 3840, 2160, 3},
                          Case{192, 1600, 1248, 2}, Case{192, 1600, 1247, 1}, Case{192, 1599, 2000, 1}}) {
        EXPECT_EQ(ScreenConnection::ScaleFor(c.dpi, c.screenWidth, c.screenHeight, 800, 600), c.scale)
            << c.dpi << " dpi on " << c.screenWidth << " x " << c.screenHeight;
    }
}
