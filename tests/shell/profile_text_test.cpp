// The profile semantics over decoded text: parsing odd files, look-up rules, where writes go,
// and the text the writer saves.
#include <gtest/gtest.h>

#include <string>

#include "shell/settings/profile_text.h"

namespace velmoria {
namespace {

std::u16string Get(std::u16string_view text, std::u16string_view section, std::u16string_view key,
                   size_t buffer = 256) {
    return ProfileText::Parse(text).Get(section, key, buffer);
}

std::u16string AfterSet(std::u16string_view text, std::u16string_view section,
                        std::u16string_view key, std::u16string_view value) {
    ProfileText profile = ProfileText::Parse(text);
    profile.Set(section, key, value);
    return profile.Serialize();
}

TEST(ProfileRead, NamesAreCaseInsensitiveAndTrimmed) {
    const std::u16string text = u"[Section]\r\nBGM=2\r\n";
    EXPECT_EQ(Get(text, u"section", u"bgm"), u"2");
    EXPECT_EQ(Get(text, u"  SECTION\t", u" Bgm "), u"2");
    EXPECT_EQ(Get(u" [ Section ] \r\n  key  =  value  \r\n", u"Section", u"key"), u"value");
    // Only ASCII letters fold, as on the platform: not fullwidth, Greek or Cyrillic ones.
    EXPECT_EQ(Get(u"[Ａ]\r\nk=1\r\n", u"ａ", u"k"), u"");
    EXPECT_EQ(Get(u"[s]\r\nБΑ=1\r\n", u"s", u"бα"), u"");
    EXPECT_EQ(Get(u"[s]\r\nｶﾅ=1\r\n", u"S", u"ｶﾅ"), u"1");
}

TEST(ProfileRead, MissingGivesEmpty) {
    EXPECT_EQ(Get(u"", u"Section", u"k"), u"");
    EXPECT_EQ(Get(u"[Other]\r\nk=1\r\n", u"Section", u"k"), u"");
    EXPECT_EQ(Get(u"[Section]\r\nk\r\n", u"Section", u"k"), u"");  // a line without "="
    EXPECT_EQ(Get(u"[Section]\r\nk=\r\n", u"Section", u"k"), u"");
}

TEST(ProfileRead, LineEndsAndBlankLines) {
    const std::u16string text = u"\n\n[a]\nx=1\ry=2\r\n\r\n\tz = 3 \n";
    EXPECT_EQ(Get(text, u"a", u"x"), u"1");
    EXPECT_EQ(Get(text, u"a", u"y"), u"2");
    EXPECT_EQ(Get(text, u"a", u"z"), u"3");
}

TEST(ProfileRead, KeysBeforeAnySectionBelongToTheNamelessOne) {
    EXPECT_EQ(Get(u"k=1\r\n[s]\r\nk=2\r\n", u"", u"k"), u"1");
    EXPECT_EQ(Get(u"k=1\r\n[s]\r\nk=2\r\n", u"s", u"k"), u"2");
}

TEST(ProfileRead, FirstSectionAndFirstKeyWin) {
    const std::u16string text = u"[s]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\nj=4\r\n";
    EXPECT_EQ(Get(text, u"s", u"k"), u"1");
    // A key only in the second section of a name is not found.
    EXPECT_EQ(Get(text, u"s", u"j"), u"");
}

TEST(ProfileRead, SectionHeaders) {
    EXPECT_EQ(Get(u"[a]junk\r\nk=1\r\n", u"a", u"k"), u"1");
    EXPECT_EQ(Get(u"[a]b]\r\nk=1\r\n", u"a]b", u"k"), u"1");  // up to the last "]"
    // Without "]" the line is a key of the section before.
    EXPECT_EQ(Get(u"[a]\r\n[b=2\r\nk=1\r\n", u"a", u"[b"), u"2");
    EXPECT_EQ(Get(u"[a]\r\n[b=2\r\nk=1\r\n", u"a", u"k"), u"1");
}

TEST(ProfileRead, CommentsAreKeysLikeAnyOther) {
    const std::u16string text = u"[s]\r\n; note = x\r\nk=1\r\n";
    EXPECT_EQ(Get(text, u"s", u"; note"), u"x");
    EXPECT_EQ(Get(text, u"s", u"k"), u"1");
}

TEST(ProfileRead, OnePairOfQuotesIsStripped) {
    EXPECT_EQ(Get(u"[s]\r\nk=\"a b\"\r\n", u"s", u"k"), u"a b");
    EXPECT_EQ(Get(u"[s]\r\nk='a'\r\n", u"s", u"k"), u"a");
    EXPECT_EQ(Get(u"[s]\r\nk=\"\"a\"\"\r\n", u"s", u"k"), u"\"a\"");
    EXPECT_EQ(Get(u"[s]\r\nk=\"a'\r\n", u"s", u"k"), u"\"a'");
    EXPECT_EQ(Get(u"[s]\r\nk=\"\r\n", u"s", u"k"), u"\"");
    EXPECT_EQ(Get(u"[s]\r\nk=\"\"\r\n", u"s", u"k"), u"");
    EXPECT_EQ(Get(u"[s]\r\nk=a\"\r\n", u"s", u"k"), u"a\"");
}

TEST(ProfileRead, TheBufferCutsLongValues) {
    const std::u16string value(300, u'v');
    const std::u16string text = u"[s]\r\nk=" + value + u"\r\n";
    EXPECT_EQ(Get(text, u"s", u"k"), value.substr(0, 255));
    EXPECT_EQ(Get(text, u"s", u"k", 1), u"");
    // Quoted and exactly filling the buffer: the platform drops the last character.
    const std::u16string inner(255, u'q');
    EXPECT_EQ(Get(u"[s]\r\nk=\"" + inner + u"\"\r\n", u"s", u"k"), inner.substr(0, 254));
    EXPECT_EQ(Get(u"[s]\r\nk=\"" + inner.substr(1) + u"\"\r\n", u"s", u"k"), inner.substr(1));
}

TEST(ProfileRead, TextStopsAtNul) {
    const std::u16string text = std::u16string(u"[s]\r\nk=ab") + u'\0' + u"cd\r\n";
    EXPECT_EQ(Get(text, u"s", u"k"), u"ab");
}

TEST(ProfileWrite, NewFileGetsSectionAndKey) {
    ProfileText profile;
    EXPECT_TRUE(profile.Set(u"Section", u"k1", u"v1"));
    EXPECT_TRUE(profile.Set(u"Section", u"k2", u""));
    EXPECT_TRUE(profile.Set(u"Other", u"x", u"1"));
    EXPECT_EQ(profile.Serialize(), u"[Section]\r\nk1=v1\r\nk2=\r\n[Other]\r\nx=1\r\n");
}

TEST(ProfileWrite, ExistingKeyIsReplacedInPlace) {
    EXPECT_EQ(AfterSet(u"[s]\r\na=1\r\nK=2\r\nc=3\r\n", u"S", u"k", u"9"),
              u"[s]\r\na=1\r\nK=9\r\nc=3\r\n");
    EXPECT_EQ(AfterSet(u"[s]\r\nk\r\n", u"s", u"k", u"1"), u"[s]\r\nk=1\r\n");
}

TEST(ProfileWrite, NewKeyGoesToTheEndOfItsSection) {
    EXPECT_EQ(AfterSet(u"[s]\r\na=1\r\n;end\r\n[t]\r\nb=2\r\n", u"s", u"n", u"v"),
              u"[s]\r\na=1\r\n;end\r\nn=v\r\n[t]\r\nb=2\r\n");
    EXPECT_EQ(AfterSet(u"[s]\r\na=1\r\n[s]\r\nb=2\r\n", u"s", u"n", u"v"),
              u"[s]\r\na=1\r\nn=v\r\n[s]\r\nb=2\r\n");
}

TEST(ProfileWrite, TheWholeFileIsSavedNormalised) {
    // Blank lines go, blanks around names and values go, every line ends in CR LF.
    EXPECT_EQ(AfterSet(u"\n [ s ] \n  a  =  1  \n\n; c = d\nk\n=e\n=f\n", u"s", u"n", u"v"),
              u"[s]\r\na=1\r\n; c=d\r\nk\r\n=e\r\nn=v\r\n");
}

TEST(ProfileWrite, ValueLosesLeadingBlanksOnly) {
    EXPECT_EQ(AfterSet(u"", u"s", u"k", u"  a b  "), u"[s]\r\nk=a b  \r\n");
}

TEST(ProfileWrite, NewNamesKeepTheirTrailingBlanks) {
    EXPECT_EQ(AfterSet(u"", u" s ", u" k ", u"v"), u"[s ]\r\nk =v\r\n");
    EXPECT_EQ(AfterSet(u"[s]\r\nk=1\r\n", u" s ", u" k ", u"v"), u"[s]\r\nk=v\r\n");
}

TEST(ProfileWrite, SameValueChangesNothing) {
    ProfileText profile = ProfileText::Parse(u"[s]\r\nk=1\r\n");
    EXPECT_FALSE(profile.Set(u"s", u"K", u"1"));
    EXPECT_FALSE(profile.Set(u"s", u"k", u"  1"));
    EXPECT_TRUE(profile.Set(u"s", u"k", u"1 "));
    EXPECT_TRUE(ProfileText::Parse(u"[s]\r\nk\r\n").Set(u"s", u"k", u""));
}

}  // namespace
}  // namespace velmoria
