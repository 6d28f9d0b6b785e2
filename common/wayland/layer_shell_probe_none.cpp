// The layer-shell probe of a build without Wayland: the programs draw on X11 (XWayland).
#include "common/wayland/layer_shell_probe_wayland.h"

namespace velmoria {

wl_display* ConnectWithLayerShellWayland() {
    return nullptr;
}

bool CompositorHasLayerShellWayland() {
    return false;
}

}  // namespace velmoria
