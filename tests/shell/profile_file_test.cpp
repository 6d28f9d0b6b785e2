// The settings file's rules between bytes and the program's text, in memory, with each
// platform's codec (iconv on Linux, the system's conversions on Windows): code page 932 bytes,
// byte-order marks, UTF-8 for what code page 932 cannot hold, the narrow read's cut, the
// platform's reading of odd bytes, refusals and writes that change nothing.
#include "shell/settings/profile_file.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include "shell/win32/text_codec_win32.h"
#else
#include "shell/posix/text_codec_iconv.h"
#endif

namespace velmoria {
namespace {

#ifdef _WIN32
using NativeCodec = TextCodecWin32;
#else
using NativeCodec = TextCodecIconv;
#endif

class ProfileFile : public ::testing::Test {
  protected:
    std::string Read(const std::string& bytes, const char* section, const char* key) {
        return ReadProfileValue(bytes, section, key, codec_);
    }
    // The update of a file (null: missing), and its bytes when it is rewritten.
    ProfileUpdate Write(const std::string* bytes, const char* section, const char* key,
                        const char* value) {
        return UpdateProfileFile(bytes, section, key, value, codec_);
    }

    NativeCodec codec_;
};

using Outcome = ProfileUpdate::Outcome;

TEST_F(ProfileFile, JapaneseKeysAndValuesAreCodePage932) {
    const ProfileUpdate update = Write(nullptr, "Section", "BGMﾌｧｲﾙ", "/音楽/テーマ.mp3");
    ASSERT_EQ(update.outcome, Outcome::Rewrite);
    EXPECT_EQ(
        update.bytes,
        "[Section]\r\nBGM\xCC\xA7\xB2\xD9=/\x89\xB9\x8A\x79/\x83\x65\x81\x5B\x83\x7D.mp3\r\n");
    EXPECT_EQ(Read(update.bytes, "section", "bgmﾌｧｲﾙ"), "/音楽/テーマ.mp3");
}

// A value that code page 932 cannot hold, or holds only as another character (〜, —, −), would
// be lost: the whole file is then saved as UTF-8 with a byte-order mark, and reads back exactly.
// What code page 932 holds (Russian letters among them) keeps the file as Windows writes it.
TEST_F(ProfileFile, ValuesOutsideCodePage932TurnTheFileIntoUtf8) {
    const std::string before = "[Section]\r\nBGM\x8B\xE6\x95\xAA=2\r\n";  // BGM区分=2
    struct Case {
        const char* value;
        bool utf8;
    };
    const Case cases[] = {
        {"/home/u/Musique/café.mp3", true},       {"/home/u/Müsik/über.mp3", true},
        {"/home/u/Київ/пісня.mp3", true},         {"/home/u/🎵/song.mp3", true},
        {"/home/u/〜/wave—dash−minus.mp3", true}, {"/home/u/Музыка/песня.mp3", false},
    };
    for (const Case& c : cases) {
        const ProfileUpdate update = Write(&before, "Section", "BGMﾌｧｲﾙ", c.value);
        ASSERT_EQ(update.outcome, Outcome::Rewrite) << c.value;
        EXPECT_EQ(update.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0, c.utf8) << c.value;
        if (c.utf8) {
            EXPECT_EQ(update.bytes, "\xEF\xBB\xBF[Section]\r\nBGM区分=2\r\nBGMﾌｧｲﾙ=" +
                                        std::string(c.value) + "\r\n")
                << c.value;
        }
        EXPECT_EQ(Read(update.bytes, "Section", "BGMﾌｧｲﾙ"), c.value);
        EXPECT_EQ(Read(update.bytes, "Section", "BGM区分"), "2");
    }
    // Names too: a section only UTF-8 can hold.
    const ProfileUpdate update = Write(&before, "Séction", "k", "2");
    ASSERT_EQ(update.outcome, Outcome::Rewrite);
    EXPECT_EQ(Read(update.bytes, "séction", "k"), "2");
}

TEST_F(ProfileFile, TextThatIsNotUtf8IsRefused) {
    const std::string before = "[Section]\r\nk=1\r\n";
    EXPECT_EQ(Write(&before, "Section", "k", "\xFF\xFE").outcome, Outcome::Refused);
    EXPECT_EQ(Write(&before, "Section", "\xC3", "1").outcome, Outcome::Refused);
}

// Characters code page 932 cannot hold count their UTF-8 bytes, and a character outside the
// basic plane is never split.
TEST_F(ProfileFile, TheCutCountsUtf8BytesForOtherCharacters) {
    const std::string file = "\xEF\xBB\xBF[s]\r\nwhole=" + std::string(251, 'a') +
                             "🎵\r\ncut=" + std::string(252, 'a') +
                             "🎵\r\naccent=" + std::string(253, 'a') + "éé\r\n";
    EXPECT_EQ(Read(file, "s", "whole"), std::string(251, 'a') + "🎵");
    EXPECT_EQ(Read(file, "s", "cut"), std::string(252, 'a'));
    EXPECT_EQ(Read(file, "s", "accent"), std::string(253, 'a') + "é");
}

TEST_F(ProfileFile, LongJapaneseValueIsCutAtACharacter) {
    std::string value;
    for (int i = 0; i < 200; ++i) {
        value += "\x82\xA0";  // あ, two bytes
    }
    // "x" and 127 whole characters: 255 bytes, the limit, without half a character.
    std::string expected = "x";
    for (int i = 0; i < 127; ++i) {
        expected += "あ";
    }
    EXPECT_EQ(Read("[s]\r\nk=x" + value + "\r\n", "s", "k"), expected);
}

TEST_F(ProfileFile, OddBytesReadAsThePlatformReadsThem) {
    // 80, A0, FD survive a rewrite; a lead byte swallows the byte after it, and a bad pair
    // (or a lead byte at the very end) becomes "・".
    const std::string file = "[s]\r\nodd=\x80\xA0\xFD\r\nbad=\x81 z\x85\x40y\r\nk=1\r\nend=\x81";
    EXPECT_EQ(Read(file, "s", "odd"), "\u0080\uF8F0\uF8F1");
    EXPECT_EQ(Read(file, "s", "bad"), "・z・y");
    const ProfileUpdate update = Write(&file, "s", "k", "2");
    ASSERT_EQ(update.outcome, Outcome::Rewrite);
    EXPECT_EQ(update.bytes,
              "[s]\r\nodd=\x80\xA0\xFD\r\nbad=\x81\x45z\x81\x45y\r\nk=2\r\nend=\x81\x45\r\n");
}

TEST_F(ProfileFile, ByteOrderMarksKeepTheirEncoding) {
    const std::string utf8 = "\xEF\xBB\xBF[s]\r\nk=é\r\n";
    EXPECT_EQ(Read(utf8, "s", "k"), "é");
    EXPECT_EQ(Write(&utf8, "s", "j", "ü").bytes, "\xEF\xBB\xBF[s]\r\nk=é\r\nj=ü\r\n");

    const std::string utf16(std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0\xE9\0", 16));
    EXPECT_EQ(Read(utf16, "s", "k"), "é");
    EXPECT_EQ(Write(&utf16, "s", "k", "x").bytes,
              std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0x\0\r\0\n\0", 22));
}

TEST_F(ProfileFile, SameValueLeavesTheFileAlone) {
    const std::string file = "[s]\r\n  k = 1\r\n\r\n";
    EXPECT_EQ(Write(&file, "S", "K", "1").outcome, Outcome::Unchanged);
    EXPECT_EQ(Write(&file, "s", "k", "2").outcome, Outcome::Rewrite);
}

}  // namespace
}  // namespace velmoria
