// bystander MODE: another program running beside the installer, for the installer's test.
//   normal    shows a top-level "<Velmoria>" and a host window with a child "Preview Window",
//             our windows' titles, and handles messages: a WM_CLOSE closes its window
//   refusing  the same windows, kept on WM_CLOSE
//   hung      the same windows, then it handles no message any more
//   shell     holds the desktop's shell window, as Explorer does, so that the installer asks
//             for the shell's account
// It prints its host window's (shell: its shell window's) handle, then each WM_CLOSE it handles
// as "asked to close TITLE", and runs until it is ended or all its top-level windows are closed.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool refusing = false;
int openWindows = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: {
            char title[64] = {};
            GetWindowTextA(window, title, sizeof(title));
            std::printf("asked to close %s\n", title);
            std::fflush(stdout);
            if (refusing) {
                return 0;
            }
            break;
        }
        case WM_DESTROY:
            if (GetParent(window) == nullptr && --openWindows == 0) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Window(const char* title, DWORD style, int x, HWND parent) {
    const HWND window = CreateWindowExA(0, "Bystander", title, style, x, 20, 160, 120, parent,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr && parent == nullptr) {
        ++openWindows;
    }
    return window;
}

// The window our titles sit in, or the shell window; null when it could not be made.
HWND MakeWindows(bool shell) {
    const DWORD topLevel = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    if (shell) {
        // SetShellWindow is exported by user32 but declared by no header.
        using SetShellWindowFunction = BOOL(WINAPI*)(HWND);
        const auto setShellWindow =
            reinterpret_cast<SetShellWindowFunction>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
        const HWND desktop = Window("Program Manager", WS_POPUP, 0, nullptr);
        return desktop != nullptr && setShellWindow != nullptr && setShellWindow(desktop) &&
                       GetShellWindow() == desktop
                   ? desktop
                   : nullptr;
    }
    const HWND dialog = Window("<Velmoria>", topLevel, 20, nullptr);
    const HWND host = Window("Bystander Host", topLevel, 200, nullptr);
    if (dialog == nullptr || host == nullptr ||
        Window("Preview Window", WS_CHILD | WS_VISIBLE, 10, host) == nullptr) {
        return nullptr;
    }
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc == 2 ? argv[1] : "";
    refusing = std::strcmp(mode, "refusing") == 0;
    const bool hung = std::strcmp(mode, "hung") == 0;
    const bool shell = std::strcmp(mode, "shell") == 0;
    if (!hung && !refusing && !shell && std::strcmp(mode, "normal") != 0) {
        std::fprintf(stderr, "usage: bystander normal|refusing|hung|shell\n");
        return 2;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "Bystander";
    RegisterClassA(&wc);
    const HWND shown = MakeWindows(shell);
    if (shown == nullptr) {
        return 1;
    }
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(shown)));
    std::fflush(stdout);
    MSG message;
    // Shown and drawn before it stops answering.
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    if (hung) {
        Sleep(INFINITE);
    }
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
