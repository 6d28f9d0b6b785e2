// Whether the X server has put its displays to sleep (DPMS): a saver draws nothing then.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// True while DPMS is enabled and the displays are in standby, suspend or off; false without the
// DPMS extension (Xvfb, nested servers), where displays never sleep by themselves.
bool DisplaysAsleepX11(Display* display);

}  // namespace velmoria
