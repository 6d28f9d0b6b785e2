// Our Linux profile functions on real files: the replacement through a temporary file, links,
// permissions and missing folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "shell/posix/text_codec_iconv.h"
#include "shell/settings/settings_file.h"
#include "shell/settings_dialog/settings_dialog.h"
#include "shell/startup.h"
#include "test_files.h"

namespace velmoria {
namespace {

// What the settings dialog's OK writes for a music file whose name code page 932 cannot hold,
// read back by the next start: the setting is kept, not forgotten.
TEST(LinuxProfile, MusicFileNamesOutsideCodePage932SurviveARestart) {
    for (const char* name : {"café.mp3", "пісня.mp3", "🎵 song.mp3", "〜wave—dash−minus.mp3"}) {
        ScratchFolder folder;
        const std::string music = folder.Write(name, "ID3");
        const std::string ini = folder.Path("Velmoria.ini");
        WriteIniString(kSettingsSection, kKeyBgmKind, "2", ini);
        WriteIniString(kSettingsSection, kKeyBgmRepeat, "0", ini);
        WriteIniString(kSettingsSection, kKeyBgmFile, music, ini);
        EXPECT_EQ(ApiResult, 1) << name;
        BgmKind = 0;
        BgmFile.clear();
        ReadSettingsFrom(ini, folder.Folder());
        EXPECT_EQ(BgmKind, 2) << name;
        EXPECT_EQ(BgmFile, music) << name;
    }
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

// What a picked path takes in the settings file: code page 932 bytes where it can, else UTF-8
// (the whole file is then written in UTF-8); a name that is not UTF-8 cannot be kept at all.
TEST(StoredValueLength, CountsTheBytesTheFileWillHold) {
    TextCodecIconv codec;
    std::string hundred;
    for (int i = 0; i < 100; ++i) {
        hundred += "曲";
    }
    struct Case {
        std::string path;
        std::optional<size_t> bytes;
    };
    const Case cases[] = {
        {"/music/a.mp3", 12},
        {"/音楽/曲.mp3", 12},             // three characters of two bytes in code page 932
        {"/" + hundred, 201},             // 301 bytes of UTF-8
        {"/\xF0\x9F\x8E\xB5.mp3", 9},     // no code page 932 form: UTF-8
        {"/\xFC\xFD.mp3", std::nullopt},  // not UTF-8
        {"/a\xC3", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StoredValueLength(codec, c.path), c.bytes) << c.path;
    }
}

}  // namespace
}  // namespace velmoria
