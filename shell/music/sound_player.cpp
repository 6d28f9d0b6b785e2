// What a sound-player call does, the wave-file check and the generated default sound.
#include "shell/music/sound_player.h"

#include <cmath>
#include <cstring>

namespace velmoria {

using namespace sound_flag;

bool SoundNameIsFile(uint32_t flags) {
    // Memory images, resources and registry aliases are not files we could read.
    return (flags & kMemory) == 0 && (flags & (kResource & ~kMemory)) == 0 &&
           (flags & (kAlias | kAliasId)) == 0;
}

SoundPlan PlanSound(bool hasName, uint32_t flags, bool nameIsFile, bool filePlayable,
                    bool playing) {
    SoundPlan plan;
    if (!hasName) {
        plan.action = SoundAction::Stop;
        plan.stopCurrent = true;
        plan.result = true;
        return plan;
    }
    if ((flags & kNoStop) != 0 && playing) {
        return plan;
    }
    plan.stopCurrent = true;
    const bool async = (flags & kAsync) != 0;
    plan.wait = !async;
    if (nameIsFile && filePlayable) {
        plan.action = SoundAction::PlayFile;
        // Looping needs the asynchronous form.
        plan.loop = async && (flags & kLoop) != 0;
        plan.result = true;
    } else if ((flags & kNoDefault) == 0) {
        plan.action = SoundAction::PlayDefault;
        plan.result = true;
    }
    return plan;
}

namespace {

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool IsPlayableWave(const uint8_t* data, size_t size) {
    if (data == nullptr || size < 12 || std::memcmp(data, "RIFF", 4) != 0 ||
        std::memcmp(data + 8, "WAVE", 4) != 0) {
        return false;
    }
    bool format = false;
    size_t at = 12;
    while (at + 8 <= size) {
        const uint8_t* chunk = data + at;
        uint64_t length = ReadLe32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || at + 8 + 16 > size) {
                return false;
            }
            uint16_t channels = static_cast<uint16_t>(chunk[10] | chunk[11] << 8);
            uint32_t rate = ReadLe32(chunk + 12);
            format = channels > 0 && rate > 0;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            return format;
        }
        // Chunks are padded to an even length.
        at += 8 + static_cast<size_t>(length + (length & 1));
    }
    return false;
}

std::vector<int16_t> DefaultSoundSamples(uint32_t rate) {
    // Two notes a fifth apart, 0.3 s, fading out so that it ends in silence.
    const double kPi = 3.14159265358979323846;
    const size_t count = static_cast<size_t>(rate) * 3 / 10;
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / rate;
        double envelope = 1.0 - static_cast<double>(i) / count;
        double value = 0.5 * std::sin(2 * kPi * 880.0 * t) + 0.3 * std::sin(2 * kPi * 1320.0 * t);
        samples[i] = static_cast<int16_t>(std::lround(value * envelope * envelope * 12000.0));
    }
    return samples;
}

}  // namespace velmoria
