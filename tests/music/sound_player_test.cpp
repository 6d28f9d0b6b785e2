// The sound player's rules, the wave-file check and the default sound.
#include "shell/music/sound_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace velmoria {
namespace {

using namespace sound_flag;

TEST(SoundPlanTest, LoopingFileAndStop) {
    SoundPlan play = PlanSound(true, kAsync | kLoop, true, true, false);
    EXPECT_EQ(play.action, SoundAction::PlayFile);
    EXPECT_TRUE(play.loop);
    EXPECT_FALSE(play.wait);
    EXPECT_TRUE(play.result);
    SoundPlan stop = PlanSound(false, 0, false, false, true);
    EXPECT_EQ(stop.action, SoundAction::Stop);
    EXPECT_TRUE(stop.stopCurrent);
    EXPECT_TRUE(stop.result);
}

TEST(SoundPlanTest, UnplayableFileGivesTheDefaultSoundUnlessForbidden) {
    SoundPlan fallback = PlanSound(true, kAsync | kLoop, true, false, false);
    EXPECT_EQ(fallback.action, SoundAction::PlayDefault);
    EXPECT_FALSE(fallback.loop);
    EXPECT_TRUE(fallback.result);
    SoundPlan refused = PlanSound(true, kAsync | kLoop | kNoDefault, true, false, true);
    EXPECT_EQ(refused.action, SoundAction::Refuse);
    EXPECT_TRUE(refused.stopCurrent);
    EXPECT_FALSE(refused.result);
}

TEST(SoundPlanTest, NoStopRefusesWhileASoundPlays) {
    SoundPlan busy = PlanSound(true, kAsync | kNoStop, true, true, true);
    EXPECT_EQ(busy.action, SoundAction::Refuse);
    EXPECT_FALSE(busy.stopCurrent);
    EXPECT_FALSE(busy.result);
    EXPECT_EQ(PlanSound(true, kAsync | kNoStop, true, true, false).action, SoundAction::PlayFile);
}

TEST(SoundPlanTest, SynchronousPlayWaitsAndDoesNotLoop) {
    SoundPlan sync = PlanSound(true, kSync | kLoop, true, true, false);
    EXPECT_EQ(sync.action, SoundAction::PlayFile);
    EXPECT_TRUE(sync.wait);
    EXPECT_FALSE(sync.loop);
}

TEST(SoundPlanTest, OnlyPlainAndFileNamesAreFiles) {
    EXPECT_TRUE(SoundNameIsFile(kAsync | kLoop));
    EXPECT_TRUE(SoundNameIsFile(kFilename | kNoDefault));
    EXPECT_FALSE(SoundNameIsFile(kMemory));
    EXPECT_FALSE(SoundNameIsFile(kResource));
    EXPECT_FALSE(SoundNameIsFile(kAlias));
    EXPECT_FALSE(SoundNameIsFile(kAliasId));
}

std::string Chunk(const char* id, const std::string& body) {
    std::string chunk(id, 4);
    uint32_t size = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) {
        chunk.push_back(static_cast<char>(size >> (8 * i)));
    }
    chunk += body;
    if (body.size() % 2 != 0) {
        chunk.push_back('\0');
    }
    return chunk;
}

std::string Riff(const std::string& chunks) {
    return Chunk("RIFF", "WAVE" + chunks);
}

// PCM, 1 channel, 8000 Hz, 16 bits.
const std::string kFormat("\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00", 16);

bool Playable(const std::string& bytes) {
    return IsPlayableWave(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(WaveCheckTest, FindsFormatAndDataPastOtherChunks) {
    EXPECT_TRUE(Playable(Riff(Chunk("fmt ", kFormat) + Chunk("data", "abcd"))));
    EXPECT_TRUE(Playable(Riff(Chunk("LIST", "odd") + Chunk("fmt ", kFormat) + Chunk("data", ""))));
    // The data may lie beyond the bytes read.
    std::string head = Riff(Chunk("fmt ", kFormat) + Chunk("data", std::string(100, 'x')));
    EXPECT_TRUE(Playable(head.substr(0, 12 + 24 + 8)));
}

TEST(WaveCheckTest, RefusesWhatIsNoWaveFile) {
    EXPECT_FALSE(Playable(""));
    EXPECT_FALSE(Playable("ID3\x03 this is an mp3"));
    EXPECT_FALSE(Playable(Riff(Chunk("data", "abcd") + Chunk("fmt ", kFormat))));
    EXPECT_FALSE(Playable(Riff(Chunk("fmt ", kFormat.substr(0, 14)) + Chunk("data", "ab"))));
    EXPECT_FALSE(Playable(Riff(Chunk("fmt ", kFormat))));
    std::string noChannels = kFormat;
    noChannels[2] = '\0';
    EXPECT_FALSE(Playable(Riff(Chunk("fmt ", noChannels) + Chunk("data", "ab"))));
    std::string avi = Riff(Chunk("fmt ", kFormat) + Chunk("data", "ab"));
    avi.replace(8, 4, "AVI ");
    EXPECT_FALSE(Playable(avi));
}

TEST(DefaultSoundTest, IsShortAudibleAndEndsInSilence) {
    std::vector<int16_t> samples = DefaultSoundSamples(22050);
    ASSERT_EQ(samples.size(), 22050u * 3 / 10);
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(peak, 4000);
    EXPECT_LT(std::abs(static_cast<int>(samples.back())), 50);
    EXPECT_EQ(DefaultSoundSamples(8000).size(), 2400u);
}

}  // namespace
}  // namespace velmoria
