// Loading a DIB held in memory: the checks of dib_format, a converter, and the repacking of the
// converted 24-bit section into tightly packed red, green, blue rows.
#include "dib_loader.h"

#include <cstdlib>

namespace velmoria {

void FreeRgbImage(RgbImage* image) {
    if (image != nullptr) {
        std::free(image->pixels);
        std::free(image);
    }
}

DibLoadResult LoadDibFromMemory(const uint8_t* file, size_t fileSize, Bgr24Converter& converter) {
    DibLoadResult result;
    DibDescription source;
    result.status = DescribeDib(file, fileSize, source);
    if (result.status != DibStatus::Ok) {
        return result;
    }
    const uint8_t* section = nullptr;
    result.status = converter.Convert(source, &section);
    if (result.status != DibStatus::Ok) {
        return result;
    }
    const int32_t width = source.header.width;
    const int32_t height = source.header.height < 0 ? -source.header.height : source.header.height;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    auto* pixels = static_cast<uint8_t*>(std::malloc(rowBytes * static_cast<size_t>(height)));
    auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (pixels == nullptr || image == nullptr) {
        std::free(pixels);
        std::free(image);
        result.status = DibStatus::OutOfMemory;
        return result;
    }
    // Section rows are 3 * width bytes plus (width mod 4) bytes of padding.
    const size_t sectionStride = rowBytes + static_cast<size_t>(width % 4);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = section + static_cast<size_t>(y) * sectionStride;
        uint8_t* out = pixels + static_cast<size_t>(y) * rowBytes;
        for (int32_t x = 0; x < width; ++x) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            in += 3;
            out += 3;
        }
    }
    image->width = width;
    image->height = height;  // rows are bottom row first even for a top-down file
    image->pixels = pixels;
    result.image = image;
    return result;
}

std::string OpenFailureMessage(const char* fileName) {
    return std::string("Failed to open DIB file ") + (fileName != nullptr ? fileName : "") + ".\n";
}

}  // namespace velmoria
