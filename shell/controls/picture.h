// A small picture held as 0xRRGGBB values, top row first: the state pictures and drawn faces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmoria {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Picture() = default;
    Picture(int w, int h, uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void Set(int x, int y, uint32_t rgb) { pixels[static_cast<size_t>(y) * width + x] = rgb; }
};

// The picture as a complete 24-bit BMP file (bottom row first, rows padded to 4 bytes).
std::vector<uint8_t> EncodeBmp24(const Picture& image);

// Pictures with alpha in the top byte (0xAARRGGBB) as a complete .ico file: one 32-bit image
// each, with an AND mask clear where alpha is 0.
std::vector<uint8_t> EncodeIco(const std::vector<Picture>& images);

}  // namespace velmoria
