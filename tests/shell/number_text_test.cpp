// The preview handle and the settings integers: what counts as a number, rounding, ranges.
#include <gtest/gtest.h>

#include "shell/settings/number_text.h"

namespace velmoria {
namespace {

TEST(LeadingNumber, ReadsUpToTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(LeadingNumber("1234"), 1234);
    EXPECT_EQ(LeadingNumber("   1234"), 1234);
    EXPECT_EQ(LeadingNumber("\t12x4"), 12);
    EXPECT_EQ(LeadingNumber("-7.5 9"), -7.5);
    EXPECT_EQ(LeadingNumber("+.25"), 0.25);
    EXPECT_EQ(LeadingNumber("3."), 3);
    EXPECT_EQ(LeadingNumber("2e3"), 2000);
    EXPECT_EQ(LeadingNumber("2D2"), 200);
    EXPECT_EQ(LeadingNumber("2e"), 2);  // an exponent needs digits
    EXPECT_EQ(LeadingNumber("2e+"), 2);
    EXPECT_EQ(LeadingNumber("1e-400"), 0);
}

TEST(LeadingNumber, NoNumberGivesZero) {
    for (const char* text : {"", "   ", "abc", "-", ".", "-.", "e5", ":1234"}) {
        EXPECT_EQ(LeadingNumber(text), 0) << text;
    }
}

TEST(ParseHandle, RoundsToThirtyTwoBits) {
    EXPECT_EQ(ParseHandle("1234"), 1234);
    EXPECT_EQ(ParseHandle(" 1234 5678"), 1234);
    EXPECT_EQ(ParseHandle("junk"), 0);
    EXPECT_EQ(ParseHandle("2.5"), 2);  // ties go to the even neighbour
    EXPECT_EQ(ParseHandle("3.5"), 4);
    EXPECT_EQ(ParseHandle("-2.6"), -3);
    EXPECT_EQ(ParseHandle("2147483647"), 2147483647);
    EXPECT_EQ(ParseHandle("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseHandle("2147483648"), std::nullopt);
    EXPECT_EQ(ParseHandle("-2147483649"), std::nullopt);
    EXPECT_EQ(ParseHandle("1e300"), std::nullopt);
    EXPECT_EQ(ParseHandle("1e999"), std::nullopt);
}

TEST(ParseHandle, HexOnlyWhereXWindowIdsComeInHex) {
    EXPECT_EQ(ParseHandle("0x1a00005", HandleSyntax::DecimalOrHex), 0x1a00005);
    EXPECT_EQ(ParseHandle(" 0X7FFFFFFF", HandleSyntax::DecimalOrHex), 0x7FFFFFFF);
    EXPECT_EQ(ParseHandle("0x80000000", HandleSyntax::DecimalOrHex), std::nullopt);
    EXPECT_EQ(ParseHandle("0x", HandleSyntax::DecimalOrHex), 0);
    EXPECT_EQ(ParseHandle("0xg", HandleSyntax::DecimalOrHex), 0);
    EXPECT_EQ(ParseHandle("1234", HandleSyntax::DecimalOrHex), 1234);
    EXPECT_EQ(ParseHandle("0x1a00005", HandleSyntax::Decimal), 0);
}

TEST(ParseSettingInteger, RoundsDownWithinSixteenBits) {
    EXPECT_EQ(ParseSettingInteger("2"), 2);
    EXPECT_EQ(ParseSettingInteger("1.9"), 1);
    EXPECT_EQ(ParseSettingInteger("2.7"), 2);
    EXPECT_EQ(ParseSettingInteger("-0.5"), -1);
    EXPECT_EQ(ParseSettingInteger("-1"), -1);
    EXPECT_EQ(ParseSettingInteger(" 3 "), 3);
    EXPECT_EQ(ParseSettingInteger("32767"), 32767);
    EXPECT_EQ(ParseSettingInteger("32767.9"), 32767);
    EXPECT_EQ(ParseSettingInteger("-32768"), -32768);
    EXPECT_EQ(ParseSettingInteger("1e2"), 100);
}

TEST(ParseSettingInteger, RefusesWhatIsNotANumberOrOutOfRange) {
    for (const char* text : {"abc", "", " ", "12abc", "1 2", "-", ".", "40000", "32768", "-32768.5",
                             "-32769", "1e10", "0x10"}) {
        EXPECT_EQ(ParseSettingInteger(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace velmoria
