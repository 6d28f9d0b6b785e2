// ReadSettings through the platform's own profile functions (Win32 under Wine, ours on Linux):
// every case of the music settings, on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "shell/helpers.h"
#include "shell/settings_file.h"
#include "test_files.h"

namespace velmoria {
namespace {

// The key names as code page 932 bytes, which is what the file holds on both platforms.
const std::string kKindBytes = "BGM\x8B\xE6\x95\xAA";
const std::string kRepeatBytes = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string kFileBytes = "BGM\xCC\xA7\xB2\xD9";

class ReadSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BgmKind = 0;
        BgmRepeat = 0;
        BgmFile = "stale";
        BgmFolder = "stale";
    }

    void Read(const std::string& lines) {
        const std::string ini = folder_.Write("Velmoria.ini", "[Section]\r\n" + lines);
        ReadSettingsFrom(ini, programFolder_);
    }

    ScratchFolder folder_;
    const std::string programFolder_ = folder_.Folder();
};

TEST_F(ReadSettingsTest, NoSettingsFile) {
    BgmKind = 7;  // what an earlier run might have left; a missing key means 0
    ReadSettingsFrom(folder_.Path("missing.ini"), programFolder_);
    EXPECT_EQ(BgmKind, 0);
    EXPECT_EQ(BgmRepeat, 0);
    EXPECT_EQ(BgmFile, "");
    EXPECT_EQ(BgmFolder, programFolder_);
}

TEST_F(ReadSettingsTest, MusicFileKeptWhileItExists) {
    const std::filesystem::path music = std::filesystem::path(folder_.Folder()) / "music";
    std::filesystem::create_directory(music);
    const std::string theme = (music / "theme.mp3").string();
    folder_.Write("music/theme.mp3", "ID3");
    Read(kKindBytes + "=2\r\n" + kRepeatBytes + "=3\r\n" + kFileBytes + "=" + theme + "\r\n");
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(BgmRepeat, 3);
    EXPECT_EQ(BgmFile, theme);
    EXPECT_EQ(BgmFolder, music.string());
}

TEST_F(ReadSettingsTest, MusicFileGoneOrEmptyDemotesKindTwo) {
    for (const std::string& fileLine :
         {kFileBytes + "=" + folder_.Path("gone.mp3") + "\r\n", kFileBytes + "=\r\n", std::string(),
          kFileBytes + "=" + folder_.Folder() + "\r\n"}) {
        BgmFile = "stale";
        Read(kKindBytes + "=2\r\n" + fileLine);
        EXPECT_EQ(BgmKind, 0) << fileLine;
        EXPECT_EQ(BgmFile, "") << fileLine;
        EXPECT_EQ(BgmFolder, programFolder_) << fileLine;
    }
}

TEST_F(ReadSettingsTest, CdKindSurvivesWithoutFile) {
    Read(kKindBytes + "=1\r\n" + kFileBytes + "=" + folder_.Path("gone.mp3") + "\r\n");
    EXPECT_EQ(BgmKind, 1);
    EXPECT_EQ(BgmFile, "");
    Read(kKindBytes + "=1\r\n");
    EXPECT_EQ(BgmKind, 1);
}

TEST_F(ReadSettingsTest, NumberRules) {
    struct Case {
        const char* text;
        int16_t before;
        int16_t expected;
    };
    const Case cases[] = {
        {"1.9", 0, 1},       {"abc", 0, 0},   {"abc", 5, 5}, {"40000", 0, 0},
        {"40000", 5, 5},     {"-1", 0, -1},   {"", 5, 0},    {"-0.5", 0, -1},
        {"32767", 0, 32767}, {"\"1\"", 0, 1}, {" 1 ", 5, 1},
    };
    for (const Case& c : cases) {
        BgmKind = c.before;
        BgmRepeat = c.before;
        Read(kKindBytes + "=" + c.text + "\r\n" + kRepeatBytes + "=" + c.text + "\r\n");
        EXPECT_EQ(BgmKind, c.expected) << c.text;
        EXPECT_EQ(BgmRepeat, c.expected) << c.text;
    }
}

TEST_F(ReadSettingsTest, LongPathIsCutTo255Bytes) {
    const std::string longPath = "C:\\" + std::string(300, 'a') + ".mp3";
    const std::string ini =
        folder_.Write("long.ini", "[Section]\r\n" + kFileBytes + "=" + longPath + "\r\n");
    EXPECT_EQ(GetIniString("Section", kKeyBgmFile, ini), longPath.substr(0, 255));
}

TEST_F(ReadSettingsTest, FileInTheRootFolder) {
#ifdef _WIN32
    const std::string root = "C:\\velmoria-root-test.mp3";
    const std::string expectedFolder = "C:";
#else
    const std::string root = "/velmoria-root-test.mp3";
    const std::string expectedFolder = "/";
#endif
    std::error_code error;
    std::filesystem::remove(root, error);
    if (!std::ofstream(root, std::ios::binary).put('x')) {
        GTEST_SKIP() << "the root folder is not writable";
    }
    Read(kKindBytes + "=2\r\n" + kFileBytes + "=" + root + "\r\n");
    std::filesystem::remove(root, error);
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(BgmFile, root);
    EXPECT_EQ(BgmFolder, expectedFolder);
}

TEST_F(ReadSettingsTest, WriterAndReaderAgree) {
    const std::string ini = folder_.Path("written.ini");
    const std::string theme = folder_.Write("theme.wav", "RIFF");
    WriteIniString(kSettingsSection, kKeyBgmKind, "2", ini);
    EXPECT_NE(ApiResult, 0);
    WriteIniString(kSettingsSection, kKeyBgmRepeat, "0", ini);
    WriteIniString(kSettingsSection, kKeyBgmFile, theme, ini);
    EXPECT_EQ(folder_.Read("written.ini"), "[Section]\r\n" + kKindBytes + "=2\r\n" + kRepeatBytes +
                                               "=0\r\n" + kFileBytes + "=" + theme + "\r\n");
    ReadSettingsFrom(ini, programFolder_);
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(BgmFile, theme);
    EXPECT_EQ(BgmFolder, folder_.Folder());
}

TEST_F(ReadSettingsTest, FailedWriteLeavesFileAlone) {
    // A folder where the file should be: nothing can be written there.
    std::filesystem::create_directory(folder_.Path("Velmoria.ini"));
    ApiResult = 1;
    WriteIniString(kSettingsSection, kKeyBgmKind, "1", folder_.Path("Velmoria.ini"));
    EXPECT_EQ(ApiResult, 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder_.Path("Velmoria.ini")));
}

}  // namespace
}  // namespace velmoria
