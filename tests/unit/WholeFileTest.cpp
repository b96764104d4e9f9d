#include "FileContents.h"
#include "ScopedTempDir.h"
#include "game/WholeFile.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string Text(const std::vector<unsigned char>& data) { return std::string(data.begin(), data.end()); }
}  // namespace

TEST(LoadWholeFile, ReadsEveryByteAndAnEmptyFileIsLoadedEmpty)
{
    ScopedTempDir dir;
    const std::string bytes("\x00\xFF\x10rest", 7);
    PutFile("sheet.bin", bytes);
    std::vector<unsigned char> data;
    ASSERT_TRUE(LoadWholeFile("sheet.bin", data));
    EXPECT_EQ(Text(data), bytes);
    PutFile("empty", "");
    EXPECT_TRUE(LoadWholeFile("empty", data));
    EXPECT_TRUE(data.empty());
}

TEST(LoadWholeFile, AMissingOrUnreadableFileIsLoggedAndChangesNothing)
{
    // A directory exists and opens, but reading it fails: the caller must not
    // receive a buffer it could trust.
    ScopedTempDir dir;
    std::filesystem::create_directory("Data");
    std::vector<unsigned char> data{'x'};
    EXPECT_FALSE(LoadWholeFile("Data/resources50x40.bin", data));
    EXPECT_FALSE(LoadWholeFile("Data", data));
    EXPECT_EQ(Text(data), "x");
    EXPECT_EQ(ReadLog(), "Data/resources50x40.bin: non trovato\nErrore loading Data\n");
}

TEST(LoadFileStart, ReadsOnlyTheFirstBytesAndSaysHowLongTheFileIs)
{
    ScopedTempDir dir;
    PutFile("sheet.bin", std::string(100, 'a') + std::string(50, 'b'));
    std::vector<unsigned char> data;
    std::int64_t length = 0;
    ASSERT_TRUE(LoadFileStart("sheet.bin", 100, data, length));
    EXPECT_EQ(length, 150);
    EXPECT_EQ(Text(data), std::string(100, 'a'));
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(LoadWholeFile, AFifoOrADeviceIsRefusedWithoutWaiting)
{
    ScopedTempDir dir;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    // A blocked open would end the test here instead of hanging the suite.
    alarm(10);
    for (const std::string path : {"fifo", "/dev/zero"}) {
        std::vector<unsigned char> data;
        EXPECT_FALSE(LoadWholeFile(path, data)) << path;
        EXPECT_NE(ReadLog().find("Errore loading " + path), std::string::npos) << path;
    }
    alarm(0);
}
