// Walking the run-length encoded pixel streams (RLE8 and RLE4) of a DIB. The same walk checks a
// stream before anything converts it and, with a pixel sink, decodes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmoria {

struct RleWalk {
    bool ok;          // the stream stays inside its bytes and inside the image
    size_t consumed;  // bytes up to and including the end-of-bitmap code (or the last one read)
};

// Receives each decoded pixel: x, y counted from the bottom row, and its colour index.
class RlePixelSink {
  public:
    virtual ~RlePixelSink() = default;
    virtual void Pixel(int32_t x, int32_t y, uint8_t index) = 0;
};

// bitCount is 8 (RLE8) or 4 (RLE4); height is positive (RLE images are always stored
// bottom-up). A null sink only checks the stream.
RleWalk WalkRle(const uint8_t* bits, size_t size, uint32_t bitCount, int32_t width, int32_t height,
                RlePixelSink* sink);

}  // namespace velmoria
