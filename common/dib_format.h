// Reading a Windows DIB file held in memory: the two header forms, the colour count, and the
// working description that the platform converter turns into 24-bit pixels. Everything a
// converter will read is checked against the file's length here, before any pixel is touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmoria {

// Compression values of the info header.
enum DibCompression : uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
};

// The 40-byte info header, field by field.
struct DibInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};

constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kFileHeaderSize = 14;

// Largest side accepted; beyond it the pixel buffers would be absurd.
constexpr int32_t kMaxDibSide = 16384;
// Largest 24-bit picture accepted: its rows as the converted section holds them (3 bytes a
// pixel, padded to 4 bytes) times its rows. The sprite is 32 x 32; a few bytes claiming more
// must not cost gigabytes of section, copy and mipmaps.
constexpr size_t kMaxDibPixelBytes = size_t{64} << 20;

// The in-memory description of the source, always in info form, plus the validated pixel bytes.
struct DibDescription {
    DibInfoHeader header{};
    // Colour entries as blue, green, red, 0 packed little-endian (RGBQUAD). Always holds every
    // entry a converter may look up: bit depths of 8 or less get a full table, the entries the
    // file does not carry being black.
    std::vector<uint32_t> colours;
    bool hasMasks = false;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue, for 16- and 32-bit bit-field images
    const uint8_t* bits = nullptr;
    size_t bitsSize = 0;  // bytes of `bits` a converter may read
};

enum class DibStatus {
    Ok,
    OutOfMemory,
    UnknownFormat,
    ConversionError,
    Corrupt,   // needs bytes the file does not have, or RLE that leaves the image
    TooLarge,  // a side beyond kMaxDibSide, or more than kMaxDibPixelBytes of 24-bit pixels
};

// The colour count of a header as the file format defines it (16-bit).
uint16_t DibColorCount(const uint8_t* header, size_t available);

// Builds the working description of a whole file held in memory.
DibStatus DescribeDib(const uint8_t* file, size_t fileSize, DibDescription& out);

// Bytes of one stored row of an uncompressed image, padded to four bytes.
size_t DibStride(int32_t width, uint32_t bitCount);

// The user-facing text of a failure (the open failure has its own formatter).
const char* DibStatusMessage(DibStatus status);

}  // namespace velmoria
