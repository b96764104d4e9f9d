// WriteLog: standard output always, and one line per message in log.txt.
#include <gtest/gtest.h>

#include "FileContents.h"
#include "ScopedTempDir.h"
#include "ScopedWorkingDir.h"
#include "app/Log.h"

namespace {

class LogTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.Ok()); }
    ScopedTempDir dir;
};

}  // namespace

TEST_F(LogTest, FirstMessageCreatesTheFileWithExactlyThatLine)
{
    ASSERT_FALSE(dir.Exists(kLogFileName));
    WriteLog("first message");
    EXPECT_EQ(ReadLog(dir.Path()), "first message\n");
}

TEST_F(LogTest, LaterMessagesAreAppendedInOrder)
{
    WriteLog("one");
    WriteLog(std::string("two"));
    WriteLog(" three");
    EXPECT_EQ(ReadLog(dir.Path()), "one\ntwo\n three\n");
}

TEST_F(LogTest, AppendsToALogLeftByEarlierMessages)
{
    ASSERT_TRUE(dir.WriteFile(kLogFileName, "earlier\n"));
    WriteLog("later");
    EXPECT_EQ(ReadLog(dir.Path()), "earlier\nlater\n");
}

TEST_F(LogTest, IdenticalMessagesAreBothKept)
{
    WriteLog("same");
    WriteLog("same");
    EXPECT_EQ(ReadLog(dir.Path()), "same\nsame\n");
}

TEST_F(LogTest, EveryMessageAlsoGoesToStandardOutput)
{
    testing::internal::CaptureStdout();
    WriteLog("to stdout");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "to stdout\n");
}

TEST(LogUnwritableTest, StandardOutputStillGetsTheMessageWhenNoFileCanBeCreated)
{
    // No file can be created in /proc, not even by root, unlike a folder made
    // read-only with chmod.
    ScopedWorkingDir cwd("/proc");
    ASSERT_TRUE(cwd.Ok());
    testing::internal::CaptureStdout();
    WriteLog("nowhere to write");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "nowhere to write\n");
}

TEST_F(LogTest, StandardOutputStillGetsTheMessageWhenTheLogCannotBeOpened)
{
    ASSERT_TRUE(dir.WriteFile(std::string(kLogFileName) + "/blocker", ""));  // log.txt is a folder
    testing::internal::CaptureStdout();
    WriteLog("still printed");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "still printed\n");
}
