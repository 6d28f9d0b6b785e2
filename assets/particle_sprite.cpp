// The glow follows a measured brightness-by-distance profile around pixel (15, 15), with a
// little deterministic noise and a faint warm tint (red a few levels above blue).
#include "particle_sprite.h"

#include <algorithm>
#include <cmath>

namespace velmoria {

namespace {

constexpr int kProfile[] = {252, 252, 249, 209, 161, 133, 101, 80, 62, 48, 39,
                            33,  27,  22,  18,  14,  11,  10,  7,  6,  4,  1};
constexpr int kProfileLength = sizeof(kProfile) / sizeof(kProfile[0]);
constexpr double kCentre = 15.0;

// Brightness between the whole-pixel steps of the profile.
double Profile(double d) {
    const int i = static_cast<int>(d);
    if (i + 1 >= kProfileLength) {
        return i < kProfileLength ? kProfile[i] * (1.0 - (d - i)) : 0.0;
    }
    return kProfile[i] + (kProfile[i + 1] - kProfile[i]) * (d - i);
}

// Small, repeatable noise in [-1, 1] per pixel.
double Noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h % 2001) / 1000.0 - 1.0;
}

uint8_t Clamp(double v) {
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v));
}

void PutU32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void PutU16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

int SpriteBrightnessAt(int distance) {
    return distance >= 0 && distance < kProfileLength ? kProfile[distance] : 0;
}

std::vector<uint8_t> MakeParticleSpriteBmp() {
    const uint32_t rowBytes = kSpriteSide * 3;  // 96: already a multiple of four
    const uint32_t pixelBytes = rowBytes * kSpriteSide;
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    PutU32(file, 14 + 40 + pixelBytes);
    PutU32(file, 0);
    PutU32(file, 14 + 40);
    PutU32(file, 40);
    PutU32(file, kSpriteSide);
    PutU32(file, kSpriteSide);
    PutU16(file, 1);
    PutU16(file, 24);
    PutU32(file, 0);
    PutU32(file, pixelBytes);
    PutU32(file, 2835);
    PutU32(file, 2835);
    PutU32(file, 0);
    PutU32(file, 0);
    for (int row = 0; row < kSpriteSide; ++row) {
        const int y = kSpriteSide - 1 - row;  // rows are stored bottom first; y counts from the top
        for (int x = 0; x < kSpriteSide; ++x) {
            const double d = std::hypot(x - kCentre, y - kCentre);
            const double base = Profile(d);
            // Noise grows with the glow, so the corners stay black and the core stays bright.
            // No pixel outshines the peak at the centre.
            const double grey =
                std::min(252.0, base + Noise(x, y) * 3.0 * std::min(1.0, base / 40.0));
            const double tint = 3.0 * std::min(1.0, base / 100.0);
            uint8_t red = Clamp(grey + tint), green = Clamp(grey), blue = Clamp(grey - tint);
            if (x == 15 && y == 15) {
                red = 255, green = 252, blue = 249;
            }
            file.push_back(blue);
            file.push_back(green);
            file.push_back(red);
        }
    }
    return file;
}

}  // namespace velmoria
