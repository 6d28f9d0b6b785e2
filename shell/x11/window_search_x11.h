// FindWindowA's counterpart on X11: a top-level window by its exact title.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// A top-level window whose WM_NAME or _NET_WM_NAME is exactly `title`, of any program, unmapped
// ones included; None when there is none. Windows that vanish during the search are skipped.
Window FindTopLevelWindowX11(Display* display, const char* title);

}  // namespace velmoria
