// Skorvane_BGM against scripted entry points: the command channel's codes, replies and buffers,
// the CD polling step's decisions, and the MP3 and WAV procedures, each by the command strings
// and sound calls that reach the platform.
#include "shell/music/skorvane_bgm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/music/mci_errors.h"
#include "shell/settings/settings_file.h"
#include "tests/music/scripted_bgm_platform.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

using namespace mci_error;
using Commands = std::vector<std::string>;

// The module's own texts in the program's code page.
#ifdef _WIN32
const std::string kEmptyCommandText =
    "\x83\x52\x83\x7d\x83\x93\x83\x68\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\x77\x92\xe8\x82\xb3\x82"
    "\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
const std::string kNoErrorText =
    "Error (\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\xe6\x82\xea\x82\xdc\x82\xb9\x82\xf1)";
#else
const std::string kEmptyCommandText = "コマンド文字列が指定されていません";
const std::string kNoErrorText = "Error (文字列が取れません)";
#endif

const char* const kNotOpenText = "The specified device is not open or is not recognized by MCI.";

class BgmTest : public ::testing::Test {
  protected:
    void SetUp() override {
        shell_.music = &platform;
        ResetBgmModule();
        platform.errorTexts[kInvalidDeviceName] = kNotOpenText;
        BgmRepeat = 0;
        BgmFile.clear();
        CdAlive = false;
        ApiResult = 12345;
    }

    // A disc whose polling answers are: the current track and the mode.
    void Disc(const std::string& track, const std::string& mode, uint32_t tracks = 10) {
        platform.Script("status cdaudio current track", 0, track);
        platform.Script("status cdaudio number of tracks", 0, std::to_string(tracks));
        platform.Script("status cdaudio mode", 0, mode);
    }

    ScriptedBgmPlatform platform;

  private:
    test::FakeShellPlatform shell_;
    test::ConnectedShellPlatform connected_{shell_};
};

const Commands kPollQueries = {"status cdaudio current track", "status cdaudio number of tracks",
                               "status cdaudio mode"};

Commands Poll(Commands then) {
    Commands all = kPollQueries;
    all.insert(all.end(), then.begin(), then.end());
    return all;
}

// ---- Command channel ----

TEST_F(BgmTest, EmptyCommandIsRefusedWithoutBeingSent) {
    std::string reply = "old";
    EXPECT_EQ(MCI_Command("", reply), -1);
    EXPECT_EQ(reply, kEmptyCommandText);
    EXPECT_EQ(ApiResult, -1);
    EXPECT_EQ(MCI_Status(""), "Error:-1");
    EXPECT_TRUE(platform.sends.empty());
    EXPECT_TRUE(platform.errorQueries.empty());
}

TEST_F(BgmTest, RejectedCommandGivesThePlatformsCodeAndText) {
    platform.Script("status MP3Play mode", kInvalidDeviceName);
    std::string reply;
    EXPECT_EQ(MCI_Command("status MP3Play mode", reply), static_cast<int32_t>(kInvalidDeviceName));
    EXPECT_EQ(reply, kNotOpenText);
    EXPECT_EQ(ApiResult, static_cast<int32_t>(kInvalidDeviceName));
    ASSERT_EQ(platform.sends.size(), 1u);
    EXPECT_TRUE(platform.sends[0].hasBuffer);
    EXPECT_EQ(platform.sends[0].length, 512u);
    ASSERT_EQ(platform.errorQueries.size(), 1u);
    EXPECT_EQ(platform.errorQueries[0], std::make_pair(kInvalidDeviceName, 256u));
    EXPECT_EQ(MCI_Status("status MP3Play mode"), "Error:263");
}

TEST_F(BgmTest, CodeWithoutAnErrorTextStillReturnsTheCode) {
    platform.Script("fly cdaudio", 99999);
    std::string reply;
    EXPECT_EQ(MCI_Command("fly cdaudio", reply), 99999);
    EXPECT_EQ(reply, kNoErrorText);
    EXPECT_EQ(MCI_Status("fly cdaudio"), "Error:99999");
}

TEST_F(BgmTest, CodesAboveTheSignedRangeComeBackNegative) {
    platform.Script("status cdaudio mode", 0x80000001u);
    EXPECT_EQ(MCI_Status("status cdaudio mode"), "Error:-2147483647");
}

