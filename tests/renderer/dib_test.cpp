// The bitmap loader: header forms, bit depths, colour tables, RLE, and every damaged input.
// Each case runs through LoadDibFile on a real file (GDI on Windows, our decoder on Linux) and
// through our decoder in memory; both must agree with the expected picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/dib_format.h"
#include "common/dib_loader.h"
#include "common/dib_software_converter.h"
#include "renderer/dib_file_loader.h"
#include "tests/support/bmp_builder.h"

namespace velmoria {
namespace {

using test::BmpRecipe;
using test::Bytes;
using test::Rgb;

struct Loaded {
    std::string message;  // empty on success
    int32_t width = 0;
    int32_t height = 0;
    Bytes pixels;
};

bool operator==(const Loaded& a, const Loaded& b) {
    return a.message == b.message && a.width == b.width && a.height == b.height &&
           a.pixels == b.pixels;
}

std::ostream& operator<<(std::ostream& os, const Loaded& l) {
    return os << "{message '" << l.message << "', " << l.width << "x" << l.height << "}";
}

Loaded FromImage(RgbImage* image, std::string message) {
    Loaded l;
    l.message = std::move(message);
    if (image != nullptr) {
        l.width = image->width;
        l.height = image->height;
        l.pixels.assign(image->pixels,
                        image->pixels + static_cast<size_t>(image->width) * image->height * 3);
        FreeRgbImage(image);
    }
    return l;
}

std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("velmoria-dib-test-" + name);
}

Loaded LoadFile(const std::string& path) {
    std::string message;
    int reports = 0;
    struct Capture {
        std::string* message;
        int* reports;
    } capture{&message, &reports};
    RgbImage* image = LoadDibFile(
        path.c_str(),
        [](const char* text, void* context) {
            auto* c = static_cast<Capture*>(context);
            *c->message = text;
            ++*c->reports;
        },
        &capture);
    EXPECT_EQ(reports, image == nullptr ? 1 : 0) << "exactly one message per failure";
    return FromImage(image, message);
}

// Loads through both paths and checks that they agree.
Loaded Load(const Bytes& file) {
    const std::filesystem::path path =
        TempPath(std::to_string(reinterpret_cast<uintptr_t>(&file)) + ".bmp");
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
    }
    const Loaded fromFile = LoadFile(path.string());
    std::filesystem::remove(path);

    SoftwareBgr24Converter converter;
    const DibLoadResult r = LoadDibFromMemory(file.data(), file.size(), converter);
    const Loaded fromMemory =
        FromImage(r.image, r.image == nullptr ? DibStatusMessage(r.status) : "");
    EXPECT_EQ(fromFile, fromMemory) << "the platform loader and our decoder disagree";
    if (fromFile.pixels != fromMemory.pixels) {
        ADD_FAILURE() << "pixels differ";
    }
    return fromFile;
}

// A picture with a distinct colour per pixel, given by picture coordinates (row 0 = bottom).
Rgb ColourAt(int32_t x, int32_t y) {
    return {static_cast<uint8_t>(x * 37 + y * 11 + 5), static_cast<uint8_t>(x * 7 + y * 53 + 90),
            static_cast<uint8_t>(x * 101 + y * 3 + 200)};
}

Bytes ExpectedPicture(int32_t width, int32_t height, Rgb (*colour)(int32_t, int32_t)) {
    Bytes out;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            out.insert(out.end(), c.begin(), c.end());
        }
    }
    return out;
}

uint32_t Packed24(Rgb c) {
    return c[2] | (c[1] << 8) | (static_cast<uint32_t>(c[0]) << 16);
}

BmpRecipe TrueColour(int32_t width, int32_t height) {
    BmpRecipe s;
    s.width = width;
    s.height = height;
    s.pixels = test::PackRows(width, height, 24,
                              [](int32_t x, int32_t r) { return Packed24(ColourAt(x, r)); });
    return s;
}

// A 16-entry palette of distinct colours.
std::vector<Rgb> Palette(size_t n) {
    std::vector<Rgb> p;
    for (size_t i = 0; i < n; ++i) {
        p.push_back({static_cast<uint8_t>(i * 13 + 1), static_cast<uint8_t>(255 - i * 7),
                     static_cast<uint8_t>(i * 29 + 64)});
    }
    return p;
}

