// Skorvane_BGM's entry points on Linux: our MCI layer and sound player over GStreamer.
#include "shell/music/bgm_platform.h"
#include "shell/music/gst/mci_gst.h"

namespace velmoria {

namespace {

class BgmPlatformGst final : public BgmPlatform {
  public:
    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override {
        return MciSendStringGst(command, reply, length, nullptr);
    }
    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override {
        return MciGetErrorStringGst(code, text, length);
    }
    uint32_t WaveOutGetNumDevs() override { return WaveOutGetNumDevsGst(); }
    int32_t PlaySoundName(const char* sound, uint32_t flags) override {
        return PlaySoundGst(sound, nullptr, flags);
    }
};

}  // namespace

BgmPlatform& SystemBgmPlatform() {
    static BgmPlatformGst platform;
    return platform;
}

}  // namespace velmoria
