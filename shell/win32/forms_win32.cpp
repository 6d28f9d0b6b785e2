// The shell's forms on Windows.
#include "shell/win32/forms_win32.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace velmoria {

namespace {

const char* const kClassName = "Velmoria_ShellForm";

struct FormState {
    FormEvents* events = nullptr;
    COLORREF background = 0;
    std::set<int> timers;
    int32_t pictureX = 0;
    int32_t pictureY = 0;
    PixelImage picture;
};

std::map<HWND, FormState> forms;
bool ended = false;

// The form's picture into a device context: the window's own, or another's asking to print it.
void DrawPicture(HDC dc, const FormState& form) {
    const PixelImage& picture = form.picture;
    if (picture.width > 0 && picture.height > 0) {
        // A top-down 24-bit DIB: blue, green, red, rows padded to four bytes.
        const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
        std::vector<uint8_t> bits(stride * static_cast<size_t>(picture.height));
        for (int32_t y = 0; y < picture.height; ++y) {
            for (int32_t x = 0; x < picture.width; ++x) {
                const uint8_t* in = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
                uint8_t* out = &bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3];
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = picture.width;
        info.bmiHeader.biHeight = -picture.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, form.pictureX, form.pictureY, static_cast<DWORD>(picture.width),
                          static_cast<DWORD>(picture.height), 0, 0, 0,
                          static_cast<UINT>(picture.height), bits.data(), &info, DIB_RGB_COLORS);
    }
}

void EraseBackground(HWND hwnd, HDC dc, const FormState& form) {
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(form.background);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

// The form's own unload runs; a form without one just closes.
void Unload(HWND hwnd) {
    const auto found = forms.find(hwnd);
    if (found == forms.end()) {
        return;
    }
    if (found->second.events != nullptr) {
        found->second.events->OnQueryUnload();
    } else {
        DestroyWindow(hwnd);
    }
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = forms.find(hwnd);
    if (found == forms.end() || ended) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_TIMER:
            if (found->second.events != nullptr) {
                found->second.events->OnTimer(static_cast<int>(wParam));
            }
            return 0;
        case WM_CLOSE:
            Unload(hwnd);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Logging off or shutting down: the music stops before the program ends.
            if (wParam != 0) {
                Unload(hwnd);
            }
            return 0;
        case WM_ERASEBKGND:
            EraseBackground(hwnd, reinterpret_cast<HDC>(wParam), found->second);
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            DrawPicture(dc, found->second);
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            // PrintWindow: the form as it shows, into the caller's device context.
            EraseBackground(hwnd, reinterpret_cast<HDC>(wParam), found->second);
            DrawPicture(reinterpret_cast<HDC>(wParam), found->second);
            return 0;
        case WM_DESTROY:
            forms.erase(found);
            if (forms.empty()) {
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
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = FormProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }();
    return registered;
}

}  // namespace

HWND CreateFormWin32(const char* title, uint32_t background, FormEvents* events) {
    if (ended || !RegisterFormClass()) {
        return nullptr;
    }
    // A form without border or caption, created hidden.
    const HWND hwnd =
        CreateWindowExA(0, kClassName, title, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0,
                        0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return nullptr;
    }
    FormState& form = forms[hwnd];
    form.events = events;
    form.background = RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
    return hwnd;
}

void SetFormTimerWin32(HWND form, int timer, uint32_t intervalMs) {
    const auto found = forms.find(form);
    if (found == forms.end() || ended) {
        return;
    }
    if (intervalMs == 0) {
        KillTimer(form, static_cast<UINT_PTR>(timer));
        found->second.timers.erase(timer);
    } else {
        SetTimer(form, static_cast<UINT_PTR>(timer), intervalMs, nullptr);
        found->second.timers.insert(timer);
    }
}

void SetFormPictureWin32(HWND form, int32_t x, int32_t y, PixelImage picture) {
    const auto found = forms.find(form);
    if (found == forms.end()) {
        return;
    }
    found->second.pictureX = x;
    found->second.pictureY = y;
    found->second.picture = std::move(picture);
    InvalidateRect(form, nullptr, TRUE);
}

void EndProgramWin32() {
    if (ended) {
        return;
    }
    ended = true;
    std::vector<HWND> windows;
    for (auto& [hwnd, form] : forms) {
        for (const int timer : form.timers) {
            KillTimer(hwnd, static_cast<UINT_PTR>(timer));
        }
        windows.push_back(hwnd);
    }
    forms.clear();
    for (const HWND hwnd : windows) {
        DestroyWindow(hwnd);
    }
    PostQuitMessage(0);
}

void RunWhileFormsLoadedWin32() {
    MSG message;
    while (!ended && !forms.empty() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace velmoria
