// The renderer's services on Windows.
#include "renderer/win32/renderer_platform_win32.h"

#include <windows.h>

#include <string>

#include "renderer/win32/gdi_dib_converter.h"

namespace velmoria {

namespace {

// CreateFileA, a read-only mapping and a view of all of it; released in the reverse order.
class MappedFileWin32 final : public ReadOnlyFile {
  public:
    MappedFileWin32(HANDLE file, HANDLE mapping, const void* view, size_t size)
        : file_(file), mapping_(mapping), view_(view), size_(size) {}
    ~MappedFileWin32() override {
        UnmapViewOfFile(view_);
        CloseHandle(mapping_);
        CloseHandle(file_);
    }
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_); }
    size_t Size() const override { return size_; }

  private:
    HANDLE file_;
    HANDLE mapping_;
    const void* view_;
    size_t size_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> RendererPlatformWin32::MapFile(const char* path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    LARGE_INTEGER size{};
    // An empty file cannot be mapped: that is the open failure too.
    HANDLE mapping = GetFileSizeEx(file, &size)
                         ? CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr)
                         : nullptr;
    const void* view =
        mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (view == nullptr) {
        if (mapping != nullptr) {
            CloseHandle(mapping);
        }
        CloseHandle(file);
        return nullptr;
    }
    return std::make_unique<MappedFileWin32>(file, mapping, view,
                                             static_cast<size_t>(size.QuadPart));
}

std::unique_ptr<Bgr24Converter> RendererPlatformWin32::NewBgr24Converter() {
    return std::make_unique<Bgr24ConverterGdi>();
}

void RendererPlatformWin32::ShowErrorBox(const char* text) {
    MessageBoxA(GetFocus(), text, "Error", MB_OK);
}

// No class cursor: once the cursor is set to none it stays hidden over the window.
void RendererPlatformWin32::HideCursor() {
    SetCursor(nullptr);
}

void RendererPlatformWin32::WriteDiagnostic(const char* line) {
    OutputDebugStringA((std::string("Velmoria.dll: ") + line + "\n").c_str());
}

}  // namespace velmoria
