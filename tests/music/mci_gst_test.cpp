// The Linux MCI layer and sound player for real, over GStreamer, with sound made at test time:
// MP3 playback through command strings, the gapless WAV loop captured from the sink, the
// device count and the CD device without a drive.
#include "shell/music/gst/bgm_platform_gst.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/music/mci_errors.h"
#include "shell/music/sound_player.h"
#include "tests/music/wave_files.h"

namespace velmoria {
namespace {

namespace fs = std::filesystem;
using namespace mci_error;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 8000;
// One period of the test tone's counter: every sample differs from the last by one.
constexpr int kRamp = 4000;

// Half a second counting -2000, -1999, ... 1999: a loop joins without a seam exactly when the
// count goes on.
std::vector<int16_t> RampSamples() {
    std::vector<int16_t> samples(kRamp);
    for (int i = 0; i < kRamp; ++i) {
        samples[i] = static_cast<int16_t>(i - kRamp / 2);
    }
    return samples;
}

// The entry points as the shell holds them: one for the whole program, never destroyed.
BgmPlatformGst& Gst() {
    static BgmPlatformGst* platform = new BgmPlatformGst();
    return *platform;
}

std::string Send(const std::string& command, uint32_t* code) {
    char reply[512] = {};
    *code = Gst().MciSendString(command.c_str(), reply, sizeof reply);
    return reply;
}

// Polls "status ALIAS mode" until it answers want or the time is up.
bool WaitForMode(const std::string& alias, const std::string& want, double seconds) {
    return WaitUntil(seconds, [&] {
        uint32_t code = 0;
        return Send("status " + alias + " mode", &code) == want && code == kNone;
    });
}

class MciGstTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("velmoria music " +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        // Real-time playback into nothing.
        setenv("VELMORIA_AUDIO_SINK", "fakesink sync=true", 1);
    }
    void TearDown() override {
        Gst().PlaySoundName(nullptr, 0);
        Gst().MciSendString("close all", nullptr, 0);
        unsetenv("VELMORIA_AUDIO_SINK");
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // A one-second MP3 in a folder with a blank in its name.
    std::string MakeMp3() { return velmoria::MakeMp3(folder_, 1.0); }

    fs::path folder_;
};

#define REQUIRE_MP3(path)                                            \
    std::string path = MakeMp3();                                    \
    if (path.empty()) {                                              \
        GTEST_SKIP() << "lame is not installed: cannot make an MP3"; \
    }

TEST_F(MciGstTest, Mp3WithABlankInItsPathPlaysToTheEndAndAgainFromZero) {
    REQUIRE_MP3(mp3);
    uint32_t code = 1;
    EXPECT_EQ(Send("open \"" + mp3 + "\" type MPEGVideo Alias MP3Play", &code), "1");
    ASSERT_EQ(code, kNone);
    EXPECT_EQ(Send("status MP3Play mode", &code), "stopped");
    std::string length = Send("status MP3Play length", &code);
    EXPECT_NEAR(std::atoi(length.c_str()), 1000, 150) << length;

    auto start = Clock::now();
    EXPECT_EQ(Send("play MP3Play", &code), "");
    EXPECT_EQ(code, kNone);
    EXPECT_EQ(Send("status MP3Play mode", &code), "playing");
    ASSERT_TRUE(WaitForMode("MP3Play", "stopped", 5.0));
    double played = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_GT(played, 0.7);

    // What the once-a-second check sends when the file has ended.
    Send("stop MP3Play", &code);
    EXPECT_EQ(code, kNone);
    Send("play MP3Play from 0", &code);
    EXPECT_EQ(code, kNone);
    EXPECT_EQ(Send("status MP3Play mode", &code), "playing");
    ASSERT_TRUE(WaitForMode("MP3Play", "stopped", 5.0));

    Send("stop MP3Play", &code);
    EXPECT_EQ(code, kNone);
    Send("close MP3Play", &code);
    EXPECT_EQ(code, kNone);
    Send("status MP3Play mode", &code);
    EXPECT_EQ(code, kInvalidDeviceName);
}

TEST_F(MciGstTest, StopHaltsPlaybackAndARangeEndsEarly) {
    REQUIRE_MP3(mp3);
    uint32_t code = 1;
    Send("open \"" + mp3 + "\" type MPEGVideo Alias MP3Play", &code);
    ASSERT_EQ(code, kNone);
    Send("play MP3Play", &code);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Send("stop MP3Play", &code);
    EXPECT_EQ(Send("status MP3Play mode", &code), "stopped");
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    EXPECT_EQ(Send("status MP3Play mode", &code), "stopped");
    int position = std::atoi(Send("status MP3Play position", &code).c_str());
    EXPECT_LT(position, 700);

    Send("play MP3Play from 0 to 300", &code);
    ASSERT_EQ(code, kNone);
    ASSERT_TRUE(WaitForMode("MP3Play", "stopped", 5.0));
    // Stopped at the end of the range, not at the end of the file.
    position = std::atoi(Send("status MP3Play position", &code).c_str());
    EXPECT_NEAR(position, 300, 120);
    Send("play MP3Play from 5000", &code);
    EXPECT_EQ(code, kOutOfRange);
}

TEST_F(MciGstTest, FilesThatCannotBePlayedAreRefusedOnOpen) {
    uint32_t code = 0;
    Send("open \"" + (folder_ / "missing file.mp3").string() + "\" type MPEGVideo Alias x", &code);
    EXPECT_EQ(code, kFileNotFound);
    fs::path text = folder_ / "not music.mp3";
    std::ofstream(text) << "this is not an mp3 file at all\n";
    Send("open \"" + text.string() + "\" type MPEGVideo Alias x", &code);
    EXPECT_EQ(code, kInvalidFile);
    Send("status x mode", &code);
    EXPECT_EQ(code, kInvalidDeviceName);
}

TEST_F(MciGstTest, UnknownCommandsAndAliasesGetCodesAndTexts) {
    uint32_t code = 0;
    Send("fly MP3Play", &code);
    EXPECT_EQ(code, kUnrecognizedCommand);
    char text[256];
    ASSERT_NE(Gst().MciGetErrorString(code, text, sizeof text), 0);
    EXPECT_STREQ(text, "The driver cannot recognize the specified command.");
    Send("status NoSuchAlias mode", &code);
    EXPECT_EQ(code, kInvalidDeviceName);
    ASSERT_NE(Gst().MciGetErrorString(code, text, sizeof text), 0);
    EXPECT_STREQ(text, "The specified device is not open or is not recognized by MCI.");
    EXPECT_EQ(Gst().MciGetErrorString(12345, text, sizeof text), 0);
}

TEST_F(MciGstTest, CdAudioWithoutADriveFailsToOpen) {
    setenv("VELMORIA_CD_DEVICE", (folder_ / "no-drive").c_str(), 1);
    uint32_t code = 0;
    Send("open cdaudio", &code);
    EXPECT_EQ(code, kCannotLoadDriver);
    char text[256];
    ASSERT_NE(Gst().MciGetErrorString(code, text, sizeof text), 0);
    EXPECT_STREQ(text, "There is an undetectable problem in loading the specified device driver.");
    Send("status cdaudio current track", &code);
    EXPECT_EQ(code, kCannotLoadDriver);
    unsetenv("VELMORIA_CD_DEVICE");
}

TEST_F(MciGstTest, DeviceCountFollowsWhetherTheSinkOpens) {
    EXPECT_EQ(Gst().WaveOutGetNumDevs(), 1u);
    setenv("VELMORIA_AUDIO_SINK", "nosuchaudiosinkelement", 1);
    EXPECT_EQ(Gst().WaveOutGetNumDevs(), 0u);
    // And then the MPEGVideo device will not open either.
    REQUIRE_MP3(mp3);
    uint32_t code = 0;
    Send("open \"" + mp3 + "\" type MPEGVideo Alias MP3Play", &code);
    EXPECT_EQ(code, kDriverInternal);
}

class SoundPlayerGstTest : public MciGstTest {
  protected:
    // The sink writes what it is given as 16-bit mono samples at the test rate, in real time,
    // each buffer as it is rendered (unbuffered), so the file shows when playing began.
    fs::path Capture(const char* name) {
        fs::path out = folder_ / name;
        std::string sink =
            "audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,"
            "rate=8000 ! filesink sync=true buffer-mode=unbuffered location=\"" +
            out.string() + "\"";
        setenv("VELMORIA_AUDIO_SINK", sink.c_str(), 1);
        return out;
    }
};

TEST_F(SoundPlayerGstTest, WaveLoopsWithoutAGapUntilStopped) {
    fs::path wav = folder_ / "ramp loop.wav";
    WriteWave(wav, RampSamples(), kRate);
    fs::path out = Capture("loop.raw");
    using namespace sound_flag;
    ASSERT_NE(Gst().PlaySoundName(wav.c_str(), kAsync | kLoop | kNoDefault), 0);
    // The clock starts with the first samples: the pipeline's start-up (slow under a sanitizer
    // on a busy machine) is no gap between passes.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    std::error_code noFile;
    while (fs::file_size(out, noFile) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    auto start = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    ASSERT_NE(Gst().PlaySoundName(nullptr, 0), 0);
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    std::vector<int16_t> samples = ReadSamples(out);
    // The sink plays in real time: a pause between passes would leave the capture short of
    // the time that went by.
    EXPECT_GT(static_cast<double>(samples.size()) / kRate, elapsed - 0.15);
    ASSERT_GT(samples.size(), 2u * kRamp) << "not longer than two passes of the file";
    EXPECT_EQ(samples[0], -kRamp / 2);
    size_t seams = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        int expected = samples[i - 1] + 1 == kRamp / 2 ? -kRamp / 2 : samples[i - 1] + 1;
        ASSERT_EQ(samples[i], expected) << "discontinuity at sample " << i;
        seams += samples[i] == -kRamp / 2;
    }
    EXPECT_GE(seams, 2u);
    // Stopped: nothing more arrives.
    auto size = fs::file_size(out);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(fs::file_size(out), size);
}

TEST_F(SoundPlayerGstTest, UnplayableFileGivesTheDefaultSoundUnlessNoDefault) {
    fs::path bad = folder_ / "not a wave.wav";
    std::ofstream(bad) << "not a wave file";
    using namespace sound_flag;
    fs::path silent = Capture("nodefault.raw");
    EXPECT_EQ(Gst().PlaySoundName(bad.c_str(), kAsync | kLoop | kNoDefault), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(silent) && fs::file_size(silent) > 0);

    fs::path chime = Capture("default.raw");
    EXPECT_NE(Gst().PlaySoundName(bad.c_str(), kAsync | kLoop), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    std::vector<int16_t> samples = ReadSamples(chime);
    // 0.3 s once, not looped.
    EXPECT_NEAR(static_cast<double>(samples.size()), 0.3 * kRate, 0.05 * kRate);
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(peak, 2000);
}

TEST_F(SoundPlayerGstTest, StoppingTheSoundLeavesMciPlaybackAlone) {
    REQUIRE_MP3(mp3);
    uint32_t code = 0;
    Send("open \"" + mp3 + "\" type MPEGVideo Alias MP3Play", &code);
    ASSERT_EQ(code, kNone);
    fs::path wav = folder_ / "ramp.wav";
    WriteWave(wav, RampSamples(), kRate);
    using namespace sound_flag;
    ASSERT_NE(Gst().PlaySoundName(wav.c_str(), kAsync | kLoop), 0);
    // A second sound with SND_NOSTOP is refused while the loop plays.
    EXPECT_EQ(Gst().PlaySoundName(wav.c_str(), kAsync | kNoStop), 0);
    Send("play MP3Play", &code);
    ASSERT_EQ(code, kNone);
    Gst().PlaySoundName(nullptr, 0);
    EXPECT_EQ(Send("status MP3Play mode", &code), "playing");
}

// A file whose first sound takes seconds to come through (here three) opens and closes without
// holding up the shell: the open returns before it has been read, playback starts when it can.
TEST_F(MciGstTest, ASlowFileOpensAndClosesWithoutWaitingForIt) {
    REQUIRE_MP3(mp3);
    setenv("VELMORIA_AUDIO_SINK", "identity sleep-time=3000000 ! fakesink", 1);
    uint32_t code = 1;
    auto start = Clock::now();
    Send("open \"" + mp3 + "\" type MPEGVideo Alias MP3Play", &code);
    EXPECT_EQ(code, kNone);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 1.5);
    Send("play MP3Play", &code);
    EXPECT_EQ(code, kNone);
    EXPECT_EQ(Send("status MP3Play mode", &code), "playing");
    start = Clock::now();
    Send("close MP3Play", &code);
    EXPECT_EQ(code, kNone);
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 1.5);
}

}  // namespace
}  // namespace velmoria
