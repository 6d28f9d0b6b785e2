// The monitors on X11: the primary one, the counterpart of Windows' SM_CXSCREEN and
// SM_CYSCREEN, and all of them, as EnumDisplayMonitors lists them.
#pragma once

#include <X11/Xlib.h>

#include <vector>

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

// RandR 1.5's active monitors; empty without RandR 1.5.
std::vector<MonitorRectX11> MonitorsX11(Display* display, int screen);

// Asks for the root window's events that come with a change of monitors (RandR's screen
// change; the root's ConfigureNotify, which is all "xrandr --setmonitor" sends) and gives
// RandR's event type; -1 without RandR.
int SelectMonitorChangesX11(Display* display, int screen);

// Whether the server is XWayland: its "XWAYLAND" extension (newer servers) or its RandR outputs,
// which it names XWAYLAND0, XWAYLAND1, ...
bool ServerIsXWaylandX11(Display* display, int screen);

// Whether `event` may have changed the monitors: one of the events above.
bool MonitorsChangedX11(XEvent& event, Window root, int changeEventType);

}  // namespace velmoria
