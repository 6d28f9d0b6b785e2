// The session form's decisions against a recording platform and scripted music entry points:
// what its load starts for each music setting, its timers, the renderer watch with its grace
// for a slow start, and what its unload stops.
#include "shell/forms/session.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "assets/particle_sprite.h"
#include "common/saver_contract.h"
#include "shell/music/skorvane_bgm.h"
#include "shell/music/sound_player.h"
#include "shell/settings/settings_file.h"
#include "tests/music/scripted_bgm_platform.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

using Commands = std::vector<std::string>;

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shell_.music = &music_;
        ResetBgmModule();
        BgmKind = 0;
        BgmRepeat = 0;
        BgmFile.clear();
        CursorCount = 0;
        ApiResult = 0;
    }

    // Loads the session form as Main does, for the given command line.
    SessionForm& Load(const std::string& argumentText = "/s") {
        session_ = std::make_unique<SessionForm>(argumentText, [this] { return now_; });
        session_->Load();
        return *session_;
    }
    test::FakeShellPlatform::Form& Form() { return *shell_.FormTitled("Skorvane_Main"); }
    std::set<int> TimersOn() {
        std::set<int> on;
        for (const auto& [timer, interval] : Form().timers) {
            on.insert(timer);
        }
        return on;
    }
    // Clears what the music entry points have recorded so far.
    void ForgetMusic() {
        music_.sends.clear();
        music_.sounds.clear();
    }

    test::FakeShellPlatform shell_;
    test::ConnectedShellPlatform connected_{shell_};
    ScriptedBgmPlatform music_;
    std::unique_ptr<SessionForm> session_;
    int64_t now_ = 0;
};

TEST(MusicFileType, TheLastThreeCharactersUpperCased) {
    EXPECT_EQ(MusicFileType("C:\\Music\\song.MP3"), "MP3");
    EXPECT_EQ(MusicFileType("song.mp3"), "MP3");
    EXPECT_EQ(MusicFileType("mywav"), "WAV");
    EXPECT_EQ(MusicFileType("song.wma"), "WMA");
    EXPECT_EQ(MusicFileType("ab"), "AB");
    EXPECT_EQ(MusicFileType(""), "");
}

TEST_F(SessionTest, LoadWritesTheSpriteStartsTheRendererAndItsWatch) {
    Load();
    EXPECT_EQ(Form().timers, (std::map<int, uint32_t>{{3, 100}}));
    ASSERT_EQ(shell_.files.count(SpriteFilePath()), 1u);
    EXPECT_EQ(shell_.files[SpriteFilePath()], MakeParticleSpriteBmp());
    const char separator = shell_.Paths().style == PathStyle::Windows ? '\\' : '/';
    EXPECT_EQ(RendererPath, std::string("program") + separator + "Velmoria.dll");
    EXPECT_EQ(shell_.programs.started, std::vector<std::string>{RendererPath});
    EXPECT_EQ(ApiResult, 4321);  // the process identifier
    EXPECT_FALSE(Form().shown);  // never shown: only a marker of the running session
}

// What the load starts and the unload stops for each music setting.
TEST_F(SessionTest, MusicByKindAndFileType) {
    struct Case {
        int16_t kind;
        const char* file;
        Commands started;
        std::set<int> timers;
        bool wav;
        Commands stopped;
    };
    const std::string open = "\" type MPEGVideo Alias MP3Play";
    const Commands mp3Stop = {"stop MP3Play", "close MP3Play"};
    const Case cases[] = {
        {0, "song.mp3", {}, {3}, false, {}},
        {-1, "song.mp3", {}, {3}, false, {}},
        {2,
         "C:\\Music\\song.MP3",
         {"open \"C:\\Music\\song.MP3" + open, "play MP3Play"},
         {1, 3},
         false,
         mp3Stop},
        {2, "song.mp3", {"open \"song.mp3" + open, "play MP3Play"}, {1, 3}, false, mp3Stop},
        {2, "song.wma", {}, {3}, false, {}},
        {2, "mywav", {}, {3}, true, {}},
        {2, "theme.WAV", {}, {3}, true, {}},
        {1,
         "",
         {"open cdaudio", "set cdaudio time format tmsf"},
         {2, 3},
         false,
         {"stop cdaudio", "close cdaudio"}},
    };
    for (const Case& c : cases) {
        SetUp();
        shell_.forms.clear();
        shell_.ended = 0;
        BgmKind = c.kind;
        BgmFile = c.file;
        ForgetMusic();
        Load("");
        const std::string name = std::to_string(c.kind) + " " + c.file;
        EXPECT_EQ(music_.Commands(), c.started) << name;
        EXPECT_EQ(TimersOn(), c.timers) << name;
        ASSERT_EQ(music_.sounds.size(), c.wav ? 1u : 0u) << name;
        if (c.wav) {
            EXPECT_EQ(music_.sounds[0].name, c.file);
            EXPECT_EQ(music_.sounds[0].flags, sound_flag::kAsync | sound_flag::kLoop);
        }
        ForgetMusic();
        session_->OnQueryUnload();
        EXPECT_EQ(music_.Commands(), c.stopped) << name;
        // WAV_Stop: the sound player stopped, with no name.
        ASSERT_EQ(music_.sounds.size(), c.wav ? 1u : 0u) << name;
        if (c.wav) {
            EXPECT_FALSE(music_.sounds[0].hasName);
        }
        EXPECT_EQ(shell_.ended, 1) << name;
    }
}

