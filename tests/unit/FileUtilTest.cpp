#include "FileContents.h"
#include "ScopedTempDir.h"
#include "util/BinaryFile.h"
#include "util/FileUtil.h"
#include "util/TextFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using Lines = std::vector<std::string>;

TEST(FileUtil, EnsureDirectoryLeavesAnExistingPlainFileAlone)
{
    ScopedTempDir dir;
    PutFile("plain", "x");
    EXPECT_TRUE(EnsureDirectory("plain"));
    EXPECT_EQ(FileBytes("plain"), "x");
}

TEST(FileUtil, EnsureDirectoryCreatesOneLevelOnly)
{
    ScopedTempDir dir;
    EXPECT_TRUE(EnsureDirectory("one"));
    EXPECT_TRUE(std::filesystem::is_directory("one"));
    EXPECT_FALSE(EnsureDirectory("missing/two"));
    EXPECT_FALSE(EnsureDirectory(""));
}

TEST(FileUtil, SizeOfAMissingPathIsZeroLikeAnEmptyFile)
{
    ScopedTempDir dir;
    PutFile("empty", "");
    PutFile("three", "abc");
    EXPECT_EQ(FileSize("missing"), 0);
    EXPECT_EQ(FileSize("empty"), 0);
    EXPECT_EQ(FileSize("three"), 3);
}

TEST(FileUtil, ExistsAndRemoveReportWhatHappened)
{
    ScopedTempDir dir;
    PutFile("f", "");
    EXPECT_TRUE(FileExists("f"));
    EXPECT_TRUE(RemoveFile("f"));
    EXPECT_FALSE(FileExists("f"));
    EXPECT_FALSE(RemoveFile("f"));
}

TEST(TextFileRead, StopsAtTheFirstLineLongerThan255Characters)
{
    ScopedTempDir dir;
    PutFile("t", "a\n" + std::string(300, 'x') + "\nb\n");
    TextFile file("t");
    EXPECT_EQ(file.ReadLines(), Lines{"a"});
    EXPECT_FALSE(file.Failed());
}

TEST(TextFileRead, Accepts255CharactersAndAnyLengthWithoutLimit)
{
    ScopedTempDir dir;
    const std::string longest(255, 'y');
    const std::string tooLong(256, 'z');
    PutFile("t", longest + "\n" + tooLong + "\n");
    EXPECT_EQ(TextFile("t").ReadLines(), Lines{longest});
    EXPECT_EQ(TextFile("t").ReadLines(TextFile::kNoLineLimit), (Lines{longest, tooLong}));
    PutFile("u", tooLong);
    EXPECT_TRUE(TextFile("u").ReadLines().empty());
}

TEST(TextFileRead, KeepsALastLineWithoutLineFeedAndCarriageReturns)
{
    ScopedTempDir dir;
    PutFile("t", "one\r\ntwo");
    EXPECT_EQ(TextFile("t").ReadLines(), (Lines{"one\r", "two"}));
}

TEST(TextFileRead, CutsALineAtItsFirstZeroByte)
{
    ScopedTempDir dir;
    PutFile("t", std::string("ab\0cd\nef\n", 9));
    EXPECT_EQ(TextFile("t").ReadLines(), (Lines{"ab", "ef"}));
}

TEST(TextFileRead, AllTextEndsEveryLineWithCarriageReturnLineFeed)
{
    ScopedTempDir dir;
    PutFile("t", "2\n");
    EXPECT_EQ(TextFile("t").ReadAllText(), "2\r\n");
    PutFile("e", "");
    EXPECT_EQ(TextFile("e").ReadAllText(), "");
}

TEST(TextFileRead, MissingFileSetsBothFlags)
{
    ScopedTempDir dir;
    TextFile file("missing");
    EXPECT_EQ(file.ReadAllText(), "");
    EXPECT_TRUE(file.Failed());
    EXPECT_TRUE(file.OpenFailed());
}

TEST(TextFileRead, ADirectoryReadsAsAFailureNotAsText)
{
    ScopedTempDir dir;
    std::filesystem::create_directory("d");
    TextFile file("d");
    EXPECT_EQ(file.ReadAllText(), "");
    EXPECT_TRUE(file.Failed());
}

TEST(TextFileRead, AFifoOrADeviceIsRefusedWithoutWaitingAndNotRegular)
{
    ScopedTempDir dir;
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("d");
    // A blocked open would end the test here instead of hanging the suite.
    alarm(10);
    for (const std::string path : {"fifo", "/dev/zero", "d"}) {
        TextFile lines(path);
        EXPECT_TRUE(lines.ReadLines().empty()) << path;
        EXPECT_TRUE(lines.OpenFailed()) << path;
        TextFile bytes(path);
        EXPECT_EQ(bytes.ReadBytes(100), "") << path;
        EXPECT_TRUE(bytes.NotRegular()) << path;
    }
    alarm(0);
}

TEST(TextFileRead, BytesAreReadUpToALimitFromEitherEnd)
{
    ScopedTempDir dir;
    PutFile("t", "0123456789");
    TextFile file("t");
    EXPECT_EQ(file.ReadBytes(4), "0123");
    EXPECT_TRUE(file.Cut());
    EXPECT_EQ(file.ReadBytes(4, true), "6789");
    EXPECT_EQ(file.ReadBytes(10, true), "0123456789");
    EXPECT_FALSE(file.Cut());
    TextFile missing("missing");
    EXPECT_EQ(missing.ReadBytes(4), "");
    EXPECT_TRUE(missing.OpenFailed());
    EXPECT_FALSE(missing.NotRegular());
}

