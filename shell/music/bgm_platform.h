// The four platform entry points that the music module Skorvane_BGM calls: media-control command
// strings, their error texts, the wave-output device count and the system sound player.
// winmm implements it on Windows (win32/), our GStreamer layer on Linux (gst/), tests script it;
// the shell's platform hands out its own (ShellPlatform::Music in shell/platform.h).
#pragma once

#include <cstdint>

namespace velmoria {

class BgmPlatform {
  public:
    virtual ~BgmPlatform() = default;
    // mciSendStringA(command, reply, length, no callback window): 0 or an MCI error code. A
    // null reply with length 0 asks for no reply.
    virtual uint32_t MciSendString(const char* command, char* reply, uint32_t length) = 0;
    // mciGetErrorStringA(code, text, length): non-zero when a text was written.
    virtual int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) = 0;
    // waveOutGetNumDevs().
    virtual uint32_t WaveOutGetNumDevs() = 0;
    // PlaySoundA(sound, no module, flags); a null sound stops. Non-zero on success.
    virtual int32_t PlaySoundName(const char* sound, uint32_t flags) = 0;
};

}  // namespace velmoria
