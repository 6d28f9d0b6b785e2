// Pixel conversion into a bottom-up BGR section, matching what GDI's SetDIBits produces.
#include "dib_software_converter.h"

#include <new>

#include "dib_rle.h"

namespace velmoria {

namespace {

struct Field {
    int shift = 0;
    int length = 0;
};

Field FieldOf(uint32_t mask) {
    Field f;
    if (mask == 0) {
        return f;
    }
    while (!(mask & 1u)) {
        mask >>= 1;
        ++f.shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++f.length;
    }
    return f;
}

// Widens a colour field to 8 bits as GDI does: the value's top bits are repeated once into the
// low bits (a 5-bit v becomes v << 3 | v >> 2); fields wider than 8 bits keep their top 8.
uint8_t Widen(uint32_t pixel, Field f) {
    if (f.length == 0) {
        return 0;
    }
    const uint32_t value = (pixel >> f.shift) & ((f.length >= 32 ? 0u : (1u << f.length)) - 1u);
    if (f.length >= 8) {
        return static_cast<uint8_t>(value >> (f.length - 8));
    }
    const uint32_t high = (value << (8 - f.length)) & 0xFFu;
    return static_cast<uint8_t>(high | (high >> f.length));
}

class Section {
  public:
    Section(uint8_t* data, int32_t width) : data_(data), stride_(DibStride(width, 24)) {}

    void Put(int32_t x, int32_t y, uint32_t bgr) {
        uint8_t* p = data_ + static_cast<size_t>(y) * stride_ + static_cast<size_t>(x) * 3;
        p[0] = static_cast<uint8_t>(bgr);
        p[1] = static_cast<uint8_t>(bgr >> 8);
        p[2] = static_cast<uint8_t>(bgr >> 16);
    }

  private:
    uint8_t* data_;
    size_t stride_;
};

class PaletteSink final : public RlePixelSink {
  public:
    PaletteSink(Section& section, const std::vector<uint32_t>& colours)
        : section_(section), colours_(colours) {}
    void Pixel(int32_t x, int32_t y, uint8_t index) override {
        section_.Put(x, y, index < colours_.size() ? colours_[index] : 0u);
    }

  private:
    Section& section_;
    const std::vector<uint32_t>& colours_;
};

uint32_t ReadLittle(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v |= static_cast<uint32_t>(p[i]) << (8 * i);
    }
    return v;
}

void ConvertUncompressed(const DibDescription& src, Section& section, int32_t rows) {
    const DibInfoHeader& h = src.header;
    const size_t stride = DibStride(h.width, h.bitCount);
    uint32_t masks[3] = {0x7C00u, 0x03E0u, 0x001Fu};  // 5-5-5 unless bit fields say otherwise
    if (h.bitCount == 32) {
        masks[0] = 0xFF0000u;
        masks[1] = 0x00FF00u;
        masks[2] = 0x0000FFu;
    }
    if (src.hasMasks) {
        for (int i = 0; i < 3; ++i) {
            masks[i] = src.masks[i];
        }
    }
    const Field red = FieldOf(masks[0]);
    const Field green = FieldOf(masks[1]);
    const Field blue = FieldOf(masks[2]);
    const size_t tableSize = src.colours.size();

    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* line = src.bits + static_cast<size_t>(r) * stride;
        const int32_t y = h.height < 0 ? rows - 1 - r : r;  // top-down files land bottom-up
        for (int32_t x = 0; x < h.width; ++x) {
            uint32_t bgr = 0;
            switch (h.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const int bits = h.bitCount;
                    const size_t bitPos = static_cast<size_t>(x) * bits;
                    const int shift = 8 - bits - static_cast<int>(bitPos % 8);
                    const uint32_t index = (line[bitPos / 8] >> shift) & ((1u << bits) - 1u);
                    bgr = index < tableSize ? src.colours[index] : 0u;
                    break;
                }
                case 24:
                    bgr = ReadLittle(line + static_cast<size_t>(x) * 3, 3);
                    break;
                default: {  // 16 and 32
                    const int bytes = h.bitCount / 8;
                    const uint32_t pixel = ReadLittle(line + static_cast<size_t>(x) * bytes, bytes);
                    bgr = Widen(pixel, blue) | (Widen(pixel, green) << 8) |
                          (static_cast<uint32_t>(Widen(pixel, red)) << 16);
                    break;
                }
            }
            section.Put(x, y, bgr);
        }
    }
}

}  // namespace

DibStatus SoftwareBgr24Converter::Convert(const DibDescription& source, const uint8_t** rows) {
    const DibInfoHeader& h = source.header;
    const int32_t height = h.height < 0 ? -h.height : h.height;
    try {
        section_.assign(DibStride(h.width, 24) * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return DibStatus::OutOfMemory;
    }
    Section section(section_.data(), h.width);
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        PaletteSink sink(section, source.colours);
        if (!WalkRle(source.bits, source.bitsSize, h.bitCount, h.width, height, &sink).ok) {
            return DibStatus::ConversionError;
        }
    } else {
        ConvertUncompressed(source, section, height);
    }
    *rows = section_.data();
    return DibStatus::Ok;
}

}  // namespace velmoria
