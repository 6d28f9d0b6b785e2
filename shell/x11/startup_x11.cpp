// What Main asks of Linux: the X window tree, mkdir with mode 0700, a process-local cursor
// count, and the work folder under the XDG cache folder.
#include "startup_x11.h"

#include <sys/stat.h>

#include "../settings_file.h"
#include "display_x11.h"
#include "xdg_x11.h"

namespace velmoria {

CursorDisplayCount& ShellCursorCount() {
    static CursorDisplayCount count;
    return count;
}

bool StartupX11::TopLevelWindowExists(const char* title) {
    return FindTopLevelWindow(ShellDisplay(), title) != None;
}

bool StartupX11::CreateFolder(const std::string& path) {
    // A fresh account may lack ~/.cache itself: the folders above are made first (the XDG rules
    // ask for 0700). The result, like CreateDirectoryA's, is that of the last folder.
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    return mkdir(path.c_str(), 0700) == 0;
}

int32_t StartupX11::ShowCursor(bool show) {
    return ShellCursorCount().Show(show);
}

std::string StartupX11::WorkFolder() {
    return XdgFolder("XDG_CACHE_HOME", "/.cache") + "/q_sarn";
}

std::string StartupX11::SettingsFilePath() {
    return velmoria::SettingsFilePath();
}

std::string StartupX11::ProgramFolder() {
    return velmoria::ProgramFolder();
}

StartupPlatform& PlatformStartup() {
    static StartupX11 platform;
    return platform;
}

}  // namespace velmoria
