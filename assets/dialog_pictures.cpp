// The dialog's pictures. Everything is computed from fixed numbers, so every build draws the same
// pixels on both platforms.
#include "assets/dialog_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace velmoria {

namespace {

uint32_t Rgb(int r, int g, int b) {
    const auto clamp = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

// A small deterministic generator: the strip's grain is the same in every build.
class Grain {
  public:
    explicit Grain(uint32_t seed) : state_(seed) {}
    // -1 .. 1
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

  private:
    uint32_t state_;
};

}  // namespace

RgbImage MakeMetalStrip() {
    constexpr int kWidth = 556;
    constexpr int kHeight = 20;
    RgbImage strip(kWidth, kHeight);
    Grain grain(0x5EED1u);
    for (int y = 0; y < kHeight; ++y) {
        // Brushing: each row has its own tone and a grain that changes slowly along the row.
        const double rowTone = grain.Next() * 2.5;
        double streak = 0;
        for (int x = 0; x < kWidth; ++x) {
            streak = streak * 0.92 + grain.Next() * 1.2;
            const double t = static_cast<double>(x) / (kWidth - 1);
            const double grey = 223 + (176 - 223) * t + rowTone + streak;
            const int v = static_cast<int>(std::lround(grey));
            const int cool = static_cast<int>(std::lround(t));  // green and blue fall one step more
            strip.Set(x, y, Rgb(v, v - cool, v - cool));
        }
    }
    return strip;
}

RgbImage MakeSelectionMark(bool selected) {
    constexpr int kSize = 12;
    RgbImage mark(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            uint32_t colour = 0;
            if (x == 0 || y == 0) {
                colour = Rgb(128, 128, 128);  // sunken: shadow above and left
            } else if (x == kSize - 1 || y == kSize - 1) {
                colour = Rgb(255, 255, 255);  // light below and right
            } else if (x == 1 || y == 1 || x == kSize - 2 || y == kSize - 2) {
                colour = Rgb(48, 48, 56);  // the dark frame
            } else if (selected) {
                // 8 x 8 from (2, 2): bright in the middle, darker towards the rim.
                const double d = std::max(std::fabs(x - 5.5), std::fabs(y - 5.5)) - 0.5;  // 0..3
                const double t = d / 3.0;
                colour = Rgb(static_cast<int>(std::lround(90 - 90 * t)),
                             static_cast<int>(std::lround(170 - 140 * t)),
                             static_cast<int>(std::lround(255 - 115 * t)));
            } else {
                const int v =
                    214 + (x + y - 4) * 41 / 14;  // 214 at the upper left, 255 lower right
                colour = Rgb(v, v, v);
            }
            mark.Set(x, y, colour);
        }
    }
    return mark;
}

RgbImage MakeHandCursor() {
    constexpr int kSize = 32;
    constexpr uint32_t kOpaque = 0xFF000000u;
    // The hand's outline as filled rectangles: index finger (its tip at the hot spot), the three
    // bent fingers, the palm and the thumb.
    struct Box {
        int left, top, right, bottom;  // inclusive
    };
    const Box boxes[] = {
        {11, 10, 14, 21}, {15, 15, 17, 21}, {18, 16, 20, 21}, {21, 17, 23, 22},
        {11, 20, 23, 28}, {7, 18, 10, 23},  {9, 22, 11, 25},
    };
    std::vector<bool> inside(kSize * kSize, false);
    for (const Box& box : boxes) {
        for (int y = box.top; y <= box.bottom; ++y) {
            for (int x = box.left; x <= box.right; ++x) {
                inside[y * kSize + x] = true;
            }
        }
    }
    const auto in = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < kSize && y < kSize && inside[y * kSize + x];
    };
    RgbImage cursor(kSize, kSize, 0);  // clear
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (!in(x, y)) {
                continue;
            }
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            // The gaps between the fingers, down to the palm.
            const bool gap = (x == 15 || x == 18 || x == 21) && y <= 20;
            cursor.Set(x, y, kOpaque | ((edge || gap) ? 0x000000u : 0xFFFFFFu));
        }
    }
    return cursor;
}

RgbImage MakeDialogIcon(int size) {
    RgbImage icon(size, size, 0);
    const double centre = (size - 1) / 2.0;
    const double radius = size / 2.0 - 0.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre;
            const double dy = y - centre;
            const double distance = std::sqrt(dx * dx + dy * dy);
            if (distance > radius) {
                continue;
            }
            // Night blue, lighter towards the top; a glowing sine trail across the middle.
            const double u = static_cast<double>(x) / (size - 1);
            const double trailY = centre + std::sin(u * 2 * 3.14159265358979) * size * 0.22;
            const double glow = std::exp(-std::pow((y - trailY) / (size * 0.07), 2));
            const double sky = 1.0 - static_cast<double>(y) / size;
            const int r = static_cast<int>(10 + 20 * sky + glow * (140 + 100 * u));
            const int g = static_cast<int>(10 + 20 * sky + glow * (200 - 80 * u));
            const int b = static_cast<int>(60 + 50 * sky + glow * 200);
            icon.Set(x, y, 0xFF000000u | Rgb(r, g, b));
        }
    }
    return icon;
}

std::vector<uint8_t> MakeIconFile() {
    return EncodeIco({MakeDialogIcon(16), MakeDialogIcon(32), MakeDialogIcon(48)});
}

}  // namespace velmoria
