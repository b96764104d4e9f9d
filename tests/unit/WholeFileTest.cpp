#include "FileContents.h"
#include "ScopedTempDir.h"
#include "game/WholeFile.h"
#include "util/FileUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

TEST(LoadWholeFile, ReadsEveryByteIntoABufferTheCallerFrees)
{
    ScopedTempDir dir;
    const std::string bytes("\x00\xFF\x10rest", 7);
    PutFile("sheet.bin", bytes);
    unsigned char* buffer = nullptr;
    std::int32_t size = 0;
    LoadWholeFile("sheet.bin", buffer, size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 7);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7), bytes);
    std::free(buffer);
}

TEST(LoadWholeFile, AMissingFileIsLoggedAndChangesNothing)
{
    ScopedTempDir dir;
    unsigned char sentinel = 0;
    unsigned char* buffer = &sentinel;
    std::int32_t size = 42;
    LoadWholeFile("Data/resources50x40.bin", buffer, size);
    EXPECT_EQ(buffer, &sentinel);
    EXPECT_EQ(size, 42);
    EXPECT_EQ(FileBytes("log.txt"), "Data/resources50x40.bin: non trovato\n");
}

TEST(LoadWholeFile, AnUnreadableFileIsLoggedAndAllocatesNothing)
{
    // A directory exists and opens, but reading it fails: nothing may leak and the
    // caller must not receive a size it could trust.
    ScopedTempDir dir;
    std::filesystem::create_directory("Data");
    unsigned char* buffer = nullptr;
    std::int32_t size = 0;
    LoadWholeFile("Data", buffer, size);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(FileBytes("log.txt"), "Errore loading Data\n");
}

TEST(LoadWholeFile, AnEmptyFileGivesARealBufferOfSizeZero)
{
    ScopedTempDir dir;
    PutFile("empty", "");
    unsigned char* buffer = nullptr;
    std::int32_t size = 5;
    LoadWholeFile("empty", buffer, size);
    EXPECT_NE(buffer, nullptr);
    EXPECT_EQ(size, 0);
    std::free(buffer);
}

TEST(LoadFileStart, ReadsOnlyTheFirstBytesAndSaysHowLongTheFileIs)
{
    ScopedTempDir dir;
    PutFile("sheet.bin", std::string(100, 'a') + std::string(50, 'b'));
    unsigned char* buffer = nullptr;
    std::int32_t size = 0;
    std::int64_t length = 0;
    LoadFileStart("sheet.bin", 100, buffer, size, length);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 100);
    EXPECT_EQ(length, 150);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 100), std::string(100, 'a'));
    std::free(buffer);
    EXPECT_FALSE(FileExists("log.txt"));
}

TEST(LoadWholeFile, AFifoOrADeviceIsRefusedWithoutWaiting)
{
    ScopedTempDir dir;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    // A blocked open would end the test here instead of hanging the suite.
    alarm(10);
    for (const std::string path : {"fifo", "/dev/zero"}) {
        unsigned char* buffer = nullptr;
        std::int32_t size = 0;
        LoadWholeFile(path, buffer, size);
        EXPECT_EQ(buffer, nullptr) << path;
        EXPECT_NE(FileBytes("log.txt").find("Errore loading " + path), std::string::npos) << path;
    }
    alarm(0);
}