TEST_F(SessionTest, TimersRunTheMusicChecks) {
    BgmKind = 2;
    BgmFile = "song.mp3";
    Load();
    ForgetMusic();
    music_.Script("status MP3Play mode", 0, "stopped");
    session_->OnTimer(1);
    EXPECT_EQ(music_.Commands(),
              (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

// A drive without a disc: the first poll switches polling off for good, and the unload does
// not stop a CD that never played.
TEST_F(SessionTest, CdPollingStopsByItselfWithoutADisc) {
    BgmKind = 1;
    Load();
    music_.Script("status cdaudio current track", 262);
    session_->OnTimer(2);
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(TimersOn(), std::set<int>{3});
    ForgetMusic();
    session_->OnQueryUnload();
    EXPECT_TRUE(music_.Commands().empty());
}

TEST_F(SessionTest, TheCursorComesBackOnlyInModeS) {
    for (const char* text : {"/s", "/S", "-s 1234", ""}) {
        SetUp();
        shell_.cursorCalls.clear();
        CursorCount = text[0] != '\0' ? shell_.ShowCursor(false) : 0;  // as Main hides it
        shell_.cursorCalls.clear();
        Load(text);
        session_->OnQueryUnload();
        const bool modeS = text[0] != '\0';
        EXPECT_EQ(shell_.cursorCalls, modeS ? std::vector<bool>{true} : std::vector<bool>{})
            << text;
        EXPECT_EQ(CursorCount, 0) << text;
    }
}

TEST_F(SessionTest, TheUnloadRunsOnceAndNothingTicksAfterIt) {
    BgmKind = 2;
    BgmFile = "song.mp3";
    Load();
    session_->OnQueryUnload();
    ForgetMusic();
    session_->OnQueryUnload();
    session_->OnTimer(1);
    session_->OnTimer(3);
    EXPECT_TRUE(music_.Commands().empty());
    EXPECT_EQ(shell_.ended, 1);
}

// The renderer watch, tick by tick: the window seen or not, the process ended or not, the time.
TEST_F(SessionTest, TheWatchWaitsForASlowRendererAndEndsWhenItGoes) {
    struct Tick {
        int64_t ms;
        bool window;
        bool processEnded;
        bool ends;
    };
    struct Case {
        const char* name;
        bool startFails;
        std::vector<Tick> ticks;
        std::optional<int> exitCode;  // the renderer's, once ended
        bool failed;                  // the session could not do its job
    };
    const Case cases[] = {
        {"seen, then gone",
         false,
         {{100, false, false, false},
          {200, true, false, false},
          {300, true, false, false},
          {400, false, false, true}},
         0,
         false},
        {"seen, then gone with an error",
         false,
         {{100, true, false, false}, {200, false, true, true}},
         1,
         true},
        {"never seen, process ended",
         false,
         {{100, false, false, false}, {900, false, false, false}, {1000, false, true, true}},
         1,
         true},
        {"never seen, ended with 0", false, {{100, false, true, true}}, 0, true},
        {"never seen within the grace",
         false,
         {{100, false, false, false}, {9999, false, false, false}, {10000, false, false, true}},
         std::nullopt,
         true},
        {"seen after a slow start",
         false,
         {{100, false, false, false},
          {8000, true, false, false},
          {12000, true, false, false},
          {12100, false, false, true}},
         std::nullopt,
         false},
        {"no process at all", true, {{100, false, false, true}}, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SetUp();
        shell_.forms.clear();
        shell_.ended = 0;
        shell_.programs = test::FakeProgramState{};
        shell_.programs.startFails = c.startFails;
        shell_.programs.exitCode = c.exitCode;
        shell_.windows.clear();
        SessionFailed = false;
        now_ = 0;
        Load();
        for (const Tick& tick : c.ticks) {
            now_ = tick.ms;
            shell_.programs.ended = tick.processEnded;
            if (tick.window) {
                shell_.windows.insert(kRendererWindowTitle);
            } else {
                shell_.windows.erase(kRendererWindowTitle);
            }
            session_->OnTimer(3);
            EXPECT_EQ(shell_.ended, tick.ends ? 1 : 0) << c.name << " at " << tick.ms;
            EXPECT_EQ(TimersOn().count(3), tick.ends ? 0u : 1u) << c.name << " at " << tick.ms;
        }
        EXPECT_EQ(SessionFailed, c.failed) << c.name;
    }
    SessionFailed = false;
}

// A daemon runs one hosted copy per monitor: only the copy that takes the session's music lock
// plays, and only what it played is stopped. An ordinary start plays whatever the lock says.
TEST_F(SessionTest, OneHostedCopyPlaysTheMusic) {
    struct Case {
        bool hosted;
        bool lockHeld;  // by another copy
        int16_t kind;
        const char* file;
        bool plays;
        std::set<int> timers;
    };
    const Case cases[] = {
        {true, false, 2, "song.mp3", true, {1, 3}}, {true, true, 2, "song.mp3", false, {3}},
        {true, true, 2, "theme.wav", false, {3}},   {true, true, 1, "", false, {3}},
        {true, false, 1, "", true, {2, 3}},         {false, true, 2, "song.mp3", true, {1, 3}},
        {false, false, 2, "theme.wav", true, {3}},  {false, true, 1, "", true, {2, 3}},
    };
    for (const Case& c : cases) {
        SetUp();
        shell_.forms.clear();
        shell_.ended = 0;
        shell_.musicLockTakes = 0;
        shell_.musicLockHeld = c.lockHeld;
        RendererHosted = c.hosted;
        BgmKind = c.kind;
        BgmFile = c.file;
        ForgetMusic();
        Load("");
        const std::string name = std::string(c.hosted ? "hosted" : "ordinary") +
                                 (c.lockHeld ? ", lock held, " : ", lock free, ") + c.file;
        EXPECT_EQ(shell_.musicLockTakes, 1) << name;
        const bool played = !music_.Commands().empty() || !music_.sounds.empty();
        EXPECT_EQ(played, c.plays) << name;
        EXPECT_EQ(TimersOn(), c.timers) << name;
        ForgetMusic();
        session_->OnQueryUnload();
        const bool stopped = !music_.Commands().empty() || !music_.sounds.empty();
        EXPECT_EQ(stopped, c.plays) << name;
        EXPECT_EQ(shell_.ended, 1) << name;
    }
    RendererHosted = false;
}

// Hosted by a screen-saver daemon, the renderer draws in the daemon's window: only its process
// is watched (no grace runs out), and the session's end (the daemon's SIGTERM) ends it too.
TEST_F(SessionTest, AHostedRendererIsWatchedByItsProcessAndEndsWithTheSession) {
    RendererHosted = true;
    Load("");
    for (const int64_t ms : {100, 5000, 10000, 60000}) {
        now_ = ms;
        session_->OnTimer(3);
        EXPECT_EQ(shell_.ended, 0) << "at " << ms;  // no window titled Skorvane_VC, no matter
    }
    EXPECT_EQ(shell_.programs.terminated, 0);
    session_->OnQueryUnload();
    EXPECT_EQ(shell_.programs.terminated, 1);
    EXPECT_EQ(shell_.ended, 1);

    // The renderer ends by itself (its window destroyed): the session ends at the next tick.
    shell_.forms.clear();
    shell_.ended = 0;
    shell_.programs = test::FakeProgramState{};
    Load("");
    now_ = 100;
    session_->OnTimer(3);
    EXPECT_EQ(shell_.ended, 0);
    shell_.programs.ended = true;
    now_ = 200;
    session_->OnTimer(3);
    EXPECT_EQ(shell_.ended, 1);
    EXPECT_EQ(shell_.programs.terminated, 0);  // nothing left to end
    RendererHosted = false;
}

// On Wayland the renderer is watched by its title (the registry) as on X11, and the session's
// end from outside (swayidle's SIGTERM) takes it along; on X11 it is left alone.
TEST_F(SessionTest, OnWaylandTheRendererEndsWithTheSession) {
    for (const bool wayland : {false, true}) {
        SetUp();
        shell_.forms.clear();
        shell_.ended = 0;
        shell_.programs = test::FakeProgramState{};
        shell_.rendererEndsWithSession = wayland;
        Load("/s");
        shell_.windows.insert(kRendererWindowTitle);
        now_ = 100;
        session_->OnTimer(3);
        EXPECT_EQ(shell_.ended, 0) << wayland;
        session_->OnQueryUnload();
        EXPECT_EQ(shell_.programs.terminated, wayland ? 1 : 0) << wayland;
        EXPECT_EQ(shell_.ended, 1) << wayland;
    }
}

}  // namespace
}  // namespace velmoria