TEST(DibColorCount, FollowsHeaderFormAndColoursUsed) {
    auto header = [](uint32_t size, uint16_t bits, uint32_t used) {
        BmpRecipe s;
        s.fileHeader = false;
        s.coreHeader = size == 12;
        s.bitCount = bits;
        s.clrUsed = used;
        return test::BuildBmp(s);
    };
    const std::pair<Bytes, uint16_t> cases[] = {
        {header(12, 1, 0), 2},         {header(12, 4, 0), 16},    {header(12, 8, 0), 256},
        {header(12, 24, 0), 0},        {header(40, 8, 0), 256},   {header(40, 24, 0), 0},
        {header(40, 16, 0), 0},        {header(40, 8, 5), 5},     {header(40, 24, 3), 3},
        {header(40, 8, 65536 + 2), 2}, {header(40, 8, 65536), 0},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(DibColorCount(bytes.data(), bytes.size()), expected);
    }
}

TEST(TrueColour, WidthsOneToSevenAndThirtyTwoComeOutUnpadded) {
    for (int32_t width : {1, 2, 3, 4, 5, 6, 7, 32}) {
        for (bool fileHeader : {true, false}) {
            BmpRecipe s = TrueColour(width, 3);
            s.fileHeader = fileHeader;
            const Loaded l = Load(test::BuildBmp(s));
            ASSERT_EQ(l.message, "") << "width " << width;
            EXPECT_EQ(l.width, width);
            EXPECT_EQ(l.height, 3);
            EXPECT_EQ(l.pixels, ExpectedPicture(width, 3, ColourAt)) << "width " << width;
        }
    }
}

TEST(TrueColour, CoreHeaderLoadsLikeTheInfoHeader) {
    BmpRecipe info = TrueColour(5, 4);
    BmpRecipe core = info;
    core.coreHeader = true;
    const Loaded a = Load(test::BuildBmp(info));
    const Loaded b = Load(test::BuildBmp(core));
    EXPECT_EQ(a.message, "");
    EXPECT_EQ(a, b);
}

TEST(TrueColour, TopDownFileStillComesOutBottomRowFirst) {
    BmpRecipe s = TrueColour(3, 4);
    s.height = -4;
    // Stored row r is picture row 3 - r.
    s.pixels =
        test::PackRows(3, 4, 24, [](int32_t x, int32_t r) { return Packed24(ColourAt(x, 3 - r)); });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    EXPECT_EQ(l.height, 4);
    EXPECT_EQ(l.pixels, ExpectedPicture(3, 4, ColourAt));
}

TEST(TrueColour, ThirtyTwoBitsIgnoreTheFourthByte) {
    BmpRecipe s;
    s.width = 3;
    s.height = 2;
    s.bitCount = 32;
    s.pixels = test::PackRows(
        3, 2, 32, [](int32_t x, int32_t r) { return 0xAB000000u | Packed24(ColourAt(x, r)); });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    EXPECT_EQ(l.pixels, ExpectedPicture(3, 2, ColourAt));
}

TEST(Paletted, OneFourAndEightBitsExpandThroughTheTable) {
    for (uint16_t bits : {1, 4, 8}) {
        for (bool core : {false, true}) {
            const size_t entries = size_t{1} << bits;
            BmpRecipe s;
            s.coreHeader = core;
            s.width = 7;
            s.height = 3;
            s.bitCount = bits;
            s.palette = Palette(entries < 16 ? entries : 16);
            if (entries > 16) {
                s.palette.resize(entries, Rgb{9, 9, 9});
            }
            auto index = [entries](int32_t x, int32_t r) {
                return static_cast<uint32_t>((x * 3 + r) % (entries < 16 ? entries : 16));
            };
            s.pixels = test::PackRows(7, 3, bits, index);
            const Loaded l = Load(test::BuildBmp(s));
            ASSERT_EQ(l.message, "") << bits << " bits";
            Bytes expected;
            for (int32_t r = 0; r < 3; ++r) {
                for (int32_t x = 0; x < 7; ++x) {
                    const Rgb c = s.palette[index(x, r)];
                    expected.insert(expected.end(), c.begin(), c.end());
                }
            }
            EXPECT_EQ(l.pixels, expected) << bits << " bits, core " << core;
        }
    }
}

