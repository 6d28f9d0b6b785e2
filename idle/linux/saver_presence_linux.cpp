#include "idle/linux/saver_presence_linux.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/posix/runtime_folder_posix.h"
#include "common/posix/title_registry_posix.h"
#include "common/saver_contract.h"
#include "shell/startup.h"
#include "shell/x11/window_search_x11.h"

namespace velmoria {

namespace {

bool InTitleRegistry(const std::string& folder, const char* title) {
    std::string fault;
    const TitleRegistryState state = TitleRegistryStatePosix(folder, title, fault);
    if (state == TitleRegistryState::Refused) {
        std::fprintf(stderr, "velmoria-idle: %s\n", fault.c_str());
    }
    return state != TitleRegistryState::Absent;
}

}  // namespace

SaverPresence LookForSaverLinux() {
    SaverPresence presence;
    const std::string folder = RuntimeFolderPosix();
    if (!folder.empty()) {
        presence.saver = InTitleRegistry(folder, kSessionWindowTitle) ||
                         InTitleRegistry(folder, kRendererWindowTitle);
        presence.dialog = InTitleRegistry(folder, kDialogWindowTitle);
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
        return presence;
    }
    // A connection of its own for each look: a server that goes meanwhile ends only the look.
    if (Display* x = XOpenDisplay(nullptr)) {
        presence.saver = presence.saver || FindTopLevelWindowX11(x, kSessionWindowTitle) != None ||
                         FindTopLevelWindowX11(x, kRendererWindowTitle) != None;
        presence.dialog = presence.dialog || FindTopLevelWindowX11(x, kDialogWindowTitle) != None;
        XCloseDisplay(x);
    }
    return presence;
}

}  // namespace velmoria
