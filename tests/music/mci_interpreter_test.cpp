// The MCI interpreter against a scripted backend: what each command does, replies and error
// codes, the reply buffer, the CD device's positions.
#include "shell/music/mci_interpreter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "shell/music/mci_errors.h"
#include "tests/music/fake_media.h"

namespace velmoria {
namespace {

using namespace mci_error;

class MciInterpreterTest : public ::testing::Test {
  protected:
    uint32_t Run(const std::string& command) { return mci.Execute(command, &reply); }

    FakeMediaBackend backend;
    MciInterpreter mci{backend};
    std::string reply;
};

// ---- Words and verbs ----

TEST_F(MciInterpreterTest, QuotedFileNameWithBlanksReachesTheBackendWhole) {
    EXPECT_EQ(Run("open \"/music/my songs/a b.mp3\" type MPEGVideo Alias MP3Play"), kNone);
    EXPECT_EQ(reply, "1");
    ASSERT_EQ(backend.state.openedPaths.size(), 1u);
    EXPECT_EQ(backend.state.openedPaths[0], "/music/my songs/a b.mp3");
    EXPECT_EQ(Run("status MP3Play mode"), kNone);
    EXPECT_EQ(reply, "stopped");
}

TEST_F(MciInterpreterTest, QuotesThatDoNotCloseOrRunOnAreRefused) {
    EXPECT_EQ(Run("open \"/music/a b.mp3 type MPEGVideo alias x"), kNoClosingQuote);
    EXPECT_EQ(Run("open \"/music/a b\".mp3 type MPEGVideo alias x"), kExtraCharacters);
    EXPECT_TRUE(backend.state.openedPaths.empty());
}

TEST_F(MciInterpreterTest, CommandsNotUnderstoodGetTheirCodes) {
    EXPECT_EQ(Run("open \"/a.mp3\" type MPEGVideo alias MP3Play"), kNone);
    EXPECT_EQ(Run("frobnicate MP3Play"), kUnrecognizedCommand);
    EXPECT_EQ(Run("pause MP3Play"), kUnrecognizedCommand);
    EXPECT_EQ(Run("play"), kMissingDeviceName);
    EXPECT_EQ(Run("   "), kMissingCommandString);
    EXPECT_EQ(Run("play MP3Play backwards"), kUnrecognizedKeyword);
    EXPECT_EQ(Run("status MP3Play"), kMissingParameter);
    EXPECT_EQ(Run("status MP3Play loudness"), kUnrecognizedKeyword);
    EXPECT_EQ(Run("status MP3Play mode position"), kFlagsNotCompatible);
    EXPECT_EQ(Run("play all"), kCannotUseAll);
    EXPECT_TRUE(backend.state.filePlays.empty());
}

TEST_F(MciInterpreterTest, UnknownAliasIsNotOpen) {
    EXPECT_EQ(Run("status MP3Play mode"), kInvalidDeviceName);
    EXPECT_EQ(Run("play MP3Play from 0"), kInvalidDeviceName);
    EXPECT_EQ(Run("stop MP3Play"), kInvalidDeviceName);
    EXPECT_EQ(Run("close MP3Play"), kInvalidDeviceName);
}

TEST_F(MciInterpreterTest, VerbsKeywordsAndAliasesIgnoreCase) {
    EXPECT_EQ(Run("OPEN \"/a.mp3\" TYPE mpegvideo ALIAS Mp3Play"), kNone);
    EXPECT_EQ(Run("Status MP3PLAY Mode"), kNone);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(Run("PLAY mp3play FROM 5"), kNone);
    ASSERT_EQ(backend.state.filePlays.size(), 1u);
    EXPECT_EQ(backend.state.filePlays[0].first, 5);
}

// ---- open ----

TEST_F(MciInterpreterTest, OpenWorksOutTheDeviceFromTypeOrExtension) {
    EXPECT_EQ(Run("open /a/song.MP3 alias one"), kNone);
    EXPECT_EQ(Run("open /a/song.wav alias two"), kNone);
    EXPECT_EQ(Run("open /a/song.ogx alias three"), kExtensionNotFound);
    EXPECT_EQ(Run("open /a/song.mp3 type nosuchdevice alias four"), kInvalidDeviceName);
    EXPECT_EQ(Run("open /a.b/song alias five"), kExtensionNotFound);
    EXPECT_EQ(backend.state.openedPaths.size(), 2u);
}

TEST_F(MciInterpreterTest, OpenRefusesTakenNamesAndHandsOutLowestFreeIds) {
    EXPECT_EQ(Run("open /a.mp3 type MPEGVideo alias x"), kNone);
    EXPECT_EQ(reply, "1");
    EXPECT_EQ(Run("open /b.mp3 type MPEGVideo alias X"), kDuplicateAlias);
    EXPECT_EQ(Run("open /b.mp3 type MPEGVideo alias y"), kNone);
    EXPECT_EQ(reply, "2");
    EXPECT_EQ(Run("open /c.mp3"), kNone);
    EXPECT_EQ(reply, "3");
    // Without an alias the file name is the device's name.
    EXPECT_EQ(Run("open /c.mp3"), kDeviceOpen);
    EXPECT_EQ(Run("status /c.mp3 mode"), kNone);
    EXPECT_EQ(Run("close x"), kNone);
    EXPECT_EQ(Run("open /d.mp3 alias z"), kNone);
    EXPECT_EQ(reply, "1");
    EXPECT_EQ(Run("open /e.mp3 alias z2 alias z3"), kDuplicateFlags);
    EXPECT_EQ(Run("open /e.mp3 alias"), kMissingStringArgument);
}

TEST_F(MciInterpreterTest, FailedOpenLeavesNothingOpen) {
    backend.state.openError = kFileNotFound;
    EXPECT_EQ(Run("open \"/no such.mp3\" type MPEGVideo Alias MP3Play"), kFileNotFound);
    EXPECT_EQ(Run("status MP3Play mode"), kInvalidDeviceName);
    EXPECT_EQ(backend.state.filesAlive, 0);
}

TEST_F(MciInterpreterTest, CloseReleasesTheDeviceAndCloseAllReleasesEvery) {
    EXPECT_EQ(Run("open /a.mp3 alias a"), kNone);
    EXPECT_EQ(Run("open /b.mp3 alias b"), kNone);
    EXPECT_EQ(Run("open /c.mp3 alias c"), kNone);
    EXPECT_EQ(Run("close a"), kNone);
    EXPECT_EQ(backend.state.filesAlive, 2);
    EXPECT_EQ(Run("status a mode"), kInvalidDeviceName);
    EXPECT_EQ(Run("close all"), kNone);
    EXPECT_EQ(backend.state.filesAlive, 0);
    EXPECT_EQ(Run("status b mode"), kInvalidDeviceName);
}

// ---- play, stop, status of a file ----

TEST_F(MciInterpreterTest, PlayRangesReachTheFile) {
    EXPECT_EQ(Run("open /a.mp3 type MPEGVideo alias MP3Play"), kNone);
    EXPECT_EQ(Run("play MP3Play"), kNone);
    EXPECT_EQ(Run("play MP3Play from 0"), kNone);
    EXPECT_EQ(Run("play MP3Play from 100 to 2000"), kNone);
    EXPECT_EQ(Run("play MP3Play to 3000 from 200"), kNone);
    EXPECT_EQ(reply, "");
    const std::vector<std::pair<int64_t, int64_t>> expected = {
        {-1, -1}, {0, -1}, {100, 2000}, {200, 3000}};
    EXPECT_EQ(backend.state.filePlays, expected);
    EXPECT_EQ(Run("stop MP3Play"), kNone);
    EXPECT_EQ(backend.state.fileStops, 1);
}

TEST_F(MciInterpreterTest, PlayPositionsOutsideTheFileOrMalformedAreRefused) {
    EXPECT_EQ(Run("open /a.mp3 type MPEGVideo alias m"), kNone);
    backend.state.positionMs = 4000;
    EXPECT_EQ(Run("play m from 10001"), kOutOfRange);
    EXPECT_EQ(Run("play m to 10001"), kOutOfRange);
    EXPECT_EQ(Run("play m from 300 to 200"), kOutOfRange);
    EXPECT_EQ(Run("play m to 3999"), kOutOfRange);  // before the current position
    EXPECT_EQ(Run("play m from Error:282"), kBadInteger);
    EXPECT_EQ(Run("play m from"), kBadInteger);
    EXPECT_EQ(Run("play m from 1 from 2"), kDuplicateFlags);
    EXPECT_EQ(Run("play m from -5"), kBadInteger);
    EXPECT_TRUE(backend.state.filePlays.empty());
    EXPECT_EQ(Run("play m from 10000"), kNone);
}

TEST_F(MciInterpreterTest, StatusOfAFileGivesModeWordsAndPositions) {
    EXPECT_EQ(Run("open /a.mp3 type MPEGVideo alias m"), kNone);
    const std::pair<MciMode, const char*> modes[] = {
        {MciMode::Playing, "playing"}, {MciMode::Stopped, "stopped"},
        {MciMode::Paused, "paused"},   {MciMode::NotReady, "not ready"},
        {MciMode::Seeking, "seeking"}, {MciMode::Open, "open"}};
    for (const auto& mode : modes) {
        backend.state.fileMode = mode.first;
        EXPECT_EQ(Run("status m mode"), kNone);
        EXPECT_EQ(reply, mode.second);
    }
    backend.state.positionMs = 1234;
    EXPECT_EQ(Run("status m position"), kNone);
    EXPECT_EQ(reply, "1234");
    EXPECT_EQ(Run("status m length"), kNone);
    EXPECT_EQ(reply, "10000");
    EXPECT_EQ(Run("status m time format"), kNone);
    EXPECT_EQ(reply, "milliseconds");
    EXPECT_EQ(Run("set m time format tmsf"), kBadTimeFormat);
    EXPECT_EQ(Run("set m time format ms"), kNone);
    EXPECT_EQ(Run("set m door open"), kUnrecognizedKeyword);
}

// ---- The reply buffer ----

TEST_F(MciInterpreterTest, RepliesAreCutAtTheirEndAndFailuresLeaveThemEmpty) {
    ASSERT_EQ(Run("open /a.mp3 alias m"), kNone);
    char buffer[30];
    std::memset(buffer, 'Z', sizeof buffer);
    backend.state.fileMode = MciMode::NotReady;
    ASSERT_EQ(mci.Send("status m mode", buffer, sizeof buffer), kNone);
    EXPECT_STREQ(buffer, "not ready");
    backend.state.fileMode = MciMode::Open;
    ASSERT_EQ(mci.Send("status m mode", buffer, sizeof buffer), kNone);
    EXPECT_STREQ(buffer, "open");

    EXPECT_EQ(mci.Send("status nosuch mode", buffer, sizeof buffer), kInvalidDeviceName);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(buffer[1], 'p');  // only the first character is overwritten
    // A command that replies nothing leaves an empty reply.
    EXPECT_EQ(mci.Send("play m", buffer, sizeof buffer), kNone);
    EXPECT_STREQ(buffer, "");
}

TEST_F(MciInterpreterTest, ReplyTooLongForTheBufferOverflows) {
    ASSERT_EQ(Run("open /a.mp3 alias m"), kNone);
    char buffer[8] = "old";
    EXPECT_EQ(mci.Send("status m mode", buffer, 7), kParamOverflow);  // "stopped" needs 8
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(mci.Send("status m mode", buffer, 8), kNone);
    EXPECT_STREQ(buffer, "stopped");
    // No buffer: the command still runs.
    EXPECT_EQ(mci.Send("play m", nullptr, 0), kNone);
    EXPECT_EQ(mci.Send("status m mode", nullptr, 0), kNone);
    EXPECT_EQ(mci.Send(nullptr, buffer, 8), kMissingCommandString);
    EXPECT_EQ(backend.state.filePlays.size(), 1u);
}

// ---- The CD device ----

class MciCdTest : public MciInterpreterTest {
  protected:
    void SetUp() override {
        // Five tracks of 200 s each.
        backend.state.toc.trackStarts = {0, 15000, 30000, 45000, 60000};
        backend.state.toc.endFrame = 75000;
        // Track 4 at 1 min 2 s 3 frames.
        backend.state.positionFrames = 45000 + (60 + 2) * 75 + 3;
    }
};

TEST_F(MciCdTest, TheMusicModuleSequenceReadsTracksAndPositions) {
    EXPECT_EQ(Run("open cdaudio"), kNone);
    EXPECT_EQ(reply, "1");
    EXPECT_EQ(Run("set cdaudio time format tmsf"), kNone);
    EXPECT_EQ(Run("status cdaudio current track"), kNone);
    EXPECT_EQ(reply, "4");
    EXPECT_EQ(Run("status cdaudio number of tracks"), kNone);
    EXPECT_EQ(reply, "5");
    EXPECT_EQ(Run("status cdaudio mode"), kNone);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(Run("status cdaudio position"), kNone);
    EXPECT_EQ(reply, "04:01:02:03");
    EXPECT_EQ(Run("status cdaudio position track 3"), kNone);
    EXPECT_EQ(reply, "03:00:00:00");
    EXPECT_EQ(Run("play cdaudio from " + reply), kNone);
    EXPECT_EQ(Run("play cdaudio"), kNone);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {{30000, 75000}, {49653, 75000}};
    EXPECT_EQ(backend.state.discPlays, expected);
    EXPECT_EQ(Run("stop cdaudio"), kNone);
    EXPECT_EQ(Run("close cdaudio"), kNone);
    EXPECT_EQ(backend.state.discStops, 1);
}

TEST_F(MciCdTest, ATrackBeyondTheDiscFailsAndSoDoesThePlayBuiltFromIt) {
    ASSERT_EQ(Run("open cdaudio"), kNone);
    ASSERT_EQ(Run("set cdaudio time format tmsf"), kNone);
    EXPECT_EQ(Run("status cdaudio position track 6"), kOutOfRange);
    EXPECT_EQ(Run("status cdaudio position track 0"), kOutOfRange);
    EXPECT_EQ(Run("status cdaudio position track three"), kBadInteger);
    EXPECT_EQ(Run("play cdaudio from Error:282"), kBadInteger);
    EXPECT_EQ(Run("play cdaudio from 06:00:00:00"), kOutOfRange);
    EXPECT_EQ(Run("play cdaudio from 05:03:20:01"), kOutOfRange);  // past the disc's end
    EXPECT_EQ(Run("play cdaudio from 04 to 03"), kOutOfRange);
    EXPECT_TRUE(backend.state.discPlays.empty());
    EXPECT_EQ(Run("play cdaudio from 05:03:20:00"), kNone);
}

TEST_F(MciCdTest, MsfAndMillisecondsCountTheTwoSecondLeadIn) {
    ASSERT_EQ(Run("open cdaudio alias cd"), kNone);
    EXPECT_EQ(Run("status cd time format"), kNone);
    EXPECT_EQ(reply, "msf");
    EXPECT_EQ(Run("status cd position"), kNone);
    EXPECT_EQ(reply, "11:04:03");
    EXPECT_EQ(Run("status cd position track 1"), kNone);
    EXPECT_EQ(reply, "00:02:00");
    EXPECT_EQ(Run("status cd length track 2"), kNone);
    EXPECT_EQ(reply, "03:20:00");
    EXPECT_EQ(Run("play cd from 00:02:00 to 00:03"), kNone);
    EXPECT_EQ(Run("play cd from 00:01:74"), kOutOfRange);
    ASSERT_EQ(Run("set cd time format milliseconds"), kNone);
    EXPECT_EQ(Run("status cd position"), kNone);
    EXPECT_EQ(reply, "664040");
    EXPECT_EQ(Run("play cd from 4000"), kNone);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {{0, 75}, {150, 75000}};
    EXPECT_EQ(backend.state.discPlays, expected);
    EXPECT_EQ(Run("set cd time format frames"), kBadTimeFormat);
}

TEST_F(MciCdTest, EmptyDriveAnswersHardwareErrorsButReportsItsMode) {
    backend.state.discState = MciDiscState::Absent;
    backend.state.discMode = MciMode::NotReady;
    ASSERT_EQ(Run("open cdaudio"), kNone);
    EXPECT_EQ(Run("status cdaudio current track"), kHardware);
    EXPECT_EQ(Run("status cdaudio number of tracks"), kHardware);
    EXPECT_EQ(Run("play cdaudio"), kHardware);
    EXPECT_EQ(Run("status cdaudio media present"), kNone);
    EXPECT_EQ(reply, "false");
    EXPECT_EQ(Run("status cdaudio mode"), kNone);
    EXPECT_EQ(reply, "not ready");
}

// A disc still being read has no tracks yet and is not ready to play or place, but no query
// fails the way an empty drive's do, so that polling waits for it.
TEST_F(MciCdTest, ADiscBeingReadAnswersWithoutGivingUp) {
    backend.state.discState = MciDiscState::Reading;
    backend.state.discMode = MciMode::NotReady;
    ASSERT_EQ(Run("open cdaudio"), kNone);
    const std::pair<const char*, const char*> answers[] = {
        {"status cdaudio current track", "0"},    {"status cdaudio number of tracks", "0"},
        {"status cdaudio media present", "true"}, {"status cdaudio ready", "false"},
        {"status cdaudio mode", "not ready"},
    };
    for (const auto& [command, answer] : answers) {
        EXPECT_EQ(Run(command), kNone) << command;
        EXPECT_EQ(reply, answer) << command;
    }
    EXPECT_EQ(Run("status cdaudio position track 2"), kDeviceNotReady);
    EXPECT_EQ(Run("play cdaudio"), kDeviceNotReady);
    EXPECT_TRUE(backend.state.discPlays.empty());
}

TEST_F(MciCdTest, WithoutADriveEveryCommandFailsLikeTheOpen) {
    backend.state.discOpenError = kCannotLoadDriver;
    EXPECT_EQ(Run("open cdaudio"), kCannotLoadDriver);
    EXPECT_EQ(Run("set cdaudio time format tmsf"), kCannotLoadDriver);
    EXPECT_EQ(Run("status cdaudio current track"), kCannotLoadDriver);
    EXPECT_EQ(Run("stop cdaudio"), kCannotLoadDriver);
    // Closing is no reason to open it.
    EXPECT_EQ(Run("close cdaudio"), kInvalidDeviceName);
}

TEST_F(MciCdTest, ACommandToAnUnopenedDriveOpensItForThatCommandOnly) {
    EXPECT_EQ(Run("status cdaudio number of tracks"), kNone);
    EXPECT_EQ(reply, "5");
    // Not left open: an explicit open still gets the first identifier.
    EXPECT_EQ(Run("open cdaudio"), kNone);
    EXPECT_EQ(reply, "1");
    EXPECT_EQ(Run("open cdaudio"), kDeviceOpen);
    EXPECT_EQ(Run("close cdaudio"), kNone);
    EXPECT_EQ(Run("close cdaudio"), kInvalidDeviceName);
}

}  // namespace
}  // namespace velmoria
