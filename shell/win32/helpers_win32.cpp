// FileExists' open test and the caption zoom, with the Win32 calls the helpers are made of.
#include <windows.h>

#include "../helpers.h"

namespace velmoria {

bool CanOpenForReading(const std::string& path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as the helper requires.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

namespace {

void Zoom(uintptr_t window, bool opening) {
    const HWND hwnd = reinterpret_cast<HWND>(window);
    const RECT point = {ZoomX, ZoomY, ZoomX, ZoomY};
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &frame);
    DrawAnimatedRects(hwnd, IDANI_CAPTION, opening ? &point : &frame, opening ? &frame : &point);
}

}  // namespace

void ZoomOpen(uintptr_t window) {
    Zoom(window, true);
}

void ZoomClose(uintptr_t window) {
    Zoom(window, false);
}

}  // namespace velmoria
