// The music module's entry points on Linux.
#include "shell/music/gst/bgm_platform_gst.h"

#include "shell/music/gst/gst_support_gst.h"
#include "shell/music/mci_errors.h"

namespace velmoria {

uint32_t BgmPlatformGst::MciSendString(const char* command, char* reply, uint32_t length) {
    return interpreter_.Send(command, reply, length);
}

int32_t BgmPlatformGst::MciGetErrorString(uint32_t code, char* text, uint32_t length) {
    return MciGetErrorText(code, text, length) ? 1 : 0;
}

uint32_t BgmPlatformGst::WaveOutGetNumDevs() {
    return AudioOutputAvailableGst() ? 1 : 0;
}

int32_t BgmPlatformGst::PlaySoundName(const char* sound, uint32_t flags) {
    return player_.Play(sound, flags) ? 1 : 0;
}

}  // namespace velmoria
