// The primary monitor on X11, the counterpart of Windows' SM_CXSCREEN and SM_CYSCREEN.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

struct MonitorRectX11 {
    int x;
    int y;
    int width;
    int height;
};

// RandR's primary monitor (RandR 1.5 monitors), else the CRTC of RandR's primary output, else
// the whole screen (no RandR, or no primary set).
MonitorRectX11 PrimaryMonitorX11(Display* display, int screen);

}  // namespace velmoria
