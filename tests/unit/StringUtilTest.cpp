#include "util/StringUtil.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::string>;

TEST(Trim, RemovesEveryKindOfWhiteSpaceAtBothEndsOnly)
{
    EXPECT_EQ(Trim("  x y \r\n"), "x y");
    EXPECT_EQ(Trim("\t\v\f2\r\n"), "2");
    EXPECT_EQ(Trim(" \r\n\t "), "");
    EXPECT_EQ(Trim(""), "");
}

TEST(Trim, TreatsHighBytesAsText)
{
    const std::string text = "\xA0\xFFz\xA0";
    EXPECT_EQ(Trim(" " + text + " "), text);
}

TEST(IntToTextPadded, FillsOnTheLeftUpToTheWidth)
{
    EXPECT_EQ(IntToTextPadded(7, '0', 2), "07");
    EXPECT_EQ(IntToTextPadded(0, '0', 2), "00");
    EXPECT_EQ(IntToTextPadded(123, '0', 2), "123");
    EXPECT_EQ(IntToTextPadded(-5, '0', 3), "0-5");
    EXPECT_EQ(IntToTextPadded(4, ' ', 0), "4");
    EXPECT_EQ(IntToTextPadded(4, ' ', -3), "4");
}

TEST(IntToText, CoversTheWholeSixtyFourBitRange)
{
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-12), "-12");
    EXPECT_EQ(IntToText(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(IntToText(INT64_MIN), "-9223372036854775808");
}

TEST(WithTrailingSlash, AppendsASlashUnlessThePathEndsInASeparator)
{
    EXPECT_EQ(WithTrailingSlash("Settings"), "Settings/");
    EXPECT_EQ(WithTrailingSlash("Settings/"), "Settings/");
    EXPECT_EQ(WithTrailingSlash("C:"), "C:");
    EXPECT_EQ(WithTrailingSlash("a\\"), "a\\");
    EXPECT_EQ(WithTrailingSlash(""), "");
}

TEST(Split, KeepsInnerAndLeadingEmptyPiecesButNotATrailingOne)
{
    EXPECT_EQ(Split("a;b;;c;", ";"), (Pieces{"a", "b", "", "c"}));
    EXPECT_EQ(Split(";a", ";"), (Pieces{"", "a"}));
    EXPECT_EQ(Split(";", ";"), (Pieces{""}));
    EXPECT_EQ(Split("abc", ";"), (Pieces{"abc"}));
}

TEST(Split, GivesNothingForAnEmptyTextOrSeparator)
{
    EXPECT_TRUE(Split("", ";").empty());
    EXPECT_TRUE(Split("abc", "").empty());
}

TEST(Split, HandlesSeparatorsLongerThanOneByte)
{
    EXPECT_EQ(Split("a::b:c::", "::"), (Pieces{"a", "b:c"}));
    EXPECT_EQ(Split("aaa", "aa"), (Pieces{"", "a"}));
}
