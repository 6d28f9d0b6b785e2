// How a screen-saver daemon (xscreensaver, MATE, xfce) runs a hack on Linux: the window to draw
// in comes as XSCREENSAVER_WINDOW, or as "-window-id ID", or "-root" means that window or the
// root window. The standard command line ("/s", "/c", "/p ...") is not a hosted run.
#pragma once

#include <string>
#include <vector>

namespace velmoria {

struct HostedRun {
    bool hosted = false;
    // The window id as given (decimal or 0x hex); empty for the root window.
    std::string window;
};

// `arguments` are the program's arguments without its own path; `environmentWindow` is
// XSCREENSAVER_WINDOW, or null when it is not set.
HostedRun HostedRunFrom(const std::vector<std::string>& arguments, const char* environmentWindow);

}  // namespace velmoria
