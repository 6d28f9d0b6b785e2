// bmp-corpus DIR: writes the bitmap corpus of the differential test: every bit depth, both header
// forms, with and without file header, odd colour counts, RLE, top-down, bit fields, and
// damaged files.
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/bmp_builder.h"

using velmoria::test::BmpRecipe;
using velmoria::test::Bytes;
using velmoria::test::Rgb;

namespace {

std::string outDir;
int written = 0;

void Write(const std::string& name, const Bytes& bytes) {
    std::ofstream out(outDir + "/" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ++written;
}

uint32_t Hash(int32_t x, int32_t y, uint32_t salt) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                 salt * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

std::vector<Rgb> Palette(size_t n, uint32_t salt) {
    std::vector<Rgb> p;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t h = Hash(static_cast<int32_t>(i), 7, salt);
        p.push_back(
            {static_cast<uint8_t>(h), static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h >> 16)});
    }
    return p;
}

BmpRecipe Uncompressed(int32_t width, int32_t height, uint16_t bits, uint32_t salt) {
    BmpRecipe s;
    s.width = width;
    s.height = height;
    s.bitCount = bits;
    if (bits <= 8) {
        s.palette = Palette(size_t{1} << bits, salt);
    }
    const int32_t rows = height < 0 ? -height : height;
    s.pixels = velmoria::test::PackRows(width, rows, bits,
                                        [&](int32_t x, int32_t r) { return Hash(x, r, salt); });
    return s;
}

