// Main's mode table and its single-instance test, against a recording platform.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/saver_contract.h"
#include "shell/settings/settings_file.h"
#include "shell/startup.h"
#include "test_files.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

class FakeActivities final : public ShellActivities {
  public:
    void StartPreview(int32_t hostWindow) override { preview = hostWindow; }
    void ShowSettingsDialog() override { ++dialogs; }
    void LoadSessionForm() override { ++sessions; }

    std::optional<int32_t> preview;
    int dialogs = 0;
    int sessions = 0;
};

struct Started {
    AfterMain after;
    std::unique_ptr<test::FakeShellPlatform> platform;
    FakeActivities activities;
};

class MainTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BgmKind = 0;
        BgmFolder.clear();
        CursorCount = 0;
        // Settings that show whether ReadSettings ran: kind 1 and the fake program folder.
        ini_ = folder_.Write("Velmoria.ini", "[Section]\r\nBGM\x8B\xE6\x95\xAA=1\r\n");
    }

    // Runs Main with `text`, while a window titled `window` exists when one is given.
    Started Start(const std::string& text, const char* window = nullptr, bool hosted = false) {
        Started run{AfterMain::EndProgram, std::make_unique<test::FakeShellPlatform>(), {}};
        run.platform->settingsFile = ini_;
        if (window != nullptr) {
            run.platform->windows.insert(window);
        }
        test::ConnectedShellPlatform connected(*run.platform);
        run.after = Main(text, run.activities, hosted);
        return run;
    }

    ScratchFolder folder_;
    std::string ini_;
};

struct ModeCase {
    const char* text;
    std::string letter;
    int dialogs;
    int sessions;
    bool hidesCursor;
    AfterMain after;
};

TEST_F(MainTest, ModeTable) {
    const AfterMain end = AfterMain::EndProgram;
    const AfterMain live = AfterMain::RunWhileWindowsLoaded;
    const ModeCase cases[] = {
        {"/S", "S", 0, 1, true, live}, {"/s", "S", 0, 1, true, live},
        {"-s", "S", 0, 1, true, live}, {"/s 1234", "S", 0, 1, true, live},
        {"", "", 0, 1, false, live},   {"s", "", 0, 0, false, end},
        {"/c", "C", 1, 0, false, end}, {"/c:1234", "C", 1, 0, false, end},
        {"/a", "A", 0, 0, false, end}, {"/a 1234", "A", 0, 0, false, end},
        {"/x", "X", 0, 0, false, end},
    };
    for (const ModeCase& c : cases) {
        SetUp();
        const Started run = Start(c.text);
        EXPECT_EQ(ModeLetter(c.text), c.letter) << c.text;
        EXPECT_EQ(run.after, c.after) << c.text;
        EXPECT_EQ(run.platform->folders, std::vector<std::string>{WorkFolderPath()}) << c.text;
        EXPECT_EQ(BgmKind, 1) << c.text;
        EXPECT_EQ(BgmFolder, "program") << c.text;
        EXPECT_EQ(run.activities.dialogs, c.dialogs) << c.text;
        EXPECT_EQ(run.activities.sessions, c.sessions) << c.text;
        EXPECT_FALSE(run.activities.preview.has_value()) << c.text;
        EXPECT_EQ(run.platform->cursorCalls,
                  c.hidesCursor ? std::vector<bool>{false} : std::vector<bool>{})
            << c.text;
        EXPECT_EQ(CursorCount, c.hidesCursor ? -1 : 0) << c.text;
    }
}

TEST_F(MainTest, PreviewTakesTheHandleFromTheFourthCharacter) {
    for (const char* text : {"/p 1234", "/P:1234", "-p 1234 99", "/p  1234"}) {
        const Started run = Start(text);
        EXPECT_EQ(run.activities.preview, 1234) << text;
        EXPECT_EQ(run.after, AfterMain::RunWhileWindowsLoaded) << text;
        // Nothing else of Main runs: no folder, no settings, no cursor.
        EXPECT_TRUE(run.platform->folders.empty()) << text;
        EXPECT_EQ(BgmKind, 0) << text;
        EXPECT_TRUE(run.platform->cursorCalls.empty()) << text;
        EXPECT_EQ(run.activities.sessions, 0) << text;
    }
}

TEST_F(MainTest, PreviewHandleThatIsNotANumber) {
    for (const char* text : {"/p", "/p ", "/p abc", "/p-"}) {
        const Started run = Start(text);
        EXPECT_EQ(run.activities.preview, 0) << text;
    }
}

TEST_F(MainTest, PreviewHandleOutOfRangeFailsItsStep) {
    const Started run = Start("/p 99999999999");
    EXPECT_FALSE(run.activities.preview.has_value());
    // The steps after it run, and the mode, neither "S" nor empty, ends the program.
    EXPECT_EQ(run.platform->folders, std::vector<std::string>{WorkFolderPath()});
    EXPECT_EQ(run.after, AfterMain::EndProgram);
    EXPECT_EQ(run.activities.sessions, 0);
}

TEST_F(MainTest, AnotherInstanceEndsEveryMode) {
    for (const char* title : {"Skorvane_Main", "<Velmoria>"}) {
        for (const char* text : {"/s", "", "/c", "/p 1234", "/a"}) {
            const Started run = Start(text, title);
            EXPECT_EQ(run.after, AfterMain::EndProgram) << title << " " << text;
            EXPECT_TRUE(run.platform->folders.empty()) << title << " " << text;
            EXPECT_FALSE(run.activities.preview.has_value()) << title << " " << text;
            EXPECT_EQ(run.activities.dialogs + run.activities.sessions, 0) << title << " " << text;
            EXPECT_TRUE(run.platform->cursorCalls.empty()) << title << " " << text;
        }
    }
}

// A daemon starts one hosted copy per monitor at once: each runs its session beside the others.
TEST_F(MainTest, HostedCopiesPassTheInstanceTest) {
    for (const char* title : {"Skorvane_Main", "<Velmoria>"}) {
        BgmKind = 0;
        const Started run = Start("", title, true);
        EXPECT_EQ(run.after, AfterMain::RunWhileWindowsLoaded) << title;
        EXPECT_EQ(run.activities.sessions, 1) << title;
        EXPECT_EQ(BgmKind, 1) << title;  // the settings were read
        EXPECT_TRUE(run.platform->cursorCalls.empty()) << title;
    }
}

TEST_F(MainTest, OtherTitlesBlockNothing) {
    for (const char* title : {"Preview Window", "Skorvane_VC", "skorvane_main", "<Velmoria> "}) {
        const Started run = Start("/s", title);
        EXPECT_EQ(run.activities.sessions, 1) << title;
    }
}

TEST(CursorDisplayCount, FollowsShowCursorRules) {
    CursorDisplayCount count;
    EXPECT_TRUE(count.Visible());
    EXPECT_EQ(count.Show(false), -1);
    EXPECT_FALSE(count.Visible());
    EXPECT_EQ(count.Show(false), -2);
    EXPECT_EQ(count.Show(true), -1);
    EXPECT_EQ(count.Show(true), 0);
    EXPECT_TRUE(count.Visible());
    EXPECT_EQ(count.Show(true), 1);
}

}  // namespace
}  // namespace velmoria
