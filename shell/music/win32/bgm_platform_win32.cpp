// Skorvane_BGM's entry points on Windows: winmm's own.
#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

#include "shell/music/bgm_platform.h"

namespace velmoria {

namespace {

class BgmPlatformWinmm final : public BgmPlatform {
  public:
    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override {
        return mciSendStringA(command, reply, length, nullptr);
    }
    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override {
        return mciGetErrorStringA(code, text, length);
    }
    uint32_t WaveOutGetNumDevs() override { return waveOutGetNumDevs(); }
    int32_t PlaySoundName(const char* sound, uint32_t flags) override {
        return PlaySoundA(sound, nullptr, flags);
    }
};

}  // namespace

BgmPlatform& SystemBgmPlatform() {
    static BgmPlatformWinmm platform;
    return platform;
}

}  // namespace velmoria
