// Builds BMP files byte by byte for the tests and the test corpus, including damaged ones.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velmoria::test {

using Bytes = std::vector<uint8_t>;
using Rgb = std::array<uint8_t, 3>;

struct BmpRecipe {
    bool fileHeader = true;
    bool coreHeader = false;             // 12-byte header instead of the 40-byte one
    std::optional<uint32_t> headerSize;  // overrides the size field (e.g. 108, 124)
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<Rgb> palette;             // written as the colour table, in this order
    std::vector<uint32_t> masks;          // written right after the header when not empty
    std::optional<uint32_t> pixelOffset;  // overrides the file header's offset
    Bytes pixels;                         // the stored pixel bytes
};

Bytes BuildBmp(const BmpRecipe& recipe);

// Stored rows (bottom row first as given) of `bitCount`-bit values, each row padded to 4 bytes.
// value(x, storedRow) gives the raw pixel value (index, 16-bit word, 0xRRGGBB, 32-bit word).
Bytes PackRows(int32_t width, int32_t rows, int bitCount,
               const std::function<uint32_t(int32_t, int32_t)>& value);

// Run-length encodes rows of colour indexes (bottom row first) as RLE8 or RLE4, ending each
// line with an end-of-line code and the image with end-of-bitmap.
Bytes EncodeRle(const std::vector<std::vector<uint8_t>>& rows, int bitCount);

}  // namespace velmoria::test
