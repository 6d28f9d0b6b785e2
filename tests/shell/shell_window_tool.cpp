// shell-window: the end-to-end tests' hand on top-level windows, through the shell's own
// platform code.
//   shell-window open TITLE    a hidden top-level window with that title, until it is closed
//   shell-window close TITLE   asks the window of that title to close; 1 when there is none
//   shell-window exists TITLE  0 when a top-level window of that title exists, else 1
#include <cstdio>
#include <cstring>

#include "tools/native_shell_platform.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: shell-window open|close|exists TITLE\n");
        return 2;
    }
    const char* title = argv[2];
    velmoria::NativeShellPlatform platform;
    velmoria::ShellPlatform::Connect(&platform);
    if (std::strcmp(argv[1], "open") == 0) {
        if (!platform.CreateHiddenWindow(title)) {
            return 1;
        }
        platform.RunWhileWindowsLoaded();
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        return platform.CloseWindowTitled(title) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "exists") == 0) {
        return platform.TopLevelWindowExists(title) ? 0 : 1;
    }
    return 2;
}