TEST_F(BgmTest, SuccessWithoutAReplyIsAnEmptyReply) {
    platform.Script("status cdaudio mode", 0, "stopped");
    std::string reply;
    ASSERT_EQ(MCI_Command("status cdaudio mode", reply), 0);
    EXPECT_EQ(reply, "stopped");
    // The next command writes just its NUL over the old reply.
    EXPECT_EQ(MCI_Command("play cdaudio", reply), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(ApiResult, 0);
}

TEST_F(BgmTest, ResultsEndAtTheFirstNulOfTheirBuffers) {
    platform.Script("status a mode", 0, "a reply that is rather long by comparison");
    platform.Script("status b mode", 0, "short");
    platform.Script("status c mode", 1000);
    platform.Script("status d mode", 1001);
    platform.errorTexts[1000] =
        "An error text that goes on for a good while, longer than the next.";
    platform.errorTexts[1001] = "Brief.";
    EXPECT_EQ(MCI_Status("status a mode"), "a reply that is rather long by comparison");
    EXPECT_EQ(MCI_Status("status b mode"), "short");
    std::string reply;
    MCI_Command("status c mode", reply);
    MCI_Command("status d mode", reply);
    EXPECT_EQ(reply, "Brief.");
}

TEST_F(BgmTest, ReplyThatFillsTheBufferStopsAtItsEnd) {
    // A platform that writes all 512 characters with no NUL among them, after an error text.
    platform.Script("status x mode", kInvalidDeviceName);
    platform.Script("status x mode", 0, std::string(600, 'r'));
    std::string reply;
    ASSERT_NE(MCI_Command("status x mode", reply), 0);
    ASSERT_EQ(MCI_Command("status x mode", reply), 0);
    EXPECT_EQ(reply, std::string(512, 'r'));
}

TEST_F(BgmTest, PlayCommandsPutFromBeforeTo) {
    platform.Script("play cdaudio from 1 to 2", kOutOfRange);
    EXPECT_EQ(MCI_Play("cdaudio", "", ""), 0);
    EXPECT_EQ(MCI_Play("cdaudio", "03:00:00:00", ""), 0);
    EXPECT_EQ(MCI_Play("MP3Play", "", "500"), 0);
    EXPECT_EQ(MCI_Play("cdaudio", "1", "2"), static_cast<int32_t>(kOutOfRange));
    EXPECT_EQ(platform.Commands(), (Commands{"play cdaudio", "play cdaudio from 03:00:00:00",
                                             "play MP3Play to 500", "play cdaudio from 1 to 2"}));
    for (const ScriptedSend& send : platform.sends) {
        EXPECT_EQ(send.length, 512u);
    }
}

TEST_F(BgmTest, PlainSendHasNoReplyBufferAndKeepsItsCodeInApiResult) {
    platform.Script("close cdaudio", kInvalidDeviceName);
    MCI_Send("close cdaudio");
    ASSERT_EQ(platform.sends.size(), 1u);
    EXPECT_FALSE(platform.sends[0].hasBuffer);
    EXPECT_EQ(platform.sends[0].length, 0u);
    EXPECT_EQ(ApiResult, static_cast<int32_t>(kInvalidDeviceName));
    EXPECT_TRUE(platform.errorQueries.empty());
}

TEST_F(BgmTest, SoundOutputNeedsAPositiveDeviceCount) {
    platform.devices = 0;
    EXPECT_FALSE(MCI_HasWaveOut());
    platform.devices = 0xFFFFFFFFu;  // compared as a signed number
    EXPECT_FALSE(MCI_HasWaveOut());
    platform.devices = 2;
    EXPECT_TRUE(MCI_HasWaveOut());
}

// ---- CD audio ----

TEST_F(BgmTest, CdOpenSetsTheTimeFormatAndDoesNotPlay) {
    CD_Open();
    EXPECT_EQ(platform.Commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf"}));
    for (const ScriptedSend& send : platform.sends) {
        EXPECT_FALSE(send.hasBuffer);
    }
    CD_Stop();
    EXPECT_EQ(platform.Commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf",
                                             "stop cdaudio", "close cdaudio"}));
}

TEST_F(BgmTest, NoDiscEndsPollingAtTheFirstQuery) {
    platform.Script("status cdaudio current track", kInvalidDeviceName);
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(platform.Commands(), (Commands{"status cdaudio current track"}));
}

TEST_F(BgmTest, FailedTrackCountEndsPolling) {
    platform.Script("status cdaudio current track", 0, "1");
    platform.Script("status cdaudio number of tracks", kHardware);
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(platform.Commands(),
              (Commands{"status cdaudio current track", "status cdaudio number of tracks"}));
}

TEST_F(BgmTest, ErrWithinASuccessfulReplyCountsAsFailure) {
    // The test is on the letters, in any case.
    platform.Script("status cdaudio current track", 0, "terror");
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(platform.sends.size(), 1u);
}

