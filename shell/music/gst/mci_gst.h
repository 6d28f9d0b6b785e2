// The media behind our MCI interpreter on Linux: music files and audio CDs over GStreamer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/music/mci_media.h"

namespace velmoria {

// The media backend: files through playbin, the first CD drive (VELMORIA_CD_DEVICE, else
// /dev/cdrom) through cdparanoiasrc.
class MciGst : public MciMediaBackend {
  public:
    std::unique_ptr<MciFileMedia> OpenFile(const std::string& path, uint32_t* error) override;
    std::unique_ptr<MciDiscMedia> OpenDisc(uint32_t* error) override;
};

}  // namespace velmoria
