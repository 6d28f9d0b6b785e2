// The media behind our MCI interpreter on Linux: music files and audio CDs over GStreamer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "shell/music/mci_media.h"

namespace velmoria {

// What stands in for the CD drive (tests); empty members mean the real one.
struct MciGstOptions {
    // A GStreamer description of the disc's source, in place of cdparanoiasrc on the drive.
    std::string discSource;
    // Whether a disc is in the drive, in place of asking the drive.
    std::function<bool()> discInDrive;
};

// The media backend: files through playbin, the first CD drive (VELMORIA_CD_DEVICE, else
// /dev/cdrom) through cdparanoiasrc.
class MciGst : public MciMediaBackend {
  public:
    explicit MciGst(MciGstOptions options = {}) : options_(std::move(options)) {}
    std::unique_ptr<MciFileMedia> OpenFile(const std::string& path, uint32_t* error) override;
    std::unique_ptr<MciDiscMedia> OpenDisc(uint32_t* error) override;

  private:
    MciGstOptions options_;
};

}  // namespace velmoria
