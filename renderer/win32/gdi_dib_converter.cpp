// The working description goes to GDI only after the core has checked that every byte GDI
// will read lies inside the file.
#include "gdi_dib_converter.h"

#include <cstring>
#include <new>

namespace velmoria {

namespace {

std::vector<uint8_t> WorkingBitmapInfo(const DibDescription& source) {
    const DibInfoHeader& h = source.header;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = h.width;
    info.biHeight = h.height;
    info.biPlanes = h.planes;
    info.biBitCount = h.bitCount;
    info.biCompression = h.compression;
    info.biSizeImage = h.sizeImage;
    info.biXPelsPerMeter = h.xPelsPerMeter;
    info.biYPelsPerMeter = h.yPelsPerMeter;
    info.biClrUsed = h.clrUsed;
    info.biClrImportant = h.clrImportant;
    const size_t maskBytes = source.hasMasks ? sizeof(source.masks) : 0;
    const size_t colourBytes = source.colours.size() * sizeof(uint32_t);
    std::vector<uint8_t> buffer(sizeof(info) + maskBytes + colourBytes);
    std::memcpy(buffer.data(), &info, sizeof(info));
    if (maskBytes > 0) {
        std::memcpy(buffer.data() + sizeof(info), source.masks, maskBytes);
    }
    if (colourBytes > 0) {
        std::memcpy(buffer.data() + sizeof(info) + maskBytes, source.colours.data(), colourBytes);
    }
    return buffer;
}

}  // namespace

Bgr24ConverterGdi::~Bgr24ConverterGdi() {
    if (dc_ != nullptr) {
        DeleteDC(dc_);
    }
    if (section_ != nullptr) {
        DeleteObject(section_);
    }
}

DibStatus Bgr24ConverterGdi::Convert(const DibDescription& source, const uint8_t** rows) {
    std::vector<uint8_t> working;
    try {
        working = WorkingBitmapInfo(source);
    } catch (const std::bad_alloc&) {
        return DibStatus::OutOfMemory;
    }
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) {
        return DibStatus::OutOfMemory;
    }
    const LONG height = source.header.height < 0 ? -source.header.height : source.header.height;
    BITMAPINFO target{};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = source.header.width;
    target.bmiHeader.biHeight = height;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 24;
    target.bmiHeader.biCompression = BI_RGB;
    target.bmiHeader.biSizeImage = static_cast<DWORD>(height * source.header.width * 3);
    void* bits = nullptr;
    section_ = CreateDIBSection(dc_, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section_ == nullptr || bits == nullptr || SelectObject(dc_, section_) == nullptr) {
        return DibStatus::OutOfMemory;
    }
    // A top-down source still converts |height| lines.
    const int lines =
        SetDIBits(dc_, section_, 0, static_cast<UINT>(height), source.bits,
                  reinterpret_cast<const BITMAPINFO*>(working.data()), DIB_RGB_COLORS);
    if (lines == 0) {
        return DibStatus::ConversionError;
    }
    GdiFlush();
    *rows = static_cast<const uint8_t*>(bits);
    return DibStatus::Ok;
}

}  // namespace velmoria
