// Skorvane_BGM over the real Linux layer (GStreamer, sound into fakesink or a capture file):
// the once-a-second check restarts an MP3 that has ended, WAV_Stop silences only the sound
// player, and polling a CD drive that is not there ends at once.
#include "shell/music/skorvane_bgm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/music/gst/mci_gst.h"
#include "shell/music/mci_errors.h"
#include "shell/settings_file.h"
#include "tests/music/wave_files.h"

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

}  // namespace
}  // namespace velmoria
