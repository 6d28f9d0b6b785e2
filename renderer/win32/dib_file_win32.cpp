// LoadDibFile on Windows: a read-only file mapping handed to the core, GDI for the pixels.
#include <windows.h>

#include "../dib_loader.h"
#include "gdi_dib_converter.h"

namespace velmoria {

RgbImage* LoadDibFile(const char* fileName, DibMessageSink report, void* context) {
    HANDLE file =
        CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    LARGE_INTEGER size{};
    if (file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size)) {
        // An empty file cannot be mapped: that is the open failure too.
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping != nullptr) {
            view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        }
    }
    RgbImage* image = nullptr;
    DibStatus status = DibStatus::Ok;
    if (view != nullptr) {
        GdiBgr24Converter converter;
        const DibLoadResult result = LoadDibFromMemory(
            static_cast<const uint8_t*>(view), static_cast<size_t>(size.QuadPart), converter);
        image = result.image;
        status = result.status;
        // Failures other than the open failure are told before the clean-up.
        if (image == nullptr) {
            report(DibStatusMessage(status), context);
        }
    }
    if (view != nullptr) {
        UnmapViewOfFile(view);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (view == nullptr) {
        report(OpenFailureMessage(fileName).c_str(), context);
    }
    return image;
}

}  // namespace velmoria
