// PNG files of RGB frames through libpng's simplified API.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmoria {

struct RgbFrame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // RGB, bottom row first (as OpenGL reads them)
};

// Writes `frame` as an 8-bit RGB PNG, top row first as viewers expect. Returns false and sets
// `error` on failure.
bool WritePng(const std::string& path, const RgbFrame& frame, std::string& error);

// Writes RGBA pixels, top row first, as an 8-bit PNG with alpha.
bool WritePngRgba(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba, std::string& error);

// Reads a PNG as RGB, bottom row first. Returns false and sets `error` on failure.
bool ReadPng(const std::string& path, RgbFrame& frame, std::string& error);

}  // namespace velmoria
