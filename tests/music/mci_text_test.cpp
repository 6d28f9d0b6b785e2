// Command words, position fields and their texts, error texts.
#include "shell/music/mci_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/music/mci_errors.h"

namespace velmoria {
namespace {

TEST(MciWordsTest, BlanksSeparateAndQuotesKeepBlanks) {
    MciWords split = SplitMciWords("  open  \"C:\\My Music\\a b.mp3\"   alias x ");
    EXPECT_EQ(split.error, 0u);
    const std::vector<std::string> expected = {"open", "C:\\My Music\\a b.mp3", "alias", "x"};
    EXPECT_EQ(split.words, expected);
    EXPECT_EQ(SplitMciWords("open \"\" alias x").words.at(1), "");
    // A quote inside a word is an ordinary character.
    EXPECT_EQ(SplitMciWords("open a\"b").words.at(1), "a\"b");
    EXPECT_TRUE(SplitMciWords("").words.empty());
}

TEST(MciWordsTest, BadQuotesAreErrors) {
    EXPECT_EQ(SplitMciWords("open \"a b").error, mci_error::kNoClosingQuote);
    EXPECT_EQ(SplitMciWords("open \"a b\"c").error, mci_error::kExtraCharacters);
    EXPECT_EQ(SplitMciWords("open \"a b\"").error, 0u);
}

TEST(MciWordsTest, SameWordIgnoresAsciiCaseOnly) {
    EXPECT_TRUE(MciSameWord("MP3PLAY", "mp3play"));
    EXPECT_FALSE(MciSameWord("MP3Pla", "mp3play"));
    EXPECT_FALSE(MciSameWord("MP3Playy", "mp3play"));
    EXPECT_FALSE(MciSameWord("\xC4", "\xE4"));
}

TEST(MciPositionTest, ColonFieldsAreBytesUpToTheLimit) {
    uint32_t fields[4];
    int count = 0;
    ASSERT_TRUE(ParseColonFields("3:0:10:74", 4, fields, &count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(fields[0], 3u);
    EXPECT_EQ(fields[2], 10u);
    EXPECT_EQ(fields[3], 74u);
    ASSERT_TRUE(ParseColonFields("12", 4, fields, &count));
    EXPECT_EQ(count, 1);
    for (const char* bad : {"", ":", "1:", ":1", "1::2", "256", "1:2:3:4:5", "a", "1 ", "-1"}) {
        EXPECT_FALSE(ParseColonFields(bad, 4, fields, &count)) << bad;
    }
    EXPECT_FALSE(ParseColonFields("1:2:3:4", 3, fields, &count));
}

TEST(MciPositionTest, DecimalsAre32Bits) {
    uint32_t value = 0;
    EXPECT_TRUE(ParseDecimal("4294967295", &value));
    EXPECT_EQ(value, 4294967295u);
    EXPECT_FALSE(ParseDecimal("4294967296", &value));
    EXPECT_FALSE(ParseDecimal("", &value));
    EXPECT_FALSE(ParseDecimal("12a", &value));
}

TEST(MciPositionTest, TextsAreZeroPaddedPairs) {
    EXPECT_EQ(FormatTmsf(3, 0, 5, 74), "03:00:05:74");
    EXPECT_EQ(FormatMsf(61, 2, 0), "61:02:00");
    EXPECT_EQ(FormatFramesAsMsf(150), "00:02:00");
    EXPECT_EQ(FormatFramesAsMsf(60 * 75 * 10 + 75 * 59 + 74), "10:59:74");
}

TEST(MciErrorTextTest, TextsAreCopiedCutAndTerminated) {
    char text[256];
    ASSERT_TRUE(MciGetErrorText(mci_error::kInvalidDeviceName, text, sizeof text));
    EXPECT_STREQ(text, MciErrorText(mci_error::kInvalidDeviceName));
    char small[8];
    std::memset(small, 'Z', sizeof small);
    ASSERT_TRUE(MciGetErrorText(mci_error::kInvalidDeviceName, small, sizeof small));
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_EQ(std::strncmp(small, text, 7), 0);
    EXPECT_FALSE(MciGetErrorText(mci_error::kInvalidDeviceName, small, 0));
    EXPECT_FALSE(MciGetErrorText(mci_error::kInvalidDeviceName, nullptr, 8));
    char untouched[16] = "old";
    EXPECT_FALSE(MciGetErrorText(999, untouched, sizeof untouched));
    EXPECT_STREQ(untouched, "old");
}

}  // namespace
}  // namespace velmoria
