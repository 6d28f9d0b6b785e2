// The bitmap loader's result: tightly packed red, green, blue bytes, bottom row first.
#pragma once

#include <cstdint>

namespace velmoria {

// Allocated with malloc (record and pixels); the caller frees with FreeRgbImage.
struct RgbImage {
    int32_t width;
    int32_t height;
    uint8_t* pixels;  // width * height * 3 bytes
};

// Frees the pixels, then the record. Accepts null.
void FreeRgbImage(RgbImage* image);

}  // namespace velmoria
