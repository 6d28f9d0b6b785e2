// contact-sheet [--columns N] [--width W] OUT IN...: lays PNG frames of one size out as a grid
// of thumbnails W pixels wide (default 6 columns of 256), in the order given, into one PNG.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

constexpr int kGap = 4;
constexpr uint8_t kGapGrey = 48;

// The average of the source pixels that fall into each thumbnail pixel.
void Shrink(const velmoria::RgbFrame& source, velmoria::RgbFrame& sheet, int left, int bottom,
            int width, int height) {
    for (int y = 0; y < height; ++y) {
        const int y0 = y * source.height / height,
                  y1 = std::max(y0 + 1, (y + 1) * source.height / height);
        for (int x = 0; x < width; ++x) {
            const int x0 = x * source.width / width,
                      x1 = std::max(x0 + 1, (x + 1) * source.width / width);
            for (int c = 0; c < 3; ++c) {
                long sum = 0;
                for (int sy = y0; sy < y1; ++sy) {
                    for (int sx = x0; sx < x1; ++sx) {
                        sum += source.pixels[(static_cast<size_t>(sy) * source.width + sx) * 3 + c];
                    }
                }
                const long count = static_cast<long>(y1 - y0) * (x1 - x0);
                sheet.pixels[(static_cast<size_t>(bottom + y) * sheet.width + left + x) * 3 + c] =
                    static_cast<uint8_t>(sum / count);
            }
        }
    }
}

int Usage() {
    std::fprintf(stderr, "usage: contact-sheet [--columns N] [--width W] OUT IN...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmoria;
    int columns = 6, thumbWidth = 256, i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        const std::string option = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (option == "--columns" && value >= 1 && value <= 100) {
            columns = value;
        } else if (option == "--width" && value >= 8 && value <= 4096) {
            thumbWidth = value;
        } else {
            return Usage();
        }
    }
    if (argc - i < 2) {
        return Usage();
    }
    const std::string out = argv[i++];
    const std::vector<std::string> inputs(argv + i, argv + argc);

    std::string error;
    RgbFrame frame, sheet;
    int thumbHeight = 0, rows = 0;
    for (size_t n = 0; n < inputs.size(); ++n) {
        if (!ReadPng(inputs[n], frame, error)) {
            std::fprintf(stderr, "contact-sheet: %s\n", error.c_str());
            return 1;
        }
        if (n == 0) {
            thumbHeight = std::max(1, frame.height * thumbWidth / frame.width);
            const int count = static_cast<int>(inputs.size());
            columns = std::min(columns, count);
            rows = (count + columns - 1) / columns;
            sheet.width = columns * thumbWidth + (columns + 1) * kGap;
            sheet.height = rows * thumbHeight + (rows + 1) * kGap;
            sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height * 3, kGapGrey);
        }
        // Row 0 at the top of the sheet; the pixel rows are stored bottom first.
        const int column = static_cast<int>(n) % columns, row = static_cast<int>(n) / columns;
        const int left = kGap + column * (thumbWidth + kGap);
        const int bottom = sheet.height - (kGap + row * (thumbHeight + kGap)) - thumbHeight;
        Shrink(frame, sheet, left, bottom, thumbWidth, thumbHeight);
    }
    if (!WritePng(out, sheet, error)) {
        std::fprintf(stderr, "contact-sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
