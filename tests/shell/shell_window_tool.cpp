// shell-window: the end-to-end tests' hand on top-level windows, through the shell's own
// platform code.
//   shell-window open TITLE    a hidden top-level window with that title, until it is closed
//   shell-window close TITLE   asks the window of that title to close; 1 when there is none
//   shell-window exists TITLE  0 when a top-level window of that title exists, else 1
#include <cstdio>
#include <cstring>

#include "shell/shell_windows.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: shell-window open|close|exists TITLE\n");
        return 2;
    }
    const char* title = argv[2];
    if (std::strcmp(argv[1], "open") == 0) {
        if (!velmoria::CreateHiddenWindow(title)) {
            return 1;
        }
        velmoria::RunWhileWindowsLoaded();
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        return velmoria::CloseWindowTitled(title) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "exists") == 0) {
        return velmoria::PlatformStartup().TopLevelWindowExists(title) ? 0 : 1;
    }
    return 2;
}
