// ReadSettings through the platform's own profile functions (Win32 under Wine, ours on Linux):
// every case of the music settings, on real files.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <string>

#include "shell/helpers.h"
#include "shell/settings/settings_file.h"
#include "test_files.h"
#include "tests/support/fake_shell_platform.h"

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

// Where the settings come from: the user's own file once it exists, even without the keys;
// until then the program folder's, which gives the starting values; else the defaults.
TEST(SettingsFileRule, UserFileFirstThenTheProgramFoldersFile) {
    struct Case {
        const char* name;
        bool userPossible;    // the platform names a file of the user's own
        const char* user;     // its track, "" for a file without keys, null for no file
        const char* program;  // the same for the program folder's file
        int16_t repeat;
        bool readsUser;
    };
    const Case cases[] = {
        {"both files", true, "7", "3", 7, true},
        {"the user's file without keys", true, "", "3", 0, true},
        {"only the program folder's", true, nullptr, "3", 3, false},
        {"no file of the user's possible", false, nullptr, "3", 3, false},
        {"neither", true, nullptr, nullptr, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        test::FakeShellPlatform platform;
        test::ConnectedShellPlatform connected(platform);
        const auto settings = [&](const char* name, const char* track) {
            if (track == nullptr) {
                return folder.Path(name);
            }
            const std::string keys =
                *track == '\0' ? std::string() : kRepeatBytes + "=" + track + "\r\n";
            return folder.Write(name, "[Section]\r\n" + keys);
        };
        platform.settingsFile = c.userPossible ? settings("user.ini", c.user) : "";
        platform.programSettingsFile = settings("program.ini", c.program);
        platform.programFolder = folder.Folder();
        const std::string programBefore = folder.Read("program.ini");
        BgmRepeat = 99;
        ReadSettings();
        EXPECT_EQ(BgmRepeat, c.repeat);
        EXPECT_EQ(SettingsFileToRead(), c.readsUser            ? platform.settingsFile
                                        : c.program != nullptr ? platform.programSettingsFile
                                                               : "");
        EXPECT_EQ(folder.Read("program.ini"), programBefore);
    }
}

TEST(SettingsFileRule, NoFileNameIsNoFile) {
    ApiResult = 1;
    WriteIniString(kSettingsSection, kKeyBgmKind, "1", "");
    EXPECT_EQ(ApiResult, 0);
    EXPECT_EQ(GetIniString(kSettingsSection, kKeyBgmKind, ""), "");
}

#ifdef _WIN32
// The narrow profile functions reach the user's folder whatever script its name is in: a name
// the code page cannot spell (Hangul, in code page 932 and 1252 alike) by its short form.
TEST(UserSettingsPathWin32, NamesTheProfileFolderNarrowly) {
    ScratchFolder folder;
    const std::filesystem::path base(folder.Folder());
    for (const std::wstring& name : {std::wstring(L"Roaming"), std::wstring(L"\uD55C\uAE00")}) {
        const std::filesystem::path appData = base / name;
        std::filesystem::create_directory(appData);
        const std::string file = UserSettingsPathWin32(appData.wstring());
        ASSERT_FALSE(file.empty());
        if (name == L"Roaming") {
            EXPECT_EQ(file, folder.Path("Roaming") + "\\Velmoria\\Velmoria.ini");
        }
        CreateDirectoryA(FolderOf(file).c_str(), nullptr);
        EXPECT_NE(WritePrivateProfileStringA("Section", "Key", "1", file.c_str()), 0);
        EXPECT_TRUE(std::filesystem::is_regular_file(appData / "Velmoria" / "Velmoria.ini"));
    }
    EXPECT_EQ(UserSettingsPathWin32(L""), "");
}
#endif

}  // namespace
}  // namespace velmoria
