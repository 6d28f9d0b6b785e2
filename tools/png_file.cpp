// PNG reading and writing; a negative row stride makes libpng walk the rows bottom-up.
#include "png_file.h"

#include <png.h>

#include <cstring>

namespace velmoria {

namespace {

bool WriteImage(const std::string& path, int32_t width, int32_t height, png_uint_32 format,
                const void* pixels, png_int_32 stride, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

}  // namespace

bool WritePng(const std::string& path, const RgbFrame& frame, std::string& error) {
    return WriteImage(path, frame.width, frame.height, PNG_FORMAT_RGB, frame.pixels.data(),
                      -static_cast<png_int_32>(frame.width * 3), error);
}

bool WritePngRgba(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba, std::string& error) {
    return WriteImage(path, width, height, PNG_FORMAT_RGBA, rgba.data(), width * 4, error);
}

bool ReadPng(const std::string& path, RgbFrame& frame, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    frame.width = static_cast<int32_t>(image.width);
    frame.height = static_cast<int32_t>(image.height);
    frame.pixels.assign(PNG_IMAGE_SIZE(image), 0);
    const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    if (!png_image_finish_read(&image, nullptr, frame.pixels.data(), stride, nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace velmoria
