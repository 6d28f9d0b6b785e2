// Scaling a picture with good filtering: each target pixel averages the source pixels it covers
// (shrinking), or is interpolated between its four nearest (enlarging).
#pragma once

#include <cstdint>

#include "shell/platform.h"

namespace velmoria {

// The picture at width x height; empty when either side is 0 or less.
PixelImage ScaleImage(const PixelImage& source, int32_t width, int32_t height);

}  // namespace velmoria
