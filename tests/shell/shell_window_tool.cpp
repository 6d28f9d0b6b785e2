// shell-window: the end-to-end tests' hand on top-level windows, through the shell's own
// platform code.
//   shell-window open TITLE    a hidden top-level window with that title, until it is closed
//   shell-window close TITLE   asks the window of that title (or of that decimal handle) to
//                              close; 1 when there is none
//   shell-window exists TITLE  0 when a top-level window of that title exists, else 1
//   shell-window host WxH      a shown window "Preview Host" of that size, its handle printed,
//                              until it is closed (a preview's host)
//   shell-window here WxH      the same host with the preview started inside it by this
//                              process (Wine draws no window inside another process's window,
//                              so a screenshot of a cross-process preview shows nothing)
//   shell-window child HOST    (Windows) "X,Y WxH" of the visible "Preview Window" in HOST
//   shell-window log-off TITLE (Windows) WM_QUERYENDSESSION and WM_ENDSESSION to that window

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "shell/forms/preview.h"
#include "tools/native_shell_platform.h"

#ifdef _WIN32
// Where the visible preview form sits inside `host`: "X,Y WxH" relative to the host.
int Child(HWND host) {
    const HWND preview = FindWindowExA(host, nullptr, nullptr, "Preview Window");
    if (preview == nullptr || !IsWindowVisible(preview)) {
        std::printf("no visible Preview Window in %p\n", static_cast<void*>(host));
        return 1;
    }
    RECT hostRect;
    RECT rect;
    GetWindowRect(host, &hostRect);
    GetWindowRect(preview, &rect);
    std::printf("%ld,%ld %ldx%ld\n", rect.left - hostRect.left, rect.top - hostRect.top,
                rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}
#endif

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: shell-window open|close|exists TITLE, host|here WxH, child HOST\n");
        return 2;
    }
#ifdef _WIN32
    if (std::strcmp(argv[1], "log-off") == 0) {
        // What Windows sends a program's windows when the user logs off.
        const HWND window = FindWindowA(nullptr, argv[2]);
        if (window == nullptr || SendMessageA(window, WM_QUERYENDSESSION, 0, 0) == 0) {
            return 1;
        }
        SendMessageA(window, WM_ENDSESSION, TRUE, 0);
        return 0;
    }
    if (std::strcmp(argv[1], "child") == 0) {
        return Child(reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 10)));
    }
#endif
    const char* title = argv[2];
    velmoria::NativeShellPlatform platform;
    velmoria::ShellPlatform::Connect(&platform);
    if (std::strcmp(argv[1], "open") == 0) {
        if (platform.CreateForm(title, 0, nullptr) == 0) {
            return 1;
        }
        platform.RunWhileWindowsLoaded();
        return 0;
    }
    unsigned width = 0;
    unsigned height = 0;
    const bool here = std::strcmp(argv[1], "here") == 0;
    if ((here || std::strcmp(argv[1], "host") == 0) &&
        std::sscanf(title, "%ux%u", &width, &height) == 2) {
        // A host for a preview: a shown window of that size, titled "Preview Host", whose
        // handle goes to standard output, until it is closed.
        const velmoria::WindowHandle host = platform.CreateForm("Preview Host", 0x000000, nullptr);
        if (host == 0) {
            return 1;
        }
        platform.MoveForm(host, 40, 40, static_cast<int32_t>(width), static_cast<int32_t>(height));
        platform.ShowForm(host);
        std::printf("%lu\n", static_cast<unsigned long>(host));
        std::fflush(stdout);
        velmoria::PreviewForm preview;
        if (here) {
            preview.Start(static_cast<int32_t>(host));
        }
        platform.RunWhileWindowsLoaded();
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        // A number is a window's handle (several windows may share a title).
        char* end = nullptr;
        const unsigned long long handle = std::strtoull(title, &end, 10);
        if (end != title && *end == '\0') {
            return platform.CloseWindow(static_cast<velmoria::WindowHandle>(handle)) ? 0 : 1;
        }
        return platform.CloseWindowTitled(title) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "exists") == 0) {
        return platform.TopLevelWindowExists(title) ? 0 : 1;
    }
    return 2;
}
