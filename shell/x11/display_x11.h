// The shell's one connection to the X server, and the window look-up by title.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// Opened on first use; null without an X server.
Display* ShellDisplay();

// A top-level window whose WM_NAME or _NET_WM_NAME is exactly `title`: the root's children and,
// for window-manager frames, their children; unmapped windows included. None when there is none.
// X errors (a window gone during the search) are ignored from then on rather than fatal.
Window FindTopLevelWindow(Display* display, const char* title);

}  // namespace velmoria
