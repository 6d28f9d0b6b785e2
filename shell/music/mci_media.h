// What the MCI interpreter asks of the media services behind it: an opened music file, an opened
// audio-CD drive, and the factory of both. GStreamer implements it on Linux (gst/), tests fake it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/music/mci_text.h"

namespace velmoria {

// A music file opened for playback. Positions in milliseconds.
class MciFileMedia {
  public:
    virtual ~MciFileMedia() = default;
    // -1 while not known.
    virtual int64_t LengthMs() = 0;
    virtual int64_t PositionMs() = 0;
    // Plays from fromMs (the current position when negative) to toMs (the end when negative),
    // returning at once: 0 or an MCI error code.
    virtual uint32_t Play(int64_t fromMs, int64_t toMs) = 0;
    // Halts playback where it is.
    virtual void Stop() = 0;
    // Stopped once the end of the range has been reached.
    virtual MciMode Mode() = 0;
};

// A disc's table of contents: the first frame of each track, counted from the first audio frame
// (track 1 normally starts at 0), and the frame just after the last track.
struct MciDiscToc {
    std::vector<uint32_t> trackStarts;
    uint32_t endFrame = 0;
};

// Whether the disc in a drive can be played.
enum class MciDiscState {
    Ready,    // its table of contents is known
    Reading,  // a disc is being read (a drive spinning up takes seconds); ask again later
    Absent,   // no readable audio disc: none in the drive, or it failed, or it was taken out
};

// An audio-CD drive opened for playback. Positions in frames (1/75 s) as in MciDiscToc.
class MciDiscMedia {
  public:
    virtual ~MciDiscMedia() = default;
    // Fills `toc` when the disc is Ready. Never waits for the drive.
    virtual MciDiscState ReadToc(MciDiscToc* toc) = 0;
    virtual uint32_t PositionFrames() = 0;
    // Plays the frames [fromFrame, toFrame), returning at once: 0 or an MCI error code.
    virtual uint32_t Play(uint32_t fromFrame, uint32_t toFrame) = 0;
    virtual void Stop() = 0;
    virtual MciMode Mode() = 0;
};

class MciMediaBackend {
  public:
    virtual ~MciMediaBackend() = default;
    // nullptr with *error set when the file cannot be opened.
    virtual std::unique_ptr<MciFileMedia> OpenFile(const std::string& path, uint32_t* error) = 0;
    // nullptr with *error set when there is no drive to open.
    virtual std::unique_ptr<MciDiscMedia> OpenDisc(uint32_t* error) = 0;
};

}  // namespace velmoria
