// The music module's entry points on Linux: our MCI interpreter over GStreamer media, the
// wave-output check and the looping sound player, reached directly.
#pragma once

#include "shell/music/bgm_platform.h"
#include "shell/music/gst/mci_gst.h"
#include "shell/music/gst/sound_player_gst.h"
#include "shell/music/mci_interpreter.h"

namespace velmoria {

class BgmPlatformGst final : public BgmPlatform {
  public:
    explicit BgmPlatformGst(MciGstOptions options = {})
        : media_(std::move(options)), interpreter_(media_) {}
    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override;
    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override;
    // 1 when an audio output can be opened, else 0.
    uint32_t WaveOutGetNumDevs() override;
    int32_t PlaySoundName(const char* sound, uint32_t flags) override;

  private:
    MciGst media_;
    MciInterpreter interpreter_;
    SoundPlayerGst player_;
};

}  // namespace velmoria
