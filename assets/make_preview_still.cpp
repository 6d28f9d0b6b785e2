// make-preview-still OUT.bmp: the still the preview shows, made from our own animation. The
// scene is drawn headlessly (EGL) at four times the still's size up to kFrame, a frame with a
// bright blue arc and an orange arc curving in from the right over a haze of blue particles; it
// is shrunk 4:1 by averaging each 4 x 4 block and saved as an 8-bit RLE-compressed BMP: black
// keeps palette entry 0, the other colours share 255 entries (median cut). The programs carry
// the file it writes (assets/preview_still.bmp).
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assets/particle_sprite.h"
#include "renderer/frame.h"
#include "renderer/headless/egl_context.h"
#include "renderer/posix/renderer_platform_posix.h"
#include "renderer/scene.h"

namespace {

constexpr int kWidth = 152;
constexpr int kHeight = 112;
constexpr int kFactor = 4;
constexpr int kFrame = 660;

using Rgb = std::array<uint8_t, 3>;

// The frame, shrunk: top row first.
std::vector<Rgb> DrawStill() {
    using namespace velmoria;
    HeadlessContextEgl context(kWidth * kFactor, kHeight * kFactor);
    if (!context.ok()) {
        std::fprintf(stderr, "make-preview-still: %s\n", context.error().c_str());
        std::exit(1);
    }
    const std::string sprite =
        (std::filesystem::temp_directory_path() / "velmoria-preview-sprite.bmp").string();
    const std::vector<uint8_t> bmp = MakeParticleSpriteBmp();
    std::FILE* file = std::fopen(sprite.c_str(), "wb");
    if (file == nullptr || std::fwrite(bmp.data(), 1, bmp.size(), file) != bmp.size()) {
        std::fprintf(stderr, "make-preview-still: cannot write %s\n", sprite.c_str());
        std::exit(1);
    }
    std::fclose(file);
    InitScene(kWidth * kFactor, kHeight * kFactor, sprite.c_str());
    std::filesystem::remove(sprite);
    for (int frame = 1; frame <= kFrame; ++frame) {
        DrawFrame();
        context.Swap();
    }
    const std::vector<uint8_t> big = context.ReadRgb();  // bottom row first
    std::vector<Rgb> still(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < kFactor; ++dy) {
                const int bigY = (kHeight - 1 - y) * kFactor + dy;
                for (int dx = 0; dx < kFactor; ++dx) {
                    const size_t at = (static_cast<size_t>(bigY) * kWidth * kFactor +
                                       static_cast<size_t>(x * kFactor + dx)) *
                                      3;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += big[at + c];
                    }
                }
            }
            Rgb& out = still[static_cast<size_t>(y) * kWidth + x];
            for (int c = 0; c < 3; ++c) {
                out[c] =
                    static_cast<uint8_t>((sum[c] + kFactor * kFactor / 2) / (kFactor * kFactor));
            }
        }
    }
    return still;
}

// Median cut over the colours that are not black: up to `count` entries.
std::vector<Rgb> Palette(const std::vector<Rgb>& pixels, size_t count) {
    std::vector<std::vector<Rgb>> boxes(1);
    for (const Rgb& p : pixels) {
        if (p != Rgb{0, 0, 0}) {
            boxes[0].push_back(p);
        }
    }
    if (boxes[0].empty()) {
        return {};
    }
    while (boxes.size() < count) {
        // Split the box with the widest channel range at its median.
        size_t widest = 0;
        int widestRange = -1;
        int widestChannel = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            for (int c = 0; c < 3; ++c) {
                auto [lo, hi] =
                    std::minmax_element(boxes[b].begin(), boxes[b].end(),
                                        [c](const Rgb& l, const Rgb& r) { return l[c] < r[c]; });
                const int range = (*hi)[c] - (*lo)[c];
                if (boxes[b].size() > 1 && range > widestRange) {
                    widest = b, widestRange = range, widestChannel = c;
                }
            }
        }
        if (widestRange <= 0) {
            break;
        }
        std::vector<Rgb>& box = boxes[widest];
        std::sort(box.begin(), box.end(),
                  [c = widestChannel](const Rgb& l, const Rgb& r) { return l[c] < r[c]; });
        std::vector<Rgb> upper(box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2),
                               box.end());
        box.resize(box.size() / 2);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> palette;
    for (const std::vector<Rgb>& box : boxes) {
        long sum[3] = {0, 0, 0};
        for (const Rgb& p : box) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += p[c];
            }
        }
        const long n = static_cast<long>(box.size());
        palette.push_back({static_cast<uint8_t>((sum[0] + n / 2) / n),
                           static_cast<uint8_t>((sum[1] + n / 2) / n),
                           static_cast<uint8_t>((sum[2] + n / 2) / n)});
    }
    return palette;
}

