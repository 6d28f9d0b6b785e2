// The Linux stand-ins of winmm's four entry points that the music module uses, over GStreamer:
// MCI command strings and their error texts, the wave-output device count and the sound player.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/music/mci_media.h"

namespace velmoria {

// mciSendStringA(command, returnString, returnLength, callback). The callback window is not
// used: no command here notifies.
uint32_t MciSendStringGst(const char* command, char* returnString, uint32_t returnLength,
                          void* callback);

// mciGetErrorStringA(code, text, length): non-zero when a text was written.
int MciGetErrorStringGst(uint32_t code, char* text, uint32_t length);

// waveOutGetNumDevs(): 1 when an audio output can be opened, else 0.
uint32_t WaveOutGetNumDevsGst();

// PlaySoundA(sound, module, flags) for wave files: SND_ASYNC, SND_LOOP, SND_NODEFAULT,
// SND_NOSTOP and SND_FILENAME; a null sound stops. Non-zero on success.
int PlaySoundGst(const char* sound, void* module, uint32_t flags);

// The media backend: files through playbin, the first CD drive (VELMORIA_CD_DEVICE, else
// /dev/cdrom) through cdparanoiasrc.
class MciGst : public MciMediaBackend {
  public:
    std::unique_ptr<MciFileMedia> OpenFile(const std::string& path, uint32_t* error) override;
    std::unique_ptr<MciDiscMedia> OpenDisc(uint32_t* error) override;
};

}  // namespace velmoria
