// RLE8/RLE4 streams: pairs (count, value) for runs, and escapes after a zero count: 0 end of
// line, 1 end of bitmap, 2 delta (dx, dy), 3 and more an absolute run padded to 16 bits.
#include "dib_rle.h"

namespace velmoria {

RleWalk WalkRle(const uint8_t* bits, size_t size, uint32_t bitCount, int32_t width, int32_t height,
                RlePixelSink* sink) {
    const bool rle4 = bitCount == 4;
    int64_t x = 0;
    int64_t y = 0;
    size_t at = 0;
    auto put = [&](uint8_t index) -> bool {
        // A pixel outside the image means the stream is damaged; GDI must never see it.
        if (x >= width || y >= height) {
            return false;
        }
        if (sink != nullptr) {
            sink->Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y), index);
        }
        ++x;
        return true;
    };
    while (at + 2 <= size) {
        const uint8_t count = bits[at];
        const uint8_t value = bits[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                const uint8_t index = rle4 ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value;
                if (!put(index)) {
                    return {false, at};
                }
            }
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++y;
                if (y > height) {
                    return {false, at};
                }
                break;
            case 1:  // end of bitmap
                return {true, at};
            case 2: {  // delta
                if (at + 2 > size) {
                    return {false, at};
                }
                x += bits[at];
                y += bits[at + 1];
                at += 2;
                if (x > width || y > height) {
                    return {false, at};
                }
                break;
            }
            default: {  // absolute run of `value` pixels
                const size_t bytes = rle4 ? (value + 1u) / 2u : value;
                const size_t padded = (bytes + 1u) & ~size_t{1};
                if (at + bytes > size) {
                    return {false, at};
                }
                for (int i = 0; i < value; ++i) {
                    const uint8_t byte = bits[at + (rle4 ? i / 2 : i)];
                    const uint8_t index = rle4 ? ((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte;
                    if (!put(index)) {
                        return {false, at};
                    }
                }
                // The pad byte of the last run may be missing at the very end of a file.
                at = at + padded <= size ? at + padded : size;
                break;
            }
        }
    }
    // The bytes ran out without an end-of-bitmap code: fine only once every pixel is reached.
    const bool complete = y >= height || (y == height - 1 && x >= width);
    return {complete, at};
}

}  // namespace velmoria
