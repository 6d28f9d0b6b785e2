// Skorvane_BGM over the real Linux layer (GStreamer, sound into fakesink or a capture file):
// the once-a-second check restarts an MP3 that has ended, WAV_Stop silences only the sound
// player, polling a CD drive that is not there ends at once; and media that fail: an MP3 whose
// output fails mid-stream stops once and restarts, CD polling stops when the disc fails, goes or
// is slow to read (a FLAC disc image with a cue sheet stands in for the drive).
#include "shell/music/skorvane_bgm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/music/gst/bgm_platform_gst.h"
#include "shell/music/mci_errors.h"
#include "shell/settings/settings_file.h"
#include "tests/music/wave_files.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

namespace fs = std::filesystem;

std::string Status(const std::string& command) {
    return MCI_Status(command);
}

bool WaitForMode(const std::string& mode, double seconds) {
    return WaitUntil(seconds, [&] { return Status("status MP3Play mode") == mode; });
}

class BgmGstTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetBgmModule();
        folder_ = fs::temp_directory_path() /
                  ("velmoria bgm " +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        setenv("VELMORIA_AUDIO_SINK", "fakesink sync=true", 1);
        BgmRepeat = 0;
    }
    void TearDown() override {
        WAV_Stop();
        MP3_Stop();
        unsetenv("VELMORIA_AUDIO_SINK");
        unsetenv("VELMORIA_CD_DEVICE");
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string MakeMp3(double seconds) { return velmoria::MakeMp3(folder_, seconds); }

    fs::path folder_;
};

#define REQUIRE_MP3(path, seconds)                                   \
    std::string path = MakeMp3(seconds);                             \
    if (path.empty()) {                                              \
        GTEST_SKIP() << "lame is not installed: cannot make an MP3"; \
    }

TEST_F(BgmGstTest, CheckRestartsAnMp3ThatHasEnded) {
    REQUIRE_MP3(mp3, 1.0);
    BgmFile = mp3;
    MP3_Play();
    ASSERT_EQ(ApiResult, 0) << "open failed";
    EXPECT_TRUE(MP3_IsPlaying());
    MP3_Check();  // playing: left alone
    EXPECT_TRUE(MP3_IsPlaying());

    ASSERT_TRUE(WaitForMode("stopped", 5.0));
    EXPECT_FALSE(MP3_IsPlaying());
    MP3_Check();
    EXPECT_TRUE(MP3_IsPlaying());
    EXPECT_LT(std::atoi(Status("status MP3Play position").c_str()), 800);
    // And again at its next end.
    ASSERT_TRUE(WaitForMode("stopped", 5.0));
    MP3_Check();
    EXPECT_TRUE(MP3_IsPlaying());

    MP3_Stop();
    EXPECT_EQ(Status("status MP3Play mode"), "Error:263");
    // The failing query empties the mode buffer, as winmm does.
    EXPECT_FALSE(MP3_IsPlaying());
}