TEST(Paletted, WithoutFileHeaderPixelsFollowTheTable) {
    BmpRecipe s;
    s.fileHeader = false;
    s.width = 4;
    s.height = 2;
    s.bitCount = 8;
    s.clrUsed = 3;
    s.palette = Palette(3);
    s.pixels = test::PackRows(4, 2, 8, [](int32_t x, int32_t r) { return (x + r) % 3u; });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    EXPECT_EQ(Rgb({l.pixels[3], l.pixels[4], l.pixels[5]}), s.palette[1]);
}

TEST(Paletted, ColoursUsedCountsModulo65536) {
    BmpRecipe s;
    s.fileHeader = false;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.clrUsed = 65536 + 2;
    s.palette = Palette(2);
    s.pixels = test::PackRows(2, 1, 8, [](int32_t x, int32_t) { return static_cast<uint32_t>(x); });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    EXPECT_EQ(l.pixels, (Bytes{s.palette[0][0], s.palette[0][1], s.palette[0][2], s.palette[1][0],
                               s.palette[1][1], s.palette[1][2]}));
}

TEST(HighColour, FiveFiveFiveWidensEachFieldAsGdiDoes) {
    BmpRecipe s;
    s.width = 4;
    s.height = 1;
    s.bitCount = 16;
    const uint32_t words[] = {0x7FFF, 0x0001, 0x0210, 0x7C00};
    s.pixels = test::PackRows(4, 1, 16, [&](int32_t x, int32_t) { return words[x]; });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    // 5-bit v becomes v << 3 | v >> 2: 1 -> 0x08, 16 -> 0x84, 31 -> 0xFF.
    EXPECT_EQ(l.pixels, (Bytes{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x08, 0x00, 0x84, 0x84, 0xFF, 0, 0}));
}

TEST(HighColour, BitfieldMasksAreHonoured) {
    BmpRecipe s;
    s.width = 3;
    s.height = 1;
    s.bitCount = 16;
    s.compression = kBiBitfields;
    s.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5
    const uint32_t words[] = {0xFFFF, 0x07E0, 0x0821};
    s.pixels = test::PackRows(3, 1, 16, [&](int32_t x, int32_t) { return words[x]; });
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    EXPECT_EQ(l.pixels, (Bytes{0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0x08, 0x04, 0x08}));

    BmpRecipe t;
    t.width = 2;
    t.height = 1;
    t.bitCount = 32;
    t.compression = kBiBitfields;
    t.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
    t.pixels =
        test::PackRows(2, 1, 32, [](int32_t x, int32_t) { return x ? 0x00332211u : 0x00ABCDEFu; });
    const Loaded m = Load(test::BuildBmp(t));
    ASSERT_EQ(m.message, "");
    EXPECT_EQ(m.pixels, (Bytes{0xEF, 0xCD, 0xAB, 0x11, 0x22, 0x33}));
}

TEST(RunLength, Rle8AndRle4DecodeRunsAndAbsoluteRuns) {
    const std::vector<std::vector<uint8_t>> rows = {
        {1, 1, 1, 1, 2, 3, 4, 5, 6, 6, 6},
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
        {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7},
    };
    for (uint16_t bits : {8, 4}) {
        BmpRecipe s;
        s.width = 11;
        s.height = 3;
        s.bitCount = bits;
        s.compression = bits == 8 ? kBiRle8 : kBiRle4;
        s.palette = Palette(16);
        s.clrUsed = 16;
        s.pixels = test::EncodeRle(rows, bits);
        const Loaded l = Load(test::BuildBmp(s));
        ASSERT_EQ(l.message, "") << bits;
        Bytes expected;
        for (const auto& row : rows) {
            for (uint8_t i : row) {
                expected.insert(expected.end(), s.palette[i].begin(), s.palette[i].end());
            }
        }
        EXPECT_EQ(l.pixels, expected) << "RLE" << bits;
    }
}

