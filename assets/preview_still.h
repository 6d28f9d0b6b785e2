// The still the preview shows: a 152 x 112 frame of our own animation, as the RLE-compressed
// 8-bit BMP file assets/preview_still.bmp (made by make-preview-still), carried inside the
// program.
#pragma once

#include <cstdint>
#include <vector>

namespace velmoria {

const std::vector<uint8_t>& PreviewStillBmp();

}  // namespace velmoria
