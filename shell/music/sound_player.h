// The rules of the system sound player (PlaySoundA) that do not depend on how sound is made:
// its flags, what a call does with them, which files it can play, and the default sound that
// stands in for a file it cannot play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmoria {

// The platform's SND_* values, named apart from its macros.
namespace sound_flag {
constexpr uint32_t kSync = 0x0000;
constexpr uint32_t kAsync = 0x0001;
constexpr uint32_t kNoDefault = 0x0002;
constexpr uint32_t kMemory = 0x0004;
constexpr uint32_t kLoop = 0x0008;
constexpr uint32_t kNoStop = 0x0010;
constexpr uint32_t kAlias = 0x00010000;
constexpr uint32_t kFilename = 0x00020000;
constexpr uint32_t kResource = 0x00040004;
constexpr uint32_t kAliasId = 0x00110000;
}  // namespace sound_flag

enum class SoundAction {
    Stop,         // no name: stop the sound that plays
    PlayFile,     // play the named file
    PlayDefault,  // the file cannot be played: play the default sound once
    Refuse,       // do nothing more and report failure
};

struct SoundPlan {
    SoundAction action = SoundAction::Refuse;
    bool stopCurrent = false;  // stop the sound that plays first
    bool loop = false;         // repeat until stopped
    bool wait = false;         // return only when the sound has ended
    bool result = false;       // what the call returns
};

// hasName: a sound name was given. nameIsFile: the flags let it be read as a file name (not
// memory, resource, alias). filePlayable: that file is a wave file we can play. playing: a
// sound of ours is playing now.
SoundPlan PlanSound(bool hasName, uint32_t flags, bool nameIsFile, bool filePlayable, bool playing);

// True when the flags let the name be read as a file name.
bool SoundNameIsFile(uint32_t flags);

// True when the leading bytes of a file are a RIFF WAVE file with a format and a data chunk
// (the data itself may lie beyond the bytes given).
bool IsPlayableWave(const uint8_t* data, size_t size);

// The default sound: a short chime fading out, 16-bit mono samples at the given rate.
std::vector<int16_t> DefaultSoundSamples(uint32_t rate);

}  // namespace velmoria
