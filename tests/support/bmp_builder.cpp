// BMP files assembled field by field, so tests control every byte.
#include "bmp_builder.h"

#include <algorithm>

namespace velmoria::test {

namespace {

void PutU16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(Bytes& b, uint32_t v) {
    PutU16(b, v & 0xFFFF);
    PutU16(b, v >> 16);
}

}  // namespace

Bytes BuildBmp(const BmpRecipe& s) {
    Bytes dib;
    const uint32_t size = s.headerSize.value_or(s.coreHeader ? 12 : 40);
    PutU32(dib, size);
    if (s.coreHeader) {
        PutU16(dib, static_cast<uint32_t>(s.width));
        PutU16(dib, static_cast<uint32_t>(s.height));
        PutU16(dib, s.planes);
        PutU16(dib, s.bitCount);
    } else {
        PutU32(dib, static_cast<uint32_t>(s.width));
        PutU32(dib, static_cast<uint32_t>(s.height));
        PutU16(dib, s.planes);
        PutU16(dib, s.bitCount);
        PutU32(dib, s.compression);
        PutU32(dib, s.sizeImage);
        PutU32(dib, 2835);
        PutU32(dib, 2835);
        PutU32(dib, s.clrUsed);
        PutU32(dib, 0);
        // Longer headers (108, 124 bytes) get zero fields up to their size.
        while (dib.size() < size) {
            dib.push_back(0);
        }
    }
    for (uint32_t m : s.masks) {
        PutU32(dib, m);
    }
    for (const Rgb& c : s.palette) {
        dib.push_back(c[2]);
        dib.push_back(c[1]);
        dib.push_back(c[0]);
        if (!s.coreHeader) {
            dib.push_back(0);
        }
    }
    Bytes file;
    if (s.fileHeader) {
        const uint32_t offset = s.pixelOffset.value_or(static_cast<uint32_t>(14 + dib.size()));
        file.push_back('B');
        file.push_back('M');
        PutU32(file, static_cast<uint32_t>(14 + dib.size() + s.pixels.size()));
        PutU32(file, 0);
        PutU32(file, offset);
    }
    file.insert(file.end(), dib.begin(), dib.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

Bytes PackRows(int32_t width, int32_t rows, int bitCount,
               const std::function<uint32_t(int32_t, int32_t)>& value) {
    const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    Bytes out(stride * static_cast<size_t>(rows), 0);
    for (int32_t r = 0; r < rows; ++r) {
        uint8_t* line = out.data() + stride * static_cast<size_t>(r);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = value(x, r);
            if (bitCount < 8) {
                const size_t bit = static_cast<size_t>(x) * bitCount;
                const int shift = 8 - bitCount - static_cast<int>(bit % 8);
                line[bit / 8] |= static_cast<uint8_t>((v & ((1u << bitCount) - 1)) << shift);
            } else {
                for (int i = 0; i < bitCount / 8; ++i) {
                    line[static_cast<size_t>(x) * (bitCount / 8) + i] =
                        static_cast<uint8_t>(v >> (8 * i));
                }
            }
        }
    }
    return out;
}

Bytes EncodeRle(const std::vector<std::vector<uint8_t>>& rows, int bitCount) {
    Bytes out;
    const bool rle4 = bitCount == 4;
    // Two pixels packed as an RLE4 byte: a run repeats this pair.
    auto pair = [&](const std::vector<uint8_t>& row, size_t x, size_t count) {
        return static_cast<uint8_t>((row[x] << 4) | (count > 1 ? row[x + 1] : 0));
    };
    for (const auto& row : rows) {
        size_t x = 0;
        while (x < row.size()) {
            // An encoded run repeats one index (RLE8) or an alternating pair (RLE4).
            size_t run = 1;
            while (x + run < row.size() && run < 255 &&
                   row[x + run] == row[x + (rle4 ? run % 2 : 0)]) {
                ++run;
            }
            const size_t left = std::min<size_t>(row.size() - x, 16);
            if (run >= 3 || left < 3) {
                const size_t count = run >= 3 ? run : std::min(run, left);
                out.push_back(static_cast<uint8_t>(count));
                out.push_back(rle4 ? pair(row, x, count) : row[x]);
                x += count;
                continue;
            }
            // Otherwise an absolute run of up to 16 pixels, padded to 16 bits.
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(left));
            size_t bytes = 0;
            for (size_t i = 0; i < left; i += rle4 ? 2 : 1, ++bytes) {
                out.push_back(rle4 ? pair(row, x + i, left - i) : row[x + i]);
            }
            if (bytes % 2) {
                out.push_back(0);
            }
            x += left;
        }
        out.push_back(0);
        out.push_back(0);  // end of line
    }
    out.push_back(0);
    out.push_back(1);  // end of bitmap
    return out;
}

}  // namespace velmoria::test