TEST(RunLength, DeltaAndEarlyEndLeaveBlack) {
    BmpRecipe s;
    s.width = 4;
    s.height = 3;
    s.bitCount = 8;
    s.compression = kBiRle8;
    s.palette = Palette(4);
    s.clrUsed = 4;
    // Row 0: two of colour 1, then a delta of (1, 1) to x 3 of row 1, one of colour 2, end.
    s.pixels = {2, 1, 0, 2, 1, 1, 1, 2, 0, 1};
    const Loaded l = Load(test::BuildBmp(s));
    ASSERT_EQ(l.message, "");
    Bytes expected(4 * 3 * 3, 0);
    for (int x : {0, 1}) {
        std::copy(s.palette[1].begin(), s.palette[1].end(), expected.begin() + x * 3);
    }
    std::copy(s.palette[2].begin(), s.palette[2].end(), expected.begin() + (4 + 3) * 3);
    EXPECT_EQ(l.pixels, expected);
}

TEST(Failures, MissingAndEmptyFilesAreOpenFailures) {
    const std::string missing = TempPath("does-not-exist.bmp").string();
    EXPECT_EQ(LoadFile(missing).message, "Failed to open DIB file " + missing + ".\n");
    const std::string empty = TempPath("empty.bmp").string();
    std::ofstream(empty, std::ios::binary).close();
    EXPECT_EQ(LoadFile(empty).message, "Failed to open DIB file " + empty + ".\n");
    std::filesystem::remove(empty);
    // A long name is never cut or overrun.
    const std::string longName = TempPath(std::string(300, 'x')).string();
    EXPECT_EQ(LoadFile(longName).message, "Failed to open DIB file " + longName + ".\n");
}

TEST(Failures, HeaderSizesOtherThan12Or40AreUnknown) {
    for (uint32_t size : {108u, 124u, 64u, 0u}) {
        BmpRecipe s = TrueColour(2, 2);
        s.headerSize = size;
        EXPECT_EQ(Load(test::BuildBmp(s)).message, "Unknown DIB file format.") << size;
    }
}

TEST(Failures, BitDepthsAndCompressionsGdiRefuses) {
    const std::pair<uint16_t, uint32_t> cases[] = {
        {0, kBiRgb},  {2, kBiRgb},        {24, kBiRle8}, {4, kBiRle8},
        {8, kBiRle4}, {24, kBiBitfields}, {8, 4},        {24, 5},
    };
    for (const auto& [bits, compression] : cases) {
        BmpRecipe s = TrueColour(2, 2);
        s.bitCount = bits;
        s.compression = compression;
        s.clrUsed = 1;  // a table the file does carry, so only the pixel format is wrong
        s.palette = Palette(1);
        EXPECT_EQ(Load(test::BuildBmp(s)).message, "Image file conversion error.")
            << bits << " bits, compression " << compression;
    }
}

TEST(Failures, DataPastTheEndIsRefused) {
    const std::string corrupt = DibStatusMessage(DibStatus::Corrupt);
    const Bytes good = test::BuildBmp(TrueColour(5, 3));
    // Every cut of the file, from a bare "BM" to one byte short, fails cleanly.
    for (size_t cut = 1; cut < good.size(); ++cut) {
        const Bytes truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(Load(truncated).message, corrupt) << "cut at " << cut;
    }

    BmpRecipe offset = TrueColour(2, 2);
    offset.pixelOffset = 100000;
    EXPECT_EQ(Load(test::BuildBmp(offset)).message, corrupt);

    BmpRecipe table;
    table.fileHeader = false;
    table.bitCount = 8;
    table.clrUsed = 200;  // announces 200 entries; the file has 2
    table.palette = Palette(2);
    EXPECT_EQ(Load(test::BuildBmp(table)).message, corrupt);

    BmpRecipe masks = TrueColour(2, 2);
    masks.bitCount = 16;
    masks.compression = kBiBitfields;
    masks.fileHeader = false;
    masks.pixels.clear();
    Bytes file = test::BuildBmp(masks);
    file.resize(40 + 8);  // only two of the three masks
    EXPECT_EQ(Load(file).message, corrupt);
}

