// Our Linux profile functions on real files: code page 932 bytes, the byte-order-mark encodings,
// the refusals that leave the file alone, and the replacement through a temporary file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "shell/settings_file.h"
#include "test_files.h"

namespace velmoria {
namespace {

TEST(LinuxProfile, JapaneseKeysAndValuesAreCodePage932) {
    ScratchFolder folder;
    const std::string ini = folder.Path("Velmoria.ini");
    WriteIniString("Section", "BGMﾌｧｲﾙ", "/音楽/テーマ.mp3", ini);
    EXPECT_EQ(ApiResult, 1);
    EXPECT_EQ(
        folder.Read("Velmoria.ini"),
        "[Section]\r\nBGM\xCC\xA7\xB2\xD9=/\x89\xB9\x8A\x79/\x83\x65\x81\x5B\x83\x7D.mp3\r\n");
    EXPECT_EQ(GetIniString("section", "bgmﾌｧｲﾙ", ini), "/音楽/テーマ.mp3");
}

TEST(LinuxProfile, ValueWithoutCodePage932FormIsRefused) {
    ScratchFolder folder;
    const std::string before = "[Section]\r\nk=1\r\n";
    const std::string ini = folder.Write("Velmoria.ini", before);
    for (const char* value : {"café", "😀", "\xFF\xFE"}) {
        ApiResult = 1;
        WriteIniString("Section", "k", value, ini);
        EXPECT_EQ(ApiResult, 0) << value;
        EXPECT_EQ(folder.Read("Velmoria.ini"), before) << value;
    }
    WriteIniString("Séction", "k", "2", ini);
    EXPECT_EQ(ApiResult, 0);
    EXPECT_EQ(folder.Read("Velmoria.ini"), before);
}

TEST(LinuxProfile, LongJapaneseValueIsCutAtACharacter) {
    ScratchFolder folder;
    std::string value;
    for (int i = 0; i < 200; ++i) {
        value += "\x82\xA0";  // あ, two bytes
    }
    const std::string ini = folder.Write("a.ini", "[s]\r\nk=x" + value + "\r\n");
    const std::string got = GetIniString("s", "k", ini);
    // "x" and 127 whole characters: 255 bytes, the limit, without half a character.
    std::string expected = "x";
    for (int i = 0; i < 127; ++i) {
        expected += "あ";
    }
    EXPECT_EQ(got, expected);
}

TEST(LinuxProfile, OddBytesReadAsThePlatformReadsThem) {
    ScratchFolder folder;
    // 80, A0, FD survive a rewrite; a lead byte swallows the byte after it, and a bad pair
    // (or a lead byte at the very end) becomes "・".
    const std::string ini =
        folder.Write("a.ini", "[s]\r\nodd=\x80\xA0\xFD\r\nbad=\x81 z\x85\x40y\r\nk=1\r\nend=\x81");
    EXPECT_EQ(GetIniString("s", "odd", ini), "\u0080\uF8F0\uF8F1");
    EXPECT_EQ(GetIniString("s", "bad", ini), "・z・y");
    WriteIniString("s", "k", "2", ini);
    EXPECT_EQ(ApiResult, 1);
    EXPECT_EQ(folder.Read("a.ini"),
              "[s]\r\nodd=\x80\xA0\xFD\r\nbad=\x81\x45z\x81\x45y\r\nk=2\r\nend=\x81\x45\r\n");
}

TEST(LinuxProfile, ByteOrderMarksKeepTheirEncoding) {
    ScratchFolder folder;
    const std::string utf8 = folder.Write("u8.ini", "\xEF\xBB\xBF[s]\r\nk=é\r\n");
    EXPECT_EQ(GetIniString("s", "k", utf8), "é");
    WriteIniString("s", "j", "ü", utf8);
    EXPECT_EQ(ApiResult, 1);
    EXPECT_EQ(folder.Read("u8.ini"), "\xEF\xBB\xBF[s]\r\nk=é\r\nj=ü\r\n");

    const std::string utf16 =
        folder.Write("u16.ini", std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0\xE9\0", 16));
    EXPECT_EQ(GetIniString("s", "k", utf16), "é");
    WriteIniString("s", "k", "x", utf16);
    EXPECT_EQ(folder.Read("u16.ini"),
              std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0x\0\r\0\n\0", 22));
}

TEST(LinuxProfile, ReplacedThroughATemporaryFile) {
    ScratchFolder folder;
    const std::string ini = folder.Write("a.ini", "[s]\r\nk=1\r\n");
    chmod(ini.c_str(), 0640);
    struct stat before {};
    stat(ini.c_str(), &before);
    WriteIniString("s", "k", "2", ini);
    struct stat after {};
    stat(ini.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino);  // a new file renamed into place
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.Folder())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);  // no temporary file left behind
}

TEST(LinuxProfile, WritesThroughASymbolicLink) {
    ScratchFolder folder;
    const std::string real = folder.Write("real.ini", "[s]\r\nk=1\r\n");
    const std::string link = folder.Path("link.ini");
    std::filesystem::create_symlink(real, link);
    WriteIniString("s", "k", "2", link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(folder.Read("real.ini"), "[s]\r\nk=2\r\n");
}

TEST(LinuxProfile, ReadOnlyFileOrFolderIsNotWritten) {
    ScratchFolder folder;
    const std::string ini = folder.Write("a.ini", "[s]\r\nk=1\r\n");
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes every file";
    }
    chmod(ini.c_str(), 0444);
    WriteIniString("s", "k", "2", ini);
    EXPECT_EQ(ApiResult, 0);
    EXPECT_EQ(folder.Read("a.ini"), "[s]\r\nk=1\r\n");
    chmod(folder.Folder().c_str(), 0555);
    WriteIniString("s", "new", "2", folder.Path("b.ini"));
    EXPECT_EQ(ApiResult, 0);
}

TEST(LinuxProfile, MissingFoldersAreMade) {
    ScratchFolder folder;
    const std::string ini = folder.Path("config/velmoria/Velmoria.ini");
    WriteIniString("Section", "k", "1", ini);
    EXPECT_EQ(ApiResult, 1);
    EXPECT_EQ(folder.Read("config/velmoria/Velmoria.ini"), "[Section]\r\nk=1\r\n");
    struct stat info {};
    stat(folder.Path("config/velmoria").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace velmoria
