// The DPMS extension's power level.
#include "renderer/x11/display_power_x11.h"

#include <X11/Xmd.h>
#include <X11/extensions/dpms.h>

namespace velmoria {

bool DisplaysCanSleepX11(Display* display) {
    int event = 0;
    int error = 0;
    return DPMSQueryExtension(display, &event, &error) && DPMSCapable(display);
}

bool DisplaysAsleepX11(Display* display) {
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    return DPMSInfo(display, &level, &enabled) && enabled && level != DPMSModeOn;
}

}  // namespace velmoria
