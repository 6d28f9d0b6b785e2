// The button gallery on Windows: the Win32 control in a plain window.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "shell/controls/win32/command_button_win32.h"
#include "tools/button_gallery/gallery.h"

using namespace velmoria;

namespace {

Picture RenderFace(ButtonLook look, int width, int height, bool reverse) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ original = SelectObject(dc, bitmap);
    PaintFaceGdi(dc, width, height, look, reverse);
    GdiFlush();
    Picture image(width, height);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = pixels[i] & 0xFFFFFF;
    }
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

constexpr UINT_PTR kPlacesTimer = 1;
std::vector<std::unique_ptr<CommandButtonWin32>> buttons;

// Once the window is on screen (and a window manager has placed it), where each button is.
void PrintPlaces() {
    for (size_t i = 0; i < buttons.size(); ++i) {
        POINT origin = {0, 0};
        ClientToScreen(buttons[i]->Window(), &origin);
        std::printf("button %s %ld %ld %d %d\n", kGalleryButtons[i].name, origin.x, origin.y,
                    kGalleryButtons[i].width, kGalleryButtons[i].height);
    }
    std::printf("ready\n");
    std::fflush(stdout);
}

LRESULT CALLBACK GalleryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            KillTimer(hwnd, kPlacesTimer);
            PrintPlaces();
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            HBRUSH brush =
                CreateSolidBrush(RGB((kGalleryBackground >> 16) & 0xFF,
                                     (kGalleryBackground >> 8) & 0xFF, kGalleryBackground & 0xFF));
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            DeleteObject(brush);
            return 1;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int faceResult = RunFaceCommand(argc, argv, RenderFace);
    if (faceResult >= 0) {
        return faceResult;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = GalleryProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "Velmoria_ButtonGallery";
    RegisterClassA(&windowClass);
    // A popup window: its client area is the whole window, on any window manager.
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, kGalleryTitle,
                                  WS_POPUP | WS_CLIPCHILDREN, 40, 40, kGalleryWidth, kGalleryHeight,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) {
        std::fprintf(stderr, "button-gallery: cannot make the window\n");
        return 1;
    }
    for (const GalleryButton& button : kGalleryButtons) {
        const RECT rect = {button.x, button.y, button.x + button.width, button.y + button.height};
        const char* name = button.name;
        buttons.push_back(CommandButtonWin32::Create(
            window, rect, ButtonPropertySet::Parse(button.properties), DialogFont(), [name] {
                std::printf("Click %s\n", name);
                std::fflush(stdout);
            }));
        if (!buttons.back()) {
            std::fprintf(stderr, "button-gallery: cannot make button %s\n", button.name);
            return 1;
        }
    }
    for (auto& button : buttons) {
        button->Control().Initialize();
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetTimer(window, kPlacesTimer, 300, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    buttons.clear();
    return 0;
}
