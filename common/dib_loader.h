// The bitmap loader: a DIB file in memory to an RgbImage, through a platform converter, with
// the user-facing message of every failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dib_converter.h"
#include "rgb_image.h"

namespace velmoria {

struct DibLoadResult {
    RgbImage* image = nullptr;  // owned by the caller
    DibStatus status = DibStatus::Ok;
};

// Loads a whole DIB file held in memory; on failure `image` is null and nothing is left allocated.
DibLoadResult LoadDibFromMemory(const uint8_t* file, size_t fileSize, Bgr24Converter& converter);

// The message shown when the file cannot be opened or mapped, naming the file.
std::string OpenFailureMessage(const char* fileName);

}  // namespace velmoria
