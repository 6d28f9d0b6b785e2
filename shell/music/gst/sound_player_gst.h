// The system sound player (PlaySoundA) over GStreamer: one sound at a time, a wave file through
// playbin, looped without a gap, or the generated default sound.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <string>

#include "shell/music/gst/gst_support_gst.h"

namespace velmoria {

class SoundPlayerGst {
  public:
    SoundPlayerGst() = default;
    ~SoundPlayerGst() { Stop(); }
    SoundPlayerGst(const SoundPlayerGst&) = delete;
    SoundPlayerGst& operator=(const SoundPlayerGst&) = delete;

    // PlaySoundA(sound, no module, flags) for wave files: SND_ASYNC, SND_LOOP, SND_NODEFAULT,
    // SND_NOSTOP and SND_FILENAME; a null sound stops. True on success.
    bool Play(const char* sound, uint32_t flags);

  private:
    bool Playing() const;
    void Stop();
    bool PlayFile(const char* path, bool loop, bool wait);
    bool PlayDefault(bool wait);
    bool Start(GstElement* pipeline, GstElement* sink, bool wait);
    static void OnAboutToFinish(GstElement* playbin, gpointer self);

    GstElement* pipeline_ = nullptr;
    BusWatchGst watch_;
    std::string uri_;
};

}  // namespace velmoria