TEST(TextFileWrite, WritesTruncatesAndAppends)
{
    ScopedTempDir dir;
    TextFile file("t");
    EXPECT_TRUE(file.WriteLines({"first", "second"}));
    EXPECT_EQ(FileBytes("t"), "first\nsecond\n");
    EXPECT_TRUE(file.WriteLines({}));
    EXPECT_EQ(FileBytes("t"), "");
    EXPECT_TRUE(file.AppendLines({"a"}));
    EXPECT_TRUE(file.AppendLines({"b"}));
    EXPECT_EQ(FileBytes("t"), "a\nb\n");
    EXPECT_FALSE(file.Failed());
}

TEST(TextFileWrite, AFailedOpenIsReported)
{
    ScopedTempDir dir;
    TextFile file("no/such/dir/t");
    EXPECT_FALSE(file.WriteLines({"x"}));
    EXPECT_TRUE(file.OpenFailed());
}

TEST(TextFileWrite, AFullDiskIsReportedAsFailure)
{
    // /dev/full accepts the open and fails every write with ENOSPC.
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TextFile file("/dev/full");
    EXPECT_FALSE(file.WriteLines({"x"}));
    EXPECT_TRUE(file.Failed());
    EXPECT_FALSE(file.OpenFailed());
}

TEST(TextFileReplace, ReplacesTheContentAndLeavesNoTemporaryFile)
{
    ScopedTempDir dir;
    PutFile("t", "old content that is longer\n");
    TextFile file("t");
    EXPECT_TRUE(file.ReplaceLines({"new"}));
    EXPECT_EQ(FileBytes("t"), "new\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TextFileReplace, NeverRewritesTheOldFileInPlace)
{
    // A reader holding the old file sees it whole: the new content went to another
    // file, so a crash halfway could not have left a truncated value behind.
    ScopedTempDir dir;
    PutFile("t", "old\n");
    const int oldFd = open("t", O_RDONLY);
    ASSERT_GE(oldFd, 0);
    EXPECT_TRUE(TextFile("t").ReplaceLines({"new"}));
    char bytes[16] = {};
    const ssize_t got = pread(oldFd, bytes, sizeof bytes, 0);
    close(oldFd);
    EXPECT_EQ(std::string(bytes, got > 0 ? static_cast<std::size_t>(got) : 0), "old\n");
    EXPECT_EQ(FileBytes("t"), "new\n");
}

TEST(TextFileReplace, AFailedRenameKeepsTheOldValueAndCleansUp)
{
    ScopedTempDir dir;
    std::filesystem::create_directories("t/inside");
    TextFile file("t");
    EXPECT_FALSE(file.ReplaceLines({"new"}));
    EXPECT_TRUE(file.Failed());
    EXPECT_TRUE(std::filesystem::is_directory("t/inside"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TextFileReplace, GivesTheFileTheUsualModeNotAPrivateOne)
{
    ScopedTempDir dir;
    const mode_t old = umask(022);
    EXPECT_TRUE(TextFile("t").ReplaceLines({"v"}));
    umask(old);
    struct stat info {};
    ASSERT_EQ(stat("t", &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(TextFileReplace, WorksForAPathInAnotherDirectory)
{
    ScopedTempDir dir;
    std::filesystem::create_directory("sub");
    EXPECT_TRUE(TextFile("sub/t").ReplaceLines({"a", "b"}));
    EXPECT_EQ(FileBytes("sub/t"), "a\nb\n");
}

TEST(BinaryFile, ReadsAtOffsetsAndAShortReadAtTheEndIsNoFailure)
{
    ScopedTempDir dir;
    PutFile("b", std::string("\x00\x01\x02\x03\x04", 5));
    BinaryFile file;
    file.OpenRead("b");
    ASSERT_FALSE(file.Failed());
    unsigned char bytes[8] = {};
    EXPECT_EQ(file.ReadAt(3, bytes, 8), 2);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 4);
    EXPECT_FALSE(file.Failed());
    EXPECT_EQ(file.ReadAt(1, bytes, 1), 1);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(file.ReadAt(-1, bytes, 1), 0);
}

TEST(BinaryFile, AMissingFileFailsAndReadsNothing)
{
    ScopedTempDir dir;
    BinaryFile file;
    file.OpenRead("missing");
    EXPECT_TRUE(file.Failed());
    EXPECT_TRUE(file.OpenFailed());
    unsigned char byte = 9;
    EXPECT_EQ(file.ReadAt(0, &byte, 1), 0);
    EXPECT_EQ(byte, 9);
}

TEST(BinaryFile, AClosedFileReportsFailedAndClosesOnlyOnce)
{
    ScopedTempDir dir;
    PutFile("b", "xy");
    BinaryFile file;
    file.OpenRead("b");
    file.Close();
    EXPECT_TRUE(file.Failed());
    file.Close();
    char byte = 0;
    EXPECT_EQ(file.ReadAt(0, &byte, 1), 0);
    file.OpenRead("b");
    EXPECT_FALSE(file.Failed());
    EXPECT_EQ(file.ReadAt(1, &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
}

TEST(BinaryFile, ReadingADirectoryIsAFailure)
{
    ScopedTempDir dir;
    std::filesystem::create_directory("d");
    BinaryFile file;
    file.OpenRead("d");
    char byte = 0;
    EXPECT_EQ(file.ReadAt(0, &byte, 1), 0);
    EXPECT_TRUE(file.Failed());
}