uint8_t Nearest(const std::vector<Rgb>& palette, const Rgb& p) {
    if (p == Rgb{0, 0, 0}) {
        return 0;
    }
    int best = 1;
    int bestDistance = 1 << 30;
    for (size_t i = 1; i < palette.size(); ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            d += (palette[i][c] - p[c]) * (palette[i][c] - p[c]);
        }
        if (d < bestDistance) {
            best = static_cast<int>(i), bestDistance = d;
        }
    }
    return static_cast<uint8_t>(best);
}

// One row as RLE8: runs of one index as (count, index), stretches of three or more different
// indexes in absolute mode (0, count, indexes, a pad to a whole word).
void EncodeRow(const std::vector<uint8_t>& row, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < row.size()) {
        size_t run = 1;
        while (i + run < row.size() && row[i + run] == row[i] && run < 255) {
            ++run;
        }
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        // Singles up to the next pair of equal indexes.
        size_t literal = 1;
        while (i + literal < row.size() && literal < 255 &&
               !(i + literal + 1 < row.size() && row[i + literal] == row[i + literal + 1])) {
            ++literal;
        }
        if (literal < 3) {
            for (size_t k = 0; k < literal; ++k) {
                out.push_back(1);
                out.push_back(row[i + k]);
            }
        } else {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literal));
            out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i),
                       row.begin() + static_cast<std::ptrdiff_t>(i + literal));
            if (literal % 2 == 1) {
                out.push_back(0);
            }
        }
        i += literal;
    }
}

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: make-preview-still OUT.bmp\n");
        return 2;
    }
    velmoria::RendererPlatformPosix platform;
    velmoria::RendererPlatform::Connect(&platform);
    const std::vector<Rgb> still = DrawStill();
    std::vector<Rgb> palette = {Rgb{0, 0, 0}};
    for (const Rgb& colour : Palette(still, 255)) {
        palette.push_back(colour);
    }
    std::vector<uint8_t> bits;
    for (int y = kHeight - 1; y >= 0; --y) {  // bottom row first
        std::vector<uint8_t> row(kWidth);
        for (int x = 0; x < kWidth; ++x) {
            row[static_cast<size_t>(x)] =
                Nearest(palette, still[static_cast<size_t>(y) * kWidth + x]);
        }
        EncodeRow(row, bits);
        bits.push_back(0);
        bits.push_back(y == 0 ? 1 : 0);  // end of line, or end of the picture
    }
    const uint32_t colours = static_cast<uint32_t>(palette.size());
    const uint32_t offset = 14 + 40 + colours * 4;
    std::vector<uint8_t> file = {'B', 'M'};
    Put(file, offset + static_cast<uint32_t>(bits.size()), 4);
    Put(file, 0, 4);
    Put(file, offset, 4);
    Put(file, 40, 4);
    Put(file, kWidth, 4);
    Put(file, kHeight, 4);
    Put(file, 1, 2);
    Put(file, 8, 2);
    Put(file, 1, 4);  // RLE8
    Put(file, static_cast<uint32_t>(bits.size()), 4);
    Put(file, 2835, 4);
    Put(file, 2835, 4);
    Put(file, colours, 4);
    Put(file, 0, 4);
    for (const Rgb& colour : palette) {
        file.push_back(colour[2]);
        file.push_back(colour[1]);
        file.push_back(colour[0]);
        file.push_back(0);
    }
    file.insert(file.end(), bits.begin(), bits.end());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(file.data(), 1, file.size(), out) != file.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "make-preview-still: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %dx%d, %u colours, %zu bytes\n", argv[1], kWidth, kHeight, colours,
                file.size());
    return 0;
}
