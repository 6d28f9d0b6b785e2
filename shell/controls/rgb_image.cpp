#include "shell/controls/rgb_image.h"

namespace velmoria {

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> bytes;
    bytes.reserve(54 + imageSize);
    bytes.push_back('B');
    bytes.push_back('M');
    PutLittleEndian(bytes, 54 + imageSize, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 54, 4);
    PutLittleEndian(bytes, 40, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(image.width), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(image.height), 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, 24, 2);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, imageSize, 4);
    PutLittleEndian(bytes, 3780, 4);  // 96 dots per inch
    PutLittleEndian(bytes, 3780, 4);
    PutLittleEndian(bytes, 0, 4);
    PutLittleEndian(bytes, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t rgb = image.At(x, y);
            bytes.push_back(static_cast<uint8_t>(rgb));
            bytes.push_back(static_cast<uint8_t>(rgb >> 8));
            bytes.push_back(static_cast<uint8_t>(rgb >> 16));
        }
        for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < stride; ++pad) {
            bytes.push_back(0);
        }
    }
    return bytes;
}

}  // namespace velmoria
