// The music module's entry points on Windows: winmm's own.
#pragma once

#include "shell/music/bgm_platform.h"

namespace velmoria {

class BgmPlatformWinmm final : public BgmPlatform {
  public:
    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override;
    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override;
    uint32_t WaveOutGetNumDevs() override;
    int32_t PlaySoundName(const char* sound, uint32_t flags) override;
};

}  // namespace velmoria