TEST(Failures, AbsurdDimensionsAreRefused) {
    const std::string tooLarge = DibStatusMessage(DibStatus::TooLarge);
    const std::string corrupt = DibStatusMessage(DibStatus::Corrupt);
    BmpRecipe wide = TrueColour(1, 1);
    wide.width = 16385;
    EXPECT_EQ(Load(test::BuildBmp(wide)).message, tooLarge);
    BmpRecipe tall = TrueColour(1, 1);
    tall.height = -2147483647 - 1;
    EXPECT_EQ(Load(test::BuildBmp(tall)).message, tooLarge);
    BmpRecipe huge = TrueColour(1, 1);
    huge.width = 0x7FFFFFFF;
    huge.height = 0x7FFFFFFF;
    EXPECT_EQ(Load(test::BuildBmp(huge)).message, tooLarge);
    // At most 64 MiB of 24-bit pixels (rows padded to 4 bytes), whatever the file's own size.
    struct Sides {
        int32_t width, height;
        bool allowed;  // then only the missing pixels are wrong
    };
    const Sides limits[] = {{4096, 5461, true},    {4096, -5461, true},  {4096, 5462, false},
                            {16384, 1365, true},   {16384, 1366, false}, {16383, 16384, false},
                            {16384, 16384, false}, {2, 16384, true}};
    for (const Sides& s : limits) {
        BmpRecipe recipe = TrueColour(1, 1);
        recipe.width = s.width;
        recipe.height = s.height;
        EXPECT_EQ(Load(test::BuildBmp(recipe)).message, s.allowed ? corrupt : tooLarge)
            << s.width << " x " << s.height;
    }
    // An RLE8 file of a few bytes that claims 16384 x 16384 and ends at once.
    BmpRecipe rle = TrueColour(1, 1);
    rle.bitCount = 8;
    rle.compression = kBiRle8;
    rle.palette = Palette(2);
    rle.clrUsed = 2;
    rle.width = 16384;
    rle.height = 16384;
    rle.pixels = {0x00, 0x01};  // end of bitmap
    EXPECT_EQ(Load(test::BuildBmp(rle)).message, tooLarge);
    for (int32_t w : {0, -3}) {
        BmpRecipe s = TrueColour(1, 1);
        s.width = w;
        EXPECT_EQ(Load(test::BuildBmp(s)).message, corrupt) << w;
    }
    BmpRecipe noRows = TrueColour(1, 1);
    noRows.height = 0;
    EXPECT_EQ(Load(test::BuildBmp(noRows)).message, corrupt);
}

TEST(Failures, RunsThatLeaveTheImageOrTheFile) {
    const std::string corrupt = DibStatusMessage(DibStatus::Corrupt);
    const Bytes streams[] = {
        {5, 1, 0, 1},              // a run of 5 in a row of 4
        {0, 5, 1, 2, 3, 4, 5, 0},  // an absolute run of 5
        {0, 0, 0, 0, 0, 0, 4, 1},  // end of line past the last row, then pixels
        {0, 2, 9, 0, 1, 1},        // a delta past the row
        {4, 1, 0},                 // cut in the middle of a code
        {0, 4, 1, 2},              // absolute run cut short
        {4, 1, 0, 0},              // ends after row 0 of 2 without end of bitmap
    };
    for (const Bytes& stream : streams) {
        BmpRecipe s;
        s.width = 4;
        s.height = 2;
        s.bitCount = 8;
        s.compression = kBiRle8;
        s.palette = Palette(2);
        s.clrUsed = 2;
        s.pixels = stream;
        EXPECT_EQ(Load(test::BuildBmp(s)).message, corrupt) << ::testing::PrintToString(stream);
    }
    BmpRecipe topDown;
    topDown.width = 4;
    topDown.height = -2;
    topDown.bitCount = 8;
    topDown.compression = kBiRle8;
    topDown.clrUsed = 1;
    topDown.palette = Palette(1);
    topDown.pixels = {0, 1};
    EXPECT_EQ(Load(test::BuildBmp(topDown)).message, "Image file conversion error.");
}

}  // namespace
}  // namespace velmoria