TEST_F(BgmGstTest, WavStopSilencesOnlyTheSoundPlayer) {
    REQUIRE_MP3(mp3, 4.0);
    BgmFile = mp3;
    MP3_Play();
    ASSERT_EQ(ApiResult, 0);

    // The sound player's output goes to a file; it is opened when the sound starts.
    fs::path out = folder_ / "wav.raw";
    std::string sink =
        "audioconvert ! audio/x-raw,format=S16LE,channels=1 ! filesink sync=true "
        "location=\"" +
        out.string() + "\"";
    setenv("VELMORIA_AUDIO_SINK", sink.c_str(), 1);
    BgmFile = (folder_ / "loop me.wav").string();
    WriteWave(BgmFile, std::vector<int16_t>(8000, 1000), 8000);
    WAV_Play();
    EXPECT_NE(ApiResult, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    WAV_Stop();
    EXPECT_NE(ApiResult, 0);
    // Looped: more than the file's one second arrived.
    ASSERT_TRUE(fs::exists(out));
    auto size = fs::file_size(out);
    EXPECT_GT(size, 8000u * 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(fs::file_size(out), size) << "the sound player still plays";
    EXPECT_TRUE(MP3_IsPlaying());
}

TEST_F(BgmGstTest, WavWithoutAnOutputIsNotPlayed) {
    setenv("VELMORIA_AUDIO_SINK", "nosuchaudiosinkelement", 1);
    EXPECT_FALSE(MCI_HasWaveOut());
    BgmFile = (folder_ / "loop.wav").string();
    WriteWave(BgmFile, std::vector<int16_t>(800, 0), 8000);
    ApiResult = 12345;
    WAV_Play();
    EXPECT_EQ(ApiResult, 12345) << "the sound player was called";
    WAV_Stop();
}

TEST_F(BgmGstTest, CdPollingWithoutADriveStopsAtOnce) {
    setenv("VELMORIA_CD_DEVICE", (folder_ / "no-drive").c_str(), 1);
    CD_Open();
    CdAlive = true;
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(Status("status cdaudio current track"), "Error:266");
}

using Clock = std::chrono::steady_clock;

// An audio output that fails after `buffers` buffers, as a device does when it goes away.
std::string FailingSink(int buffers) {
    return "identity error-after=" + std::to_string(buffers) + " ! fakesink sync=true";
}

TEST_F(BgmGstTest, AnMp3WhoseOutputFailsMidStreamStopsOnceAndRestarts) {
    REQUIRE_MP3(mp3, 3.0);
    setenv("VELMORIA_AUDIO_SINK", FailingSink(30).c_str(), 1);
    BgmFile = mp3;
    MP3_Play();
    ASSERT_EQ(ApiResult, 0) << "open failed";
    ASSERT_TRUE(WaitForMode("stopped", 5.0));
    EXPECT_LT(std::atoi(Status("status MP3Play position").c_str()), 2500) << "not mid-stream";
    // The once-a-second check restarts it, and it plays again instead of reading "stopped" at
    // once for an error that has been dealt with.
    MP3_Check();
    EXPECT_EQ(ApiResult, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(MP3_IsPlaying());
    ASSERT_TRUE(WaitForMode("stopped", 5.0));
}

// The CD procedures over a Linux layer whose drive is a stand-in: a disc image, and a tray the
// test opens.
class BgmDiscTest : public BgmGstTest {
  protected:
    void SetUp() override {
        BgmGstTest::SetUp();
        disc_ = MakeDisc(folder_);
        if (disc_.empty()) {
            GTEST_SKIP() << "flac is not installed: cannot make a disc image";
        }
        CdAlive = false;
    }
    void TearDown() override {
        CD_Stop();
        BgmGstTest::TearDown();
    }

    // Connects a Linux layer whose disc source is `source` and whose tray is `discInDrive_`.
    void UseDisc(const std::string& source) {
        MciGstOptions options;
        options.discSource = source;
        options.discInDrive = [this] { return discInDrive_; };
        music_ = std::make_unique<BgmPlatformGst>(options);
        shell_.music = music_.get();
        connected_ = std::make_unique<test::ConnectedShellPlatform>(shell_);
    }
    std::string DiscSource() const {
        return "filesrc location=\"" + disc_ + "\" ! flacparse ! flacdec";
    }
    // CD_Check every 200 ms, as Timer2 does, until `done` or `seconds`; the longest time one
    // check and its query took.
    template <typename Condition>
    double PollUntil(double seconds, Condition done) {
        double longest = 0;
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            const auto start = Clock::now();
            if (done() || start > end) {
                break;
            }
            CD_Check();
            longest =
                std::max(longest, std::chrono::duration<double>(Clock::now() - start).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return longest;
    }

    std::string disc_;
    bool discInDrive_ = true;
    test::FakeShellPlatform shell_;
    std::unique_ptr<BgmPlatformGst> music_;
    std::unique_ptr<test::ConnectedShellPlatform> connected_;
};

TEST_F(BgmDiscTest, PollingStopsWhenTheDiscFailsMidStream) {
    setenv("VELMORIA_AUDIO_SINK", FailingSink(40).c_str(), 1);
    UseDisc(DiscSource());
    CD_Open();
    PollUntil(5.0, [] { return Status("status cdaudio mode") == "playing"; });
    ASSERT_EQ(Status("status cdaudio mode"), "playing");
    EXPECT_TRUE(CdAlive);
    // The failure ends polling for good instead of seeking back into the disc every 200 ms.
    PollUntil(5.0, [] { return !CdAlive; });
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(Status("status cdaudio current track"), "Error:262");
}

TEST_F(BgmDiscTest, PollingStopsWhenTheTrayOpens) {
    UseDisc(DiscSource());
    CD_Open();
    PollUntil(5.0, [] { return Status("status cdaudio mode") == "playing"; });
    ASSERT_TRUE(CdAlive);
    ASSERT_EQ(Status("status cdaudio number of tracks"), "3");
    discInDrive_ = false;  // ejected, or about to be changed
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(Status("status cdaudio current track"), "Error:262");
}

// A disc that takes seconds to read (here four) never holds up a poll: it answers "not ready"
// meanwhile, and plays once it has been read.
TEST_F(BgmDiscTest, ASlowDiscKeepsEveryPollShort) {
    UseDisc(DiscSource() + " ! identity sleep-time=4000000");
    CD_Open();
    const double longest =
        PollUntil(12.0, [] { return Status("status cdaudio mode") == "playing"; });
    EXPECT_EQ(Status("status cdaudio mode"), "playing");
    EXPECT_TRUE(CdAlive);
    EXPECT_LT(longest, 1.0);
}

}  // namespace
}  // namespace velmoria
