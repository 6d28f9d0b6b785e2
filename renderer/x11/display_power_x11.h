// Whether the X server has put its displays to sleep (DPMS): a saver draws nothing then.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// Whether the server can put its displays to sleep at all: false without the DPMS extension
// (Xvfb, nested servers), where they never sleep by themselves. Asked once.
bool DisplaysCanSleepX11(Display* display);

// True while DPMS is enabled and the displays are in standby, suspend or off; only for a server
// whose displays can sleep.
bool DisplaysAsleepX11(Display* display);

}  // namespace velmoria