std::vector<std::vector<uint8_t>> IndexRows(int32_t width, int32_t height, int bits,
                                            uint32_t salt) {
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // Long runs broken up by noise, so both run kinds appear.
            const uint32_t h = Hash(x / 5, y, salt);
            const uint32_t n = Hash(x, y, salt + 1);
            rows[static_cast<size_t>(y)].push_back(
                static_cast<uint8_t>(((n % 4 == 0) ? n : h) & ((1u << bits) - 1)));
        }
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bmp-corpus DIR\n");
        return 2;
    }
    outDir = argv[1];
    uint32_t salt = 1;

    // Uncompressed, every depth, both header forms, with and without file header, many widths.
    for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
        for (int32_t width : {1, 2, 3, 4, 5, 6, 7, 32}) {
            for (int form = 0; form < 4; ++form) {
                const bool core = form & 1;
                const bool fileHeader = !(form & 2);
                if (core && (bits == 16 || bits == 32)) {
                    continue;
                }
                BmpRecipe s = Uncompressed(width, 3, bits, ++salt);
                s.coreHeader = core;
                s.fileHeader = fileHeader;
                Write("rgb" + std::to_string(bits) + "-w" + std::to_string(width) +
                          (core ? "-core" : "-info") + (fileHeader ? "" : "-nofh"),
                      velmoria::test::BuildBmp(s));
            }
        }
        BmpRecipe topDown = Uncompressed(5, -4, bits, ++salt);
        Write("topdown" + std::to_string(bits), velmoria::test::BuildBmp(topDown));
    }

    // Colours used: smaller than the table (pixels still use every index), and 65536 or more.
    for (uint32_t used : {1u, 3u, 16u, 65536u, 65536u + 3u, 70000u}) {
        for (bool fileHeader : {true, false}) {
            BmpRecipe s = Uncompressed(9, 4, 8, ++salt);
            s.clrUsed = used;
            s.palette = Palette(static_cast<uint16_t>(used), salt);
            // Indexes both inside and just outside the carried entries.
            const uint32_t spread = (used % 65536 < 256 ? used % 65536 : 256) + 2;
            s.pixels = velmoria::test::PackRows(
                9, 4, 8, [&](int32_t x, int32_t r) { return Hash(x, r, salt) % spread; });
            s.fileHeader = fileHeader;
            Write("clrused" + std::to_string(used) + (fileHeader ? "" : "-nofh"),
                  velmoria::test::BuildBmp(s));
        }
    }
    {
        BmpRecipe s = Uncompressed(6, 2, 4, ++salt);
        s.clrUsed = 5;
        s.palette.resize(5);
        Write("clrused5-4bit", velmoria::test::BuildBmp(s));
        BmpRecipe t = Uncompressed(6, 2, 24, ++salt);
        t.clrUsed = 4;
        t.palette = Palette(4, salt);
        Write("clrused4-24bit", velmoria::test::BuildBmp(t));
    }

    // Bit fields.
    const struct {
        const char* name;
        uint16_t bits;
        uint32_t r, g, b;
    } fields[] = {
        {"565", 16, 0xF800, 0x07E0, 0x001F},
        {"555", 16, 0x7C00, 0x03E0, 0x001F},
        {"444", 16, 0x0F00, 0x00F0, 0x000F},
        {"bgr565", 16, 0x001F, 0x07E0, 0xF800},
        {"888", 32, 0xFF0000, 0x00FF00, 0x0000FF},
        {"rgbx", 32, 0x000000FF, 0x0000FF00, 0x00FF0000},
        {"101010", 32, 0x3FF00000, 0x000FFC00, 0x000003FF},
    };
    for (const auto& f : fields) {
        for (bool fileHeader : {true, false}) {
            BmpRecipe s = Uncompressed(7, 3, f.bits, ++salt);
            s.compression = 3;
            s.masks = {f.r, f.g, f.b};
            s.fileHeader = fileHeader;
            Write(std::string("bitfields-") + f.name + (fileHeader ? "" : "-nofh"),
                  velmoria::test::BuildBmp(s));
        }
    }

    // Run-length encoded.
    for (int bits : {8, 4}) {
        for (int32_t width : {1, 3, 7, 32, 61}) {
            BmpRecipe s;
            s.width = width;
            s.height = 5;
            s.bitCount = static_cast<uint16_t>(bits);
            s.compression = bits == 8 ? 1 : 2;
            s.palette = Palette(size_t{1} << bits, ++salt);
            s.pixels = velmoria::test::EncodeRle(IndexRows(width, 5, bits, salt), bits);
            Write("rle" + std::to_string(bits) + "-w" + std::to_string(width),
                  velmoria::test::BuildBmp(s));
        }
        BmpRecipe delta;
        delta.width = 8;
        delta.height = 4;
        delta.bitCount = static_cast<uint16_t>(bits);
        delta.compression = bits == 8 ? 1 : 2;
        delta.palette = Palette(16, ++salt);
        delta.clrUsed = 16;
        delta.pixels = {3, 0x12, 0, 2, 2, 1, 2, 0x34, 0, 0, 4, 0x56, 0, 1};
        Write("rle" + std::to_string(bits) + "-delta-eol", velmoria::test::BuildBmp(delta));
    }

    // Damaged and refused files.
    Write("empty", {});
    const Bytes good = velmoria::test::BuildBmp(Uncompressed(5, 3, 24, ++salt));
    Write("truncated-filehdr", Bytes(good.begin(), good.begin() + 9));
    Write("truncated-infohdr", Bytes(good.begin(), good.begin() + 30));
    Write("truncated-pixels", Bytes(good.begin(), good.end() - 1));
    BmpRecipe offset = Uncompressed(2, 2, 24, ++salt);
    offset.pixelOffset = 5000;
    Write("offset-past-end", velmoria::test::BuildBmp(offset));
    BmpRecipe table = Uncompressed(2, 2, 8, ++salt);
    table.fileHeader = false;
    table.clrUsed = 300;
    table.pixels.clear();
    Write("colour-table-past-end", velmoria::test::BuildBmp(table));
    BmpRecipe huge = Uncompressed(1, 1, 24, ++salt);
    huge.width = 100000;
    huge.height = 100000;
    Write("huge-dimensions", velmoria::test::BuildBmp(huge));
    BmpRecipe overflow = Uncompressed(1, 1, 32, ++salt);
    overflow.width = 0x7FFFFFFF;
    overflow.height = -0x7FFFFFFF;
    Write("overflowing-dimensions", velmoria::test::BuildBmp(overflow));
    for (uint32_t size : {108u, 124u}) {
        BmpRecipe v = Uncompressed(2, 2, 24, ++salt);
        v.headerSize = size;
        Write("header" + std::to_string(size), velmoria::test::BuildBmp(v));
    }
    BmpRecipe zero = Uncompressed(2, 2, 24, ++salt);
    zero.bitCount = 0;
    Write("zero-bit-depth", velmoria::test::BuildBmp(zero));
    const Bytes overruns[] = {
        {9, 1, 0, 1}, {0, 6, 1, 2, 3, 4, 5, 6, 0, 1}, {0, 2, 9, 9, 0, 1}, {2, 1, 0}};
    int n = 0;
    for (const Bytes& stream : overruns) {
        BmpRecipe s;
        s.width = 4;
        s.height = 2;
        s.bitCount = 8;
        s.compression = 1;
        s.palette = Palette(4, ++salt);
        s.clrUsed = 4;
        s.pixels = stream;
        Write("rle-overrun" + std::to_string(++n), velmoria::test::BuildBmp(s));
    }
    std::printf("%d files written to %s\n", written, outDir.c_str());
    return 0;
}