TEST_F(BgmTest, WithoutRepeatAStoppedDiscPlaysOnAndAPlayingOneIsLeftAlone) {
    Disc("12", "playing");
    CD_Check();
    EXPECT_TRUE(CdAlive);
    EXPECT_EQ(platform.Commands(), kPollQueries);
    EXPECT_EQ(platform.sends[2].length, 255u);

    platform.sends.clear();
    Disc("12", "stopped");
    CD_Check();
    EXPECT_TRUE(CdAlive);
    EXPECT_EQ(platform.Commands(), Poll({"play cdaudio"}));
}

TEST_F(BgmTest, RepeatPutsTrackThreeBackWhileTrackFourPlays) {
    BgmRepeat = 3;
    Disc("4", "playing");
    platform.Script("status cdaudio position track 3", 0, "03:00:00:00");
    CD_Check();
    EXPECT_TRUE(CdAlive);
    EXPECT_EQ(platform.Commands(),
              Poll({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));

    // Playing the chosen track: nothing is sent.
    platform.sends.clear();
    Disc("3", "playing");
    CD_Check();
    EXPECT_EQ(platform.Commands(), kPollQueries);

    // Stopped on the chosen track: it starts again.
    platform.sends.clear();
    Disc("03", "stopped");
    CD_Check();
    EXPECT_EQ(platform.Commands(),
              Poll({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
}

TEST_F(BgmTest, TrackBeyondTheDiscSendsTheErrorTextAsPositionEveryStep) {
    BgmRepeat = 15;
    Disc("1", "stopped", 12);
    platform.Script("status cdaudio position track 15", kOutOfRange);
    platform.Script("play cdaudio from Error:282", kUnrecognizedKeyword);
    for (int step = 0; step < 2; ++step) {
        platform.sends.clear();
        CD_Check();
        EXPECT_TRUE(CdAlive);
        EXPECT_EQ(platform.Commands(),
                  Poll({"status cdaudio position track 15", "play cdaudio from Error:282"}));
    }
    EXPECT_EQ(platform.sends.back().code, kUnrecognizedKeyword);
}

TEST_F(BgmTest, ModeIsItsFirstSevenCharactersCaseSensitive) {
    Disc("2", "stopped at the end");
    CD_Check();
    EXPECT_EQ(platform.Commands(), Poll({"play cdaudio"}));

    platform.sends.clear();
    Disc("2", "stoppe");
    CD_Check();
    EXPECT_EQ(platform.Commands(), kPollQueries);

    platform.sends.clear();
    Disc("2", "Stopped");
    CD_Check();
    EXPECT_EQ(platform.Commands(), kPollQueries);

    // "stop" over an older, longer reply leaves "stop\0ng": not seven characters of "stopped".
    platform.sends.clear();
    Disc("2", "playing");
    CD_Check();
    Disc("2", "stop");
    CD_Check();
    EXPECT_EQ(platform.Commands(), Poll(kPollQueries));
}

TEST_F(BgmTest, FailedModeQueryDecidesOnTheOldMode) {
    // Nothing was ever written: not stopped.
    platform.Script("status cdaudio current track", 0, "1");
    platform.Script("status cdaudio mode", kHardware);
    CD_Check();
    EXPECT_TRUE(CdAlive);
    EXPECT_EQ(platform.Commands(), kPollQueries);

    platform.sends.clear();
    Disc("1", "stopped");
    CD_Check();
    platform.Script("status cdaudio mode", kHardware);
    CD_Check();
    Commands step = Poll({"play cdaudio"});
    Commands twice = step;
    twice.insert(twice.end(), step.begin(), step.end());
    EXPECT_EQ(platform.Commands(), twice);
    EXPECT_EQ(platform.sends[6].code, kHardware);
}

TEST_F(BgmTest, TrackReplyThatIsNoNumberFailsARepeatStep) {
    BgmRepeat = 2;
    Disc("two", "playing");
    CD_Check();
    EXPECT_FALSE(CdAlive);
    EXPECT_EQ(platform.Commands(), kPollQueries);
    // Without a track to repeat the number is not looked at.
    BgmRepeat = 0;
    CD_Check();
    EXPECT_TRUE(CdAlive);
}

// ---- File playback ----

TEST_F(BgmTest, Mp3OpensWithItsPathQuotedAndPlaysOnlyWhenOpened) {
    BgmFile = "/music/my song.mp3";
    MP3_Play();
    EXPECT_EQ(
        platform.Commands(),
        (Commands{"open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
    EXPECT_FALSE(platform.sends[0].hasBuffer);
    EXPECT_EQ(platform.sends[0].length, 0u);

    platform.sends.clear();
    BgmFile = "/music/broken.mp3";
    platform.Script("open \"/music/broken.mp3\" type MPEGVideo Alias MP3Play", kInvalidFile);
    MP3_Play();
    EXPECT_EQ(platform.Commands(),
              (Commands{"open \"/music/broken.mp3\" type MPEGVideo Alias MP3Play"}));
}

TEST_F(BgmTest, Mp3IsPlayingOnlyInModePlaying) {
    // No query has succeeded yet: the buffer holds only NULs.
    platform.Script("status MP3Play mode", kInvalidDeviceName);
    EXPECT_FALSE(MP3_IsPlaying());
    ASSERT_EQ(platform.sends.size(), 1u);
    EXPECT_EQ(platform.sends[0].length, 30u);
    for (const char* mode :
         {"stopped", "paused", "not ready", "seeking", "open", "Playing", "playin"}) {
        platform.Script("status MP3Play mode", 0, mode);
        EXPECT_FALSE(MP3_IsPlaying()) << mode;
    }
    platform.Script("status MP3Play mode", 0, "playing");
    EXPECT_TRUE(MP3_IsPlaying());
    platform.Script("status MP3Play mode", 0, "playing, and more");
    EXPECT_TRUE(MP3_IsPlaying());
}

TEST_F(BgmTest, Mp3ModeBufferKeepsItsContentsWhenAQueryWritesNothing) {
    platform.Script("status MP3Play mode", 0, "playing");
    platform.Script("status MP3Play mode", kHardware);
    EXPECT_TRUE(MP3_IsPlaying());
    EXPECT_TRUE(MP3_IsPlaying());
    platform.Script("status MP3Play mode", 0, "stopped");
    EXPECT_FALSE(MP3_IsPlaying());
    platform.Script("status MP3Play mode", kHardware);
    EXPECT_FALSE(MP3_IsPlaying());
}

TEST_F(BgmTest, Mp3CheckRestartsAStoppedFileFromZero) {
    platform.Script("status MP3Play mode", 0, "playing");
    platform.Script("status MP3Play mode", 0, "stopped");
    MP3_Check();
    EXPECT_EQ(platform.Commands(), (Commands{"status MP3Play mode"}));
    MP3_Check();
    EXPECT_EQ(platform.Commands(), (Commands{"status MP3Play mode", "status MP3Play mode",
                                             "stop MP3Play", "play MP3Play from 0"}));
    EXPECT_FALSE(platform.sends[3].hasBuffer);
}

TEST_F(BgmTest, Mp3NeverOpenedIsRestartedInVainAtEveryCheck) {
    for (const char* command : {"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}) {
        platform.Script(command, kInvalidDeviceName);
    }
    MP3_Check();
    MP3_Check();
    EXPECT_EQ(platform.Commands(),
              (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0",
                        "status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
    EXPECT_TRUE(platform.errorQueries.empty());
}

TEST_F(BgmTest, Mp3StopStopsAndCloses) {
    MP3_Stop();
    EXPECT_EQ(platform.Commands(), (Commands{"stop MP3Play", "close MP3Play"}));
}

TEST_F(BgmTest, WavLoopsAsynchronouslyThroughTheSoundPlayer) {
    BgmFile = "C:\\Music\\loop.wav";
    platform.soundResult = 0;
    WAV_Play();
    ASSERT_EQ(platform.sounds.size(), 1u);
    EXPECT_TRUE(platform.sounds[0].hasName);
    EXPECT_EQ(platform.sounds[0].name, "C:\\Music\\loop.wav");
    EXPECT_EQ(platform.sounds[0].flags, 9u);
    EXPECT_EQ(ApiResult, 0);
    platform.soundResult = 1;
    WAV_Stop();
    ASSERT_EQ(platform.sounds.size(), 2u);
    EXPECT_FALSE(platform.sounds[1].hasName);
    EXPECT_EQ(platform.sounds[1].flags, 0u);
    EXPECT_EQ(ApiResult, 1);
    // Only the sound player is touched.
    EXPECT_TRUE(platform.sends.empty());
}

TEST_F(BgmTest, WavWithoutAnOutputDeviceIsNotAttempted) {
    BgmFile = "/music/loop.wav";
    platform.devices = 0;
    WAV_Play();
    EXPECT_EQ(platform.deviceQueries, 1);
    EXPECT_TRUE(platform.sounds.empty());
    WAV_Stop();
    ASSERT_EQ(platform.sounds.size(), 1u);
    EXPECT_FALSE(platform.sounds[0].hasName);
}

}  // namespace
}  // namespace velmoria
