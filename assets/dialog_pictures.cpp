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

Picture MakeMetalStrip(int width, int height) {
    Picture strip(width, height);
    Grain grain(0x5EED1u);
    for (int y = 0; y < height; ++y) {
        // Brushing: each row has its own tone and a grain that changes slowly along the row.
        const double rowTone = grain.Next() * 2.5;
        double streak = 0;
        for (int x = 0; x < width; ++x) {
            streak = streak * 0.92 + grain.Next() * 1.2;
            const double t = static_cast<double>(x) / std::max(width - 1, 1);
            const double grey = 223 + (176 - 223) * t + rowTone + streak;
            const int v = static_cast<int>(std::lround(grey));
            const int cool = static_cast<int>(std::lround(t));  // green and blue fall one step more
            strip.Set(x, y, Rgb(v, v - cool, v - cool));
        }
    }
    return strip;
}

Picture MakeSelectionMark(bool selected, int size, int ring) {
    const int r = std::max(ring, 1);
    const int face = size - 4 * r;  // 8 at 12 pixels
    const double middle = (face - 1) / 2.0;
    const double rim = std::max(face / 2.0 - 1, 1.0);
    Picture mark(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Where the pixel lies in the face, which starts inside the two rings.
            const int fx = x - 2 * r;
            const int fy = y - 2 * r;
            uint32_t colour = 0;
            if (x < r || y < r) {
                colour = Rgb(128, 128, 128);  // sunken: shadow above and left
            } else if (x >= size - r || y >= size - r) {
                colour = Rgb(255, 255, 255);  // light below and right
            } else if (x < 2 * r || y < 2 * r || x >= size - 2 * r || y >= size - 2 * r) {
                colour = Rgb(48, 48, 56);  // the dark frame
            } else if (selected) {
                // Bright in the middle, darker towards the rim.
                const double d =
                    std::max(std::fabs(fx - middle), std::fabs(fy - middle)) - 0.5;  // 0..rim
                const double t = d / rim;
                colour = Rgb(static_cast<int>(std::lround(90 - 90 * t)),
                             static_cast<int>(std::lround(170 - 140 * t)),
                             static_cast<int>(std::lround(255 - 115 * t)));
            } else {
                // 214 at the upper left, 255 at the lower right.
                const int v = 214 + (fx + fy) * 41 / std::max(2 * (face - 1), 1);
                colour = Rgb(v, v, v);
            }
            mark.Set(x, y, colour);
        }
    }
    return mark;
}

namespace {

constexpr int kHandDesignSize = 32;

// A coordinate of the 32-pixel hand on a cursor of `size`, to the nearest pixel.
int HandScaled(int design, int size) {
    return (design * size * 2 + kHandDesignSize) / (kHandDesignSize * 2);
}

}  // namespace

PicturePoint HandCursorHotSpot(int size) {
    return {HandScaled(12, size), HandScaled(10, size)};
}

Picture MakeHandCursor(int size) {
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
    std::vector<bool> inside(static_cast<size_t>(size) * size, false);
    for (const Box& box : boxes) {
        // Each box's edges scaled, so the shapes keep meeting where they meet at 32 pixels.
        for (int y = HandScaled(box.top, size); y < HandScaled(box.bottom + 1, size); ++y) {
            for (int x = HandScaled(box.left, size); x < HandScaled(box.right + 1, size); ++x) {
                inside[y * size + x] = true;
            }
        }
    }
    const auto in = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < size && y < size && inside[y * size + x];
    };
    Picture cursor(size, size, 0);  // clear
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!in(x, y)) {
                continue;
            }
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            // The gaps between the fingers, down to the palm.
            const auto gapColumn = [&](int design) {
                return x >= HandScaled(design, size) && x < HandScaled(design + 1, size);
            };
            const bool gap =
                (gapColumn(15) || gapColumn(18) || gapColumn(21)) && y < HandScaled(21, size);
            cursor.Set(x, y, kOpaque | ((edge || gap) ? 0x000000u : 0xFFFFFFu));
        }
    }
    return cursor;
}

Picture MakeDialogIcon(int size) {
    Picture icon(size, size, 0);
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
