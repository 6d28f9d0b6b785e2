// The music module's entry points on Windows: winmm's own.
#include "shell/music/win32/bgm_platform_winmm.h"

#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

namespace velmoria {

uint32_t BgmPlatformWinmm::MciSendString(const char* command, char* reply, uint32_t length) {
    return mciSendStringA(command, reply, length, nullptr);
}

int32_t BgmPlatformWinmm::MciGetErrorString(uint32_t code, char* text, uint32_t length) {
    return mciGetErrorStringA(code, text, length);
}

uint32_t BgmPlatformWinmm::WaveOutGetNumDevs() {
    return waveOutGetNumDevs();
}

int32_t BgmPlatformWinmm::PlaySoundName(const char* sound, uint32_t flags) {
    return PlaySoundA(sound, nullptr, flags);
}

}  // namespace velmoria
