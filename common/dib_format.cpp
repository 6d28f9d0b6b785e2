// Header forms, colour count and validation of a DIB file held in memory.
#include "dib_format.h"

#include <new>

#include "dib_rle.h"

namespace velmoria {

namespace {

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

uint16_t ColorCountFromBits(uint32_t bitCount) {
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

bool FitsIn(size_t offset, size_t length, size_t size) {
    return offset <= size && length <= size - offset;
}

// Which bit depth and compression pairs GDI converts.
bool IsConvertible(const DibInfoHeader& h) {
    switch (h.compression) {
        case kBiRgb:
            return h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
                   h.bitCount == 24 || h.bitCount == 32;
        case kBiRle8:
            return h.bitCount == 8 && h.height > 0;  // RLE is never stored top-down
        case kBiRle4:
            return h.bitCount == 4 && h.height > 0;
        case kBiBitfields:
            return h.bitCount == 16 || h.bitCount == 32;
        default:
            return false;
    }
}

DibStatus FillHeader(const uint8_t* file, size_t fileSize, size_t headerAt, uint32_t headerSize,
                     DibDescription& out, size_t& tableAt, size_t& entrySize) {
    const uint8_t* hp = file + headerAt;
    DibInfoHeader& h = out.header;
    if (headerSize == kCoreHeaderSize) {
        if (!FitsIn(headerAt, kCoreHeaderSize, fileSize)) {
            return DibStatus::Corrupt;
        }
        h.size = kInfoHeaderSize;
        h.width = ReadU16(hp + 4);
        h.height = ReadU16(hp + 6);
        h.planes = ReadU16(hp + 8);
        h.bitCount = ReadU16(hp + 10);
        tableAt = headerAt + kCoreHeaderSize;
        entrySize = 3;
        return DibStatus::Ok;
    }
    if (headerSize == kInfoHeaderSize) {
        if (!FitsIn(headerAt, kInfoHeaderSize, fileSize)) {
            return DibStatus::Corrupt;
        }
        h.size = kInfoHeaderSize;
        h.width = ReadI32(hp + 4);
        h.height = ReadI32(hp + 8);
        h.planes = ReadU16(hp + 12);
        h.bitCount = ReadU16(hp + 14);
        h.compression = ReadU32(hp + 16);
        h.sizeImage = ReadU32(hp + 20);
        h.xPelsPerMeter = ReadI32(hp + 24);
        h.yPelsPerMeter = ReadI32(hp + 28);
        h.clrUsed = ReadU32(hp + 32);
        h.clrImportant = ReadU32(hp + 36);
        tableAt = headerAt + kInfoHeaderSize;
        entrySize = 4;
        // Bit-field masks sit between the header and the colour table.
        if (h.compression == kBiBitfields && (h.bitCount == 16 || h.bitCount == 32)) {
            if (!FitsIn(tableAt, 12, fileSize)) {
                return DibStatus::Corrupt;
            }
            out.hasMasks = true;
            for (int i = 0; i < 3; ++i) {
                out.masks[i] = ReadU32(file + tableAt + 4 * i);
            }
            tableAt += 12;
        }
        return DibStatus::Ok;
    }
    return DibStatus::UnknownFormat;
}

DibStatus CheckPixels(DibDescription& out, const uint8_t* bits, size_t available) {
    DibInfoHeader& h = out.header;
    const int64_t rows = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        const RleWalk walk =
            WalkRle(bits, available, h.bitCount, h.width, static_cast<int32_t>(rows), nullptr);
        if (!walk.ok) {
            return DibStatus::Corrupt;
        }
        // A converter reads the stream no further than its end code.
        out.bits = bits;
        out.bitsSize = walk.consumed;
        h.sizeImage = static_cast<uint32_t>(walk.consumed);
        return DibStatus::Ok;
    }
    const size_t needed = DibStride(h.width, h.bitCount) * static_cast<size_t>(rows);
    if (needed > available) {
        return DibStatus::Corrupt;
    }
    out.bits = bits;
    out.bitsSize = needed;
    return DibStatus::Ok;
}

DibStatus Describe(const uint8_t* file, size_t fileSize, DibDescription& out) {
    size_t headerAt = 0;
    bool bitsKnown = false;
    size_t bitsAt = 0;
    if (fileSize >= 2 && ReadU16(file) == 0x4D42) {  // "BM"
        if (fileSize < kFileHeaderSize) {
            return DibStatus::Corrupt;
        }
        bitsAt = ReadU32(file + 10);
        bitsKnown = true;
        headerAt = kFileHeaderSize;
    }
    if (!FitsIn(headerAt, 4, fileSize)) {
        return DibStatus::Corrupt;
    }
    const uint32_t headerSize = ReadU32(file + headerAt);
    const uint16_t colorCount = DibColorCount(file + headerAt, fileSize - headerAt);
    size_t tableAt = 0;
    size_t entrySize = 0;
    DibStatus status = FillHeader(file, fileSize, headerAt, headerSize, out, tableAt, entrySize);
    if (status != DibStatus::Ok) {
        return status;
    }
    DibInfoHeader& h = out.header;
    if (headerSize == kCoreHeaderSize) {
        h.clrUsed = colorCount;
        h.clrImportant = colorCount;
    }

    if (!FitsIn(tableAt, entrySize * colorCount, fileSize)) {
        return DibStatus::Corrupt;
    }
    // A converter may look up every index the bit depth allows; entries the file lacks are black.
    const size_t lookupEntries = ColorCountFromBits(h.bitCount);
    out.colours.assign(colorCount > lookupEntries ? colorCount : lookupEntries, 0u);
    for (size_t i = 0; i < colorCount; ++i) {
        const uint8_t* e = file + tableAt + entrySize * i;
        out.colours[i] = e[0] | (e[1] << 8) | (static_cast<uint32_t>(e[2]) << 16);
    }
    if (!bitsKnown) {
        bitsAt = tableAt + entrySize * colorCount;
    }

    if (h.clrUsed == 0) {
        h.clrUsed = colorCount;
    }

    if (h.width <= 0 || h.height == 0) {
        return DibStatus::Corrupt;
    }
    const int64_t rows = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    if (h.width > kMaxDibSide || rows > kMaxDibSide ||
        DibStride(h.width, 24) * static_cast<size_t>(rows) > kMaxDibPixelBytes) {
        return DibStatus::TooLarge;
    }
    // Only now are the sides small enough for the size arithmetic.
    if (h.sizeImage == 0) {
        h.sizeImage = static_cast<uint32_t>(((static_cast<int64_t>(h.bitCount) * h.width + 7) / 8) *
                                            h.height);
    }
    if (!IsConvertible(h)) {
        return DibStatus::ConversionError;
    }
    if (bitsAt > fileSize) {
        return DibStatus::Corrupt;
    }
    return CheckPixels(out, file + bitsAt, fileSize - bitsAt);
}

}  // namespace

uint16_t DibColorCount(const uint8_t* header, size_t available) {
    if (available < 4) {
        return 0;
    }
    const uint32_t size = ReadU32(header);
    if (size == kCoreHeaderSize) {
        return available >= kCoreHeaderSize ? ColorCountFromBits(ReadU16(header + 10)) : 0;
    }
    if (available < kInfoHeaderSize) {
        return 0;
    }
    const uint32_t used = ReadU32(header + 32);
    if (used != 0) {
        return static_cast<uint16_t>(used);  // only the low 16 bits count
    }
    return ColorCountFromBits(ReadU16(header + 14));
}

size_t DibStride(int32_t width, uint32_t bitCount) {
    return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
}

DibStatus DescribeDib(const uint8_t* file, size_t fileSize, DibDescription& out) {
    try {
        return Describe(file, fileSize, out);
    } catch (const std::bad_alloc&) {
        return DibStatus::OutOfMemory;
    }
}

const char* DibStatusMessage(DibStatus status) {
    switch (status) {
        case DibStatus::Ok:
            return "";
        case DibStatus::OutOfMemory:
            return "Out of memory.";
        case DibStatus::UnknownFormat:
            return "Unknown DIB file format.";
        case DibStatus::ConversionError:
            return "Image file conversion error.";
        case DibStatus::Corrupt:
            return "Corrupt DIB file: its data is incomplete or inconsistent.";
        case DibStatus::TooLarge:
            return "DIB image too large.";
    }
    return "";
}

}  // namespace velmoria
