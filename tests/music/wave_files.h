// Sound files for the tests that play real audio: 16-bit mono WAV files written at test time,
// MP3 files made from them with lame, and raw 16-bit samples read back from a capturing sink.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace velmoria {

inline void WriteWave(const std::filesystem::path& path, const std::vector<int16_t>& samples,
                      uint32_t rate) {
    auto le = [](std::string& out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<char>(value >> (8 * i)));
        }
    };
    std::string bytes = "RIFF";
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    le(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    le(bytes, 16, 4);
    le(bytes, 1, 2);  // PCM
    le(bytes, 1, 2);  // mono
    le(bytes, rate, 4);
    le(bytes, rate * 2, 4);
    le(bytes, 2, 2);
    le(bytes, 16, 2);
    bytes += "data";
    le(bytes, dataSize, 4);
    for (int16_t s : samples) {
        le(bytes, static_cast<uint16_t>(s), 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<int16_t> ReadSamples(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                          static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    }
    return samples;
}

// A square wave of the given length at 44.1 kHz: GStreamer's mpg123 decoder complains at the end
// of low-rate files.
inline std::vector<int16_t> SquareTone(double seconds) {
    std::vector<int16_t> samples(static_cast<size_t>(seconds * 44100));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>((i % 100 < 50) ? 6000 : -6000);
    }
    return samples;
}

// "my song.mp3" in `folder` (a blank in its name on purpose); empty when lame is missing.
inline std::string MakeMp3(const std::filesystem::path& folder, double seconds) {
    const std::filesystem::path wav = folder / "tone.wav";
    WriteWave(wav, SquareTone(seconds), 44100);
    const std::filesystem::path mp3 = folder / "my song.mp3";
    const std::string command = "lame --quiet -b 64 '" + wav.string() + "' '" + mp3.string() + "'";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(mp3)) {
        return std::string();
    }
    return mp3.string();
}

// A stand-in for an audio CD: "disc.flac" in `folder`, stereo at 44.1 kHz, with a cue sheet of
// three 2-second tracks, whose table of contents GStreamer's flacparse announces as a CD source
// does; empty when flac is missing.
inline std::string MakeDisc(const std::filesystem::path& folder) {
    const std::filesystem::path wav = folder / "disc.wav";
    std::vector<int16_t> samples(6 * 44100 * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>((i / 2 % 100 < 50) ? 3000 : -3000);
    }
    std::string bytes = "RIFF";
    auto le = [&bytes](uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i)));
        }
    };
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    le(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    le(16, 4), le(1, 2), le(2, 2), le(44100, 4), le(44100 * 4, 4), le(4, 2), le(16, 2);
    bytes += "data";
    le(dataSize, 4);
    for (int16_t s : samples) {
        le(static_cast<uint16_t>(s), 2);
    }
    std::ofstream(wav, std::ios::binary) << bytes;
    std::ofstream(folder / "disc.cue")
        << "FILE \"disc.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
           "  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n  TRACK 03 AUDIO\n    INDEX 01 00:04:00\n";
    const std::filesystem::path flac = folder / "disc.flac";
    const std::string command = "flac -s -f --cuesheet='" + (folder / "disc.cue").string() + "' '" +
                                wav.string() + "' -o '" + flac.string() + "'";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(flac)) {
        return std::string();
    }
    return flac.string();
}

// Polls `done` every 20 ms until it holds or `seconds` have passed.
template <typename Condition>
bool WaitUntil(double seconds, Condition done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace velmoria
