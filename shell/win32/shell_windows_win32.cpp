// Hidden top-level windows and the message loop on Windows.
#include <windows.h>

#include "../shell_windows.h"

namespace velmoria {

namespace {

const char* const kClassName = "Velmoria_ShellForm";
int liveWindows = 0;

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (--liveWindows == 0) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool RegisterFormClass() {
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FormProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }();
    return registered;
}

}  // namespace

bool CreateHiddenWindow(const char* title) {
    if (!RegisterFormClass()) {
        return false;
    }
    const HWND hwnd = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    ++liveWindows;
    return true;
}

void RunWhileWindowsLoaded() {
    MSG msg;
    while (liveWindows > 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool CloseWindowTitled(const char* title) {
    const HWND hwnd = FindWindowA(nullptr, title);
    return hwnd != nullptr && PostMessageA(hwnd, WM_CLOSE, 0, 0) != 0;
}

}  // namespace velmoria
