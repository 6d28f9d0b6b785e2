#include "shell/controls/picture.h"

namespace velmoria {

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Picture& image) {
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

std::vector<uint8_t> EncodeIco(const std::vector<Picture>& images) {
    std::vector<uint8_t> bytes;
    PutLittleEndian(bytes, 0, 2);  // reserved
    PutLittleEndian(bytes, 1, 2);  // an icon
    PutLittleEndian(bytes, static_cast<uint32_t>(images.size()), 2);
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    std::vector<std::vector<uint8_t>> entries;
    for (const Picture& image : images) {
        // A 32-bit DIB of twice the height (colour, then the AND mask), bottom row first.
        const auto width = static_cast<uint32_t>(image.width);
        const auto height = static_cast<uint32_t>(image.height);
        const uint32_t maskStride = ((width + 31) / 32) * 4;
        std::vector<uint8_t> entry;
        PutLittleEndian(entry, 40, 4);
        PutLittleEndian(entry, width, 4);
        PutLittleEndian(entry, height * 2, 4);
        PutLittleEndian(entry, 1, 2);
        PutLittleEndian(entry, 32, 2);
        PutLittleEndian(entry, 0, 4);
        PutLittleEndian(entry, width * height * 4 + maskStride * height, 4);
        for (int i = 0; i < 4; ++i) {
            PutLittleEndian(entry, 0, 4);
        }
        for (int y = image.height - 1; y >= 0; --y) {
            for (int x = 0; x < image.width; ++x) {
                PutLittleEndian(entry, image.At(x, y), 4);  // BGRA in memory
            }
        }
        for (int y = image.height - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < image.width; ++x) {
                if ((image.At(x, y) >> 24) == 0) {
                    row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
            entry.insert(entry.end(), row.begin(), row.end());
        }
        bytes.push_back(static_cast<uint8_t>(width >= 256 ? 0 : width));
        bytes.push_back(static_cast<uint8_t>(height >= 256 ? 0 : height));
        bytes.push_back(0);  // no palette
        bytes.push_back(0);
        PutLittleEndian(bytes, 1, 2);   // planes
        PutLittleEndian(bytes, 32, 2);  // bits per pixel
        PutLittleEndian(bytes, static_cast<uint32_t>(entry.size()), 4);
        PutLittleEndian(bytes, offset, 4);
        offset += static_cast<uint32_t>(entry.size());
        entries.push_back(std::move(entry));
    }
    for (const auto& entry : entries) {
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

}  // namespace velmoria
